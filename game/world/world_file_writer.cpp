#include "game/world/world_file_writer.h"

namespace game {
namespace {

using OrderedJson = nlohmann::ordered_json;

OrderedJson PositionJson(const Position& p) { return OrderedJson::array({p[0], p[1], p[2]}); }

OrderedJson OptionalString(const std::optional<std::string>& s) {
  return s ? OrderedJson(*s) : OrderedJson(nullptr);
}

OrderedJson HairJson(const std::optional<HairStyle>& h) {
  if (!h) return nullptr;
  return OrderedJson{{"percent", h->percent}, {"style", h->style}};
}

}  // namespace

OrderedJson WorldFileJson(const WorldDescription& w) {
  OrderedJson j;
  j["map"] = w.map;
  j["world"] = w.world;
  if (w.game_state) {
    j["game_state"] = {{"day_time", w.game_state->day_time},
                       {"framerate", w.game_state->framerate},
                       {"players_connected", w.game_state->players_connected
                                                 ? OrderedJson(*w.game_state->players_connected)
                                                 : OrderedJson(nullptr)}};
  } else {
    j["game_state"] = nullptr;
  }
  if (w.world_settings) {
    j["world_settings"] = {{"longitude_origin", w.world_settings->longitude_origin},
                           {"latitude_origin", w.world_settings->latitude_origin},
                           {"longitude_scale", w.world_settings->longitude_scale},
                           {"latitude_scale", w.world_settings->latitude_scale}};
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
    o["position"] = PositionJson(p.position);
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
                           {"quality", g.quality},
                           {"blueprint", g.blueprint}});
    o["experience"] = p.experience;
    o["hexagons"] = p.hexagons;
    OrderedJson& armor = o["armor_sets"] = OrderedJson::array();
    for (const auto& [tier, quality] : p.armor_sets) armor.push_back({tier, quality});
    o["engrams"] = p.engrams;
    OrderedJson& bosses = o["bosses"] = OrderedJson::array();
    for (const BossDefeat& b : p.bosses)
      bosses.push_back({{"boss", b.boss}, {"difficulty", b.difficulty}});
    OrderedJson& inbox = o["inbox"] = OrderedJson::array();
    for (const InboxEntry& e : p.inbox) {
      OrderedJson entry{{"kind", e.kind}};
      if (e.kind == "chat") entry["sender"] = e.sender;
      entry["text"] = e.text;
      if (e.colour) entry["colour"] = *e.colour;
      if (e.kind == "notification") {
        entry["scale"] = e.scale;
        entry["seconds"] = e.seconds;
      }
      if (e.kind == "direct") entry["bold"] = e.bold;
      inbox.push_back(std::move(entry));
    }
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
    o["position"] = PositionJson(d.position);
    o["dead"] = d.dead;
    o["food"] = {d.food[0], d.food[1]};
    if (!d.tamer.empty()) o["tamer"] = d.tamer;
    if (d.taming_team != 0) o["taming_team"] = d.taming_team;
    if (d.experience != 0.0) o["experience"] = d.experience;
    if (!d.colours.empty()) {
      OrderedJson& colours = o["colours"] = OrderedJson::array();
      for (const auto& [region, colour] : d.colours) colours.push_back({region, colour});
    }
    if (d.imprint_quality != 0.0F) o["imprint_quality"] = d.imprint_quality;
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
                          {"position", PositionJson(s.position)}});
  }

  OrderedJson& actors = j["actors"] = OrderedJson::array();
  for (const ActorDescription& a : w.actors) {
    actors.push_back({{"class", a.class_name},
                      {"kind", a.kind ? OrderedJson(ClassKindName(*a.kind)) : OrderedJson(nullptr)},
                      {"team", a.team},
                      {"position", PositionJson(a.position)}});
  }
  j["profiles"] = w.profiles;
  j["script_commands"] = w.script_commands;
  return j;
}

}  // namespace game
