#include "game/world/world_file_writer.h"

#include "game/world/world_json.h"

namespace game {
namespace {

using OrderedJson = nlohmann::ordered_json;

// Positions, food, colours: numbers in their world-file form, non-finite ones included.
template <class Numbers>
OrderedJson NumbersJson(const Numbers& numbers) {
  OrderedJson out = OrderedJson::array();
  for (double n : numbers) out.push_back(NumberJson(n));
  return out;
}

OrderedJson OptionalString(const std::optional<std::string>& s) {
  return s ? OrderedJson(*s) : OrderedJson(nullptr);
}

OrderedJson HairJson(const std::optional<HairStyle>& h) {
  if (!h) return nullptr;
  return OrderedJson{{"percent", NumberJson(h->percent)}, {"style", h->style}};
}

// The fields of the entry's kind, in the order of the call's arguments.
OrderedJson InboxEntryJson(const InboxEntry& e) {
  OrderedJson o{{"kind", e.kind}};
  if (e.kind == "chat") {
    o["sender"] = e.sender;
    o["sender_account"] = e.sender_account;
    o["sender_tribe"] = e.sender_tribe;
    o["sender_id"] = e.sender_id;
    o["text"] = e.text;
    o["receiver"] = e.receiver;
    o["sender_team"] = e.sender_team;
    o["received_time"] = NumberJson(e.received_time);
    o["send_mode"] = e.send_mode;
    o["radio_frequency"] = e.radio_frequency;
    o["chat_type"] = e.chat_type;
    o["sender_icon"] = OptionalString(e.sender_icon);
    o["from_server"] = e.from_server;
    o["user_id"] = e.user_id;
    return o;
  }
  o["text"] = e.text;
  o["colour"] = e.colour ? NumbersJson(*e.colour) : OrderedJson(nullptr);
  if (e.kind == "notification") {
    o["scale"] = NumberJson(e.scale);
    o["seconds"] = NumberJson(e.seconds);
    o["icon"] = OptionalString(e.icon);
    o["sound"] = OptionalString(e.sound);
    o["priority"] = e.priority;
  } else {
    o["bold"] = e.bold;
    o["sender"] = e.sender;
  }
  return o;
}

}  // namespace

OrderedJson WorldFileJson(const WorldDescription& w) {
  OrderedJson j;
  j["map"] = w.map;
  j["world"] = w.world;
  if (w.game_state) {
    j["game_state"] = {{"day_time", w.game_state->day_time},
                       {"framerate", NumberJson(w.game_state->framerate)},
                       {"players_connected", w.game_state->players_connected
                                                 ? OrderedJson(*w.game_state->players_connected)
                                                 : OrderedJson(nullptr)}};
  } else {
    j["game_state"] = nullptr;
  }
  if (w.world_settings) {
    j["world_settings"] = {{"longitude_origin", NumberJson(w.world_settings->longitude_origin)},
                           {"latitude_origin", NumberJson(w.world_settings->latitude_origin)},
                           {"longitude_scale", NumberJson(w.world_settings->longitude_scale)},
                           {"latitude_scale", NumberJson(w.world_settings->latitude_scale)}};
  } else {
    j["world_settings"] = nullptr;
  }
  j["save_directory"] = w.save_directory;
  j["server_cheat_manager"] = w.server_cheat_manager;
  j["tribe_data_struct"] = w.tribe_data_struct;

  OrderedJson& classes = j["classes"] = OrderedJson::array();
  for (const ClassDescription& c : w.classes)
    classes.push_back(
        {{"name", c.name}, {"kind", ClassKindName(c.kind)}, {"path", OptionalString(c.path)}});
  j["items"] = w.items;

  OrderedJson& tribes = j["tribes"] = OrderedJson::array();
  for (const TribeDescription& t : w.tribes)
    tribes.push_back({{"id", t.id}, {"name", t.name}, {"log", t.log}, {"loadable", t.loadable}});

  OrderedJson& players = j["players"] = OrderedJson::array();
  for (const PlayerDescription& p : w.players) {
    OrderedJson o;
    o["eos_id"] = p.eos_id;
    o["character_name"] = p.character_name;
    o["player_name"] = OptionalString(p.player_name);
    o["player_data_name"] = p.player_data_name;
    o["player_id"] = p.player_id ? OrderedJson(*p.player_id) : nullptr;
    o["linked_player_data_id"] =
        p.linked_player_data_id ? OrderedJson(*p.linked_player_data_id) : nullptr;
    o["team"] = p.team;
    o["tribe"] = p.tribe ? OrderedJson(*p.tribe) : nullptr;
    o["position"] = NumbersJson(p.position);
    o["character"] = p.character == CharacterState::kAlive  ? "alive"
                     : p.character == CharacterState::kDead ? "dead"
                                                            : "none";
    o["player_state"] = p.player_state;
    o["pawn"] = p.pawn;
    o["cheat_manager"] = p.cheat_manager;
    o["stale"] = p.stale;
    OrderedJson& inventory = o["inventory"] = OrderedJson::array();
    for (const ItemGift& g : p.inventory)
      inventory.push_back({{"item", g.item},
                           {"quantity", g.quantity},
                           {"quality", NumberJson(g.quality)},
                           {"blueprint", g.blueprint}});
    o["experience"] = NumberJson(p.experience);
    o["hexagons"] = p.hexagons;
    OrderedJson& armor = o["armor_sets"] = OrderedJson::array();
    for (const auto& [tier, quality] : p.armor_sets) armor.push_back({tier, quality});
    o["engrams"] = p.engrams;
    OrderedJson& bosses = o["bosses"] = OrderedJson::array();
    for (const BossDefeat& b : p.bosses)
      bosses.push_back({{"boss", b.boss}, {"difficulty", b.difficulty}});
    OrderedJson& inbox = o["inbox"] = OrderedJson::array();
    for (const InboxEntry& e : p.inbox) inbox.push_back(InboxEntryJson(e));
    o["script_commands"] = p.script_commands;
    o["tribe_rank"] = p.tribe_rank;
    o["facial_hair"] = HairJson(p.facial_hair);
    o["head_hair"] = HairJson(p.head_hair);
    o["kick_message"] = OptionalString(p.kick_message);
    players.push_back(std::move(o));
  }

  OrderedJson& dinos = j["dinos"] = OrderedJson::array();
  for (const DinoDescription& d : w.dinos) {
    OrderedJson o;
    o["class"] = d.class_name;
    o["id1"] = d.id1 ? OrderedJson(*d.id1) : nullptr;
    o["id2"] = d.id2 ? OrderedJson(*d.id2) : nullptr;
    o["team"] = d.team;
    o["name"] = OptionalString(d.name);
    o["level"] = d.level;
    o["position"] = NumbersJson(d.position);
    o["dead"] = d.dead;
    o["food"] = NumbersJson(d.food);
    if (!d.tamer.empty()) o["tamer"] = d.tamer;
    if (d.taming_team != 0) o["taming_team"] = d.taming_team;
    if (d.experience != 0.0) o["experience"] = NumberJson(d.experience);
    if (!d.colours.empty()) {
      OrderedJson& colours = o["colours"] = OrderedJson::array();
      for (const auto& [region, colour] : d.colours) colours.push_back({region, colour});
    }
    if (d.imprint_quality != 0.0F) o["imprint_quality"] = NumberJson(d.imprint_quality);
    if (d.imprinter)
      o["imprinter"] = {{"name", d.imprinter->name}, {"player_id", d.imprinter->player_id}};
    if (d.neutered) o["neutered"] = true;
    if (!d.playing) o["playing"] = false;
    dinos.push_back(std::move(o));
  }

  OrderedJson& structures = j["structures"] = OrderedJson::array();
  for (const StructureDescription& s : w.structures) {
    structures.push_back({{"class", s.class_name},
                          {"team", s.team},
                          {"owner", s.owner},
                          {"name", OptionalString(s.name)},
                          {"consumes_item", OptionalString(s.consumes_item)},
                          {"pickup_item", OptionalString(s.pickup_item)},
                          {"position", NumbersJson(s.position)}});
  }

  OrderedJson& actors = j["actors"] = OrderedJson::array();
  for (const ActorDescription& a : w.actors) {
    actors.push_back({{"class", a.class_name},
                      {"kind", a.kind ? OrderedJson(ClassKindName(*a.kind)) : OrderedJson(nullptr)},
                      {"team", a.team},
                      {"position", NumbersJson(a.position)}});
  }
  j["profiles"] = w.profiles;
  j["script_commands"] = w.script_commands;
  return j;
}

}  // namespace game
