// The embedded default world. The named parts (tribes, players, classes, items) are written out
// here; the bulk (dinos, structures, other actors) is generated from a fixed seed with a
// generator of our own, so the world is the same on every run and every machine.
#include <cstdint>
#include <string>

#include "game/game.h"
#include "game/world/world_file_writer.h"

namespace game {
namespace {

// splitmix64: small, fast and fully specified, unlike the standard distributions.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // An integer in [low, high].
  int64_t Between(int64_t low, int64_t high) {
    return low + static_cast<int64_t>(Next() % static_cast<uint64_t>(high - low + 1));
  }
  // A coordinate in [low, high] with one decimal.
  double Coordinate(double low, double high) {
    return static_cast<double>(
               Between(static_cast<int64_t>(low * 10), static_cast<int64_t>(high * 10))) /
           10.0;
  }
  template <class T, std::size_t N>
  const T& Pick(const T (&choices)[N]) {
    return choices[Next() % N];
  }

 private:
  uint64_t state_;
};

struct Species {
  const char* stem;
  const char* folder;
};
constexpr Species kSpecies[] = {
    {"Raptor", "Raptor"},         {"Rex", "Rex"},       {"Trike", "Trike"},
    {"Stego", "Stego"},           {"Dodo", "Dodo"},     {"Parasaur", "Parasaur"},
    {"Ptero", "Ptero"},           {"Ankylo", "Ankylo"}, {"Carno", "Carno"},
    {"DungBeetle", "DungBeetle"},
};

struct Building {
  const char* name;      // class name less "_C"
  const char* material;  // folder
  const char* display;
  bool pickup;  // picking it up gives the item it consumed
};
constexpr Building kBuildings[] = {
    {"StoneWall", "Stone", "Stone Wall", false},
    {"StoneFoundation", "Stone", "Stone Foundation", false},
    {"StoneCeiling", "Stone", "Stone Ceiling", false},
    {"WoodWall", "Wood", "Wooden Wall", false},
    {"WoodFoundation", "Wood", "Wooden Foundation", false},
    {"ThatchDoor", "Thatch", "Thatch Door", false},
    {"MetalGate", "Metal", "Metal Gate", false},
    {"StorageBox", "Furniture", "Storage Box", true},
    {"Campfire", "Furniture", "Campfire", true},
    {"SleepingBag", "Furniture", "Sleeping Bag", true},
};

constexpr const char* kDinoNames[] = {"Speedy", "Biter",  "Rocky", "Pebble", "Thunder",
                                      "Mossy",  "Ginger", "Bolt",  "Shadow", "Fern"};

struct PlayerSeed {
  const char* character;
  const char* player;
  int32_t team;
  CharacterState character_state;
  bool stale;
  bool player_state;
  bool pawn;
  bool cheat_manager;
};
// One dead player, one without a tribe, one with a non-ASCII name, one without a character,
// one whose controller has no pawn, one without a cheat manager. None is stale: a stale entry
// ends every player listing, so an administrator rehearses that with "emu.disconnect".
constexpr PlayerSeed kPlayers[] = {
    {"Alice", "alice", 1000001, CharacterState::kAlive, false, true, true, true},
    {"Bjorn", "bjorn_the_bold", 1000001, CharacterState::kAlive, false, true, true, true},
    {"Chen", "chen", 1000002, CharacterState::kAlive, false, true, true, true},
    {"Dmitri \xD0\x94\xD0\xBC\xD0\xB8\xD1\x82\xD1\x80\xD0\xB8\xD0\xB9", "dmitri", 1000002,
     CharacterState::kAlive, false, true, true, true},
    {"Eve", "eve", 1000003, CharacterState::kDead, false, true, true, true},
    {"Farah", "farah", 0, CharacterState::kAlive, false, true, true, true},
    {"Gus", "gus", 1000003, CharacterState::kAlive, false, true, true, true},
    {"Hana", "hana", 1000004, CharacterState::kNone, false, true, true, true},
    {"Ines", "ines", 1000001, CharacterState::kAlive, false, true, false, true},
    {"Jonas", "jonas", 1000005, CharacterState::kAlive, false, true, true, false},
};

std::string Hex(uint64_t value, int digits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(digits, '0');
  for (int i = digits - 1; i >= 0 && value != 0; --i, value >>= 4) text[i] = kDigits[value & 0xF];
  return text;
}

WorldDescription MakeDefaultWorld() {
  Random random(20240611);
  WorldDescription w;
  w.game_state = GameStateDescription{"Day 12, 14:05:09", 30.0F, std::nullopt};

  // Classes: dinos with their blueprint folders, structures, the items they consume and give.
  for (const Species& s : kSpecies) {
    const std::string name = std::string(s.stem) + "_Character_BP_C";
    w.classes.push_back(
        {name, ClassKind::kDino,
         "/Game/Dinos/" + std::string(s.folder) + "/" + s.stem + "_Character_BP.Default__" + name});
  }
  for (const Building& b : kBuildings) {
    const std::string name = std::string(b.name) + "_C";
    w.classes.push_back(
        {name, ClassKind::kStructure,
         "/Game/Structures/" + std::string(b.material) + "/" + b.name + ".Default__" + name});
    const std::string item = std::string("PrimalItemStructure_") + b.name;
    w.classes.push_back({item + "_C", ClassKind::kItem,
                         "/Game/Items/Structures/" + item + ".Default__" + item + "_C"});
    w.items.push_back("Blueprint'/Game/Items/Structures/" + item + "." + item + "'");
  }
  w.classes.push_back(
      {"SupplyCrate_C", ClassKind::kActor, "/Game/Loot/SupplyCrate.Default__SupplyCrate_C"});
  w.classes.push_back({"Beacon_C", ClassKind::kActor, std::nullopt});
  w.classes.push_back({"Trader_C", ClassKind::kPawn, "/Game/Characters/Trader.Default__Trader_C"});
  for (const char* item : {"Rifle", "Pike", "Bow", "Arrow", "Bandage", "Meat", "Berry", "Stone",
                           "Wood", "Fiber", "MetalIngot", "Polymer"}) {
    w.items.push_back("Blueprint'/Game/Items/" + std::string(item) + "/PrimalItem_" + item +
                      ".PrimalItem_" + item + "'");
  }

  w.tribes = {
      {1000001,
       "Night Owls",
       {"Day 3: a wall was built", "Day 7: Bjorn joined", "Day 11: a raptor was tamed"},
       true},
      {1000002, "Stone Circle", {"Day 1: the tribe was founded"}, true},
      {1000003,
       "Les \xC3\x89"
       "claireurs",
       {"Day 5: Eve was killed by a rex", "Day 6: Gus left"},
       true},
      {1000004, "Drifters", {}, true},
      {1000005, "Lost Archive", {"Day 2: the tribe was founded"}, false},
  };

  for (std::size_t i = 0; i < std::size(kPlayers); ++i) {
    const PlayerSeed& seed = kPlayers[i];
    PlayerDescription p;
    p.eos_id = "0002" + Hex(random.Next(), 16) + Hex(random.Next(), 12);
    p.character_name = seed.character;
    p.player_name = seed.player;
    p.player_data_name = "PrimalPlayerData_" + std::to_string(7 + i);
    p.player_id = 400000000 + static_cast<uint64_t>(random.Between(0, 99999999));
    p.team = seed.team;
    p.position = {random.Coordinate(-200000, 200000), random.Coordinate(-200000, 200000),
                  random.Coordinate(0, 3000)};
    p.character = seed.character_state;
    p.stale = seed.stale;
    p.player_state = seed.player_state;
    p.pawn = seed.pawn;
    p.cheat_manager = seed.cheat_manager;
    if (i == 0) p.tribe_rank = "founder";
    w.players.push_back(std::move(p));
  }
  for (std::size_t i = 0; i < w.players.size(); ++i)
    if (i != 6 && i != 9) w.profiles.push_back(w.players[i].eos_id);
  w.profiles.push_back("0002" + Hex(random.Next(), 28));  // a player who is not in the world

  // Dinos: tamed by the tribes, wild, unclaimed, one dead, two exactly at the wild limit.
  const int32_t tribes[] = {1000001, 1000002, 1000003, 1000004, 1000005};
  for (int i = 0; i < 320; ++i) {
    const Species& species = random.Pick(kSpecies);
    DinoDescription d;
    d.class_name = std::string(species.stem) + "_Character_BP_C";
    d.id1 = static_cast<uint32_t>(random.Between(100000, 999999999));
    d.id2 = static_cast<uint32_t>(random.Between(100000, 999999999));
    d.level = static_cast<int32_t>(random.Between(1, 150));
    d.position = {random.Coordinate(-300000, 300000), random.Coordinate(-300000, 300000),
                  random.Coordinate(0, 5000)};
    const float max_food = static_cast<float>(random.Between(5, 60) * 100);
    d.food = {static_cast<float>(random.Between(0, static_cast<int64_t>(max_food))), max_food};
    if (i < 120) {
      d.team = tribes[i % 5];
      d.name = std::string(random.Pick(kDinoNames)) + " " + std::to_string(i);
      const PlayerDescription* tamer = nullptr;
      for (const PlayerDescription& p : w.players)
        if (p.team == d.team && tamer == nullptr) tamer = &p;
      if (tamer != nullptr) d.tamer = tamer->character_name;
      d.taming_team = d.team;
    } else if (i < 132) {
      d.team = 2000000000;
    } else if (i < 134) {
      d.team = 50000;
    } else {
      d.team = static_cast<int32_t>(random.Between(0, 49999));
    }
    d.dead = i == 140;
    w.dinos.push_back(std::move(d));
  }

  // Structures: each tribe builds around a base of its own; some ruins belong to nobody.
  for (int i = 0; i < 3200; ++i) {
    const Building& b = random.Pick(kBuildings);
    StructureDescription s;
    s.class_name = std::string(b.name) + "_C";
    s.name = b.display;
    const std::string item = std::string("PrimalItemStructure_") + b.name + "_C";
    s.consumes_item = item;
    if (b.pickup) s.pickup_item = item;
    double base_x = 0;
    double base_y = 0;
    if (i % 10 == 9) {
      s.team = 0;
    } else {
      const int tribe = i % 5;
      s.team = tribes[tribe];
      base_x = -150000.0 + 75000.0 * tribe;
      base_y = 100000.0 - 50000.0 * tribe;
      for (const PlayerDescription& p : w.players)
        if (p.team == s.team && s.owner.empty()) s.owner = p.character_name;
    }
    s.position = {base_x + random.Coordinate(-4000, 4000), base_y + random.Coordinate(-4000, 4000),
                  random.Coordinate(0, 800)};
    w.structures.push_back(std::move(s));
  }

  for (int i = 0; i < 24; ++i) {
    ActorDescription a;
    a.class_name = i < 16 ? "SupplyCrate_C" : i < 21 ? "Beacon_C" : "Trader_C";
    a.kind = i < 21 ? ClassKind::kActor : ClassKind::kPawn;
    a.position = {random.Coordinate(-300000, 300000), random.Coordinate(-300000, 300000),
                  random.Coordinate(0, 2000)};
    w.actors.push_back(std::move(a));
  }
  return w;
}

}  // namespace

std::string_view DefaultWorldJson() {
  static const std::string json = WorldFileText(MakeDefaultWorld(), 1);
  return json;
}

}  // namespace game
