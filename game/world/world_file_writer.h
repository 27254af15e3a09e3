// WorldDescription to JSON, as the state export writes it: every key written, so that the
// export is itself a valid world file and loads back as the same world. Pure, any thread.
//
// The keys, beyond those of a hand-written world, that the export adds for what game functions
// recorded (the reader accepts every one of them):
//
//   top level   "script_commands": [text]        ScriptCommand on the server's cheat manager
//               "memory": {"live_blocks", "live_bytes"}   written by the export, ignored when read
//   players[]   "inventory": [{"item", "quantity", "quality", "blueprint"}]
//                                                 GiveItem / GiveItemNum, in order of giving
//               "experience": number              sum of AddExperience amounts
//               "hexagons": integer               sum of GiveHexagons amounts
//               "armor_sets": [[tier, quality]]   GiveArmorSet
//               "engrams": [path]                 UnlockEngram
//               "bosses": [{"boss", "difficulty"}]  DefeatBoss
//               "inbox": [entry]                  messages delivered, one entry per call:
//                 {"kind": "chat", "sender", "sender_account", "sender_tribe", "sender_id",
//                  "text", "receiver", "sender_team", "received_time", "send_mode",
//                  "radio_frequency", "chat_type", "sender_icon": REF or null, "from_server",
//                  "user_id"}                     ClientChatMessage, the record's fields in order
//                 {"kind": "notification", "text", "colour": [r, g, b, a], "scale", "seconds",
//                  "icon": REF or null, "sound": REF or null, "priority"}
//                                                 ClientServerNotification
//                 {"kind": "direct", "text", "colour": [r, g, b, a], "bold", "sender"}
//                                                 ClientServerChatDirectMessage
//               "script_commands": [text]         ScriptCommand on the player's cheat manager
//               "tribe_rank": "member"|"admin"|"founder"   MakeTribeAdmin / MakeTribeFounder
//               "facial_hair", "head_hair": {"percent", "style"} or null
//               "kick_message": text or null      KickPlayerController
//   dinos[]     "tamer", "taming_team", "experience", "colours": [[region, colour]],
//               "imprint_quality", "imprinter": {"name", "player_id"} or null, "neutered",
//               "playing" (false for a spawned dino whose play has not begun)
//               Written only when they differ from their defaults ("", 0, 0, [], 0, null,
//               false, true), so a world of many dinos stays readable.
#pragma once

#include <string>

#include "game/memory/allocator.h"
#include "game/world/world_description.h"

namespace game {

// The world file's text, formatted as the JSON library's dump(indent) formats it: indent < 0
// writes it on one line without spaces. With `memory`, the key "memory" comes last.
std::string WorldFileText(const WorldDescription& description, int indent,
                          const AllocatorCounts* memory = nullptr);

// One element of the entity lists, as WorldFileText writes it on one line, appended to `out`.
void AppendWorldFileEntity(std::string& out, const DinoDescription& dino);
void AppendWorldFileEntity(std::string& out, const StructureDescription& structure);
void AppendWorldFileEntity(std::string& out, const ActorDescription& actor);

}  // namespace game
