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
//               "inbox": [{"kind": "chat"|"notification"|"direct", "sender", "text",
//                          "colour": [r, g, b, a], "scale", "seconds", "bold"}]
//                                                 chat lines, notifications, direct messages
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

#include <nlohmann/json.hpp>

#include "game/world/world_description.h"

namespace game {

nlohmann::ordered_json WorldFileJson(const WorldDescription& description);

}  // namespace game
