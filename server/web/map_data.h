// What the web console's map draws, read from the live world on the game thread.
//
// MapSnapshot: every player, dino, structure and other located actor, as compact columns a page
// reads straight into typed arrays (a world of a million actors is some 25 MB and no per-actor
// parse): a 4-byte little-endian length, a JSON header of that length, zero padding to a
// multiple of 4, then the columns the header lists, each `counts[group]` elements of its type:
//   {"classes": [NAME...], "names": [TEXT...], "tribes": [{"id", "name"}...],
//    "players": [{"eos", "name", "player_id", "team", "tribe", "x", "y", "alive"}...],
//    "counts": {"dinos": N, "structures": N, "actors": N},
//    "columns": [[GROUP, NAME, "f32"|"i32"|"u32"]...]}
// Dinos have x, y, team, id1, id2, cls (index into classes) and name (index into names: the dino's
// name); structures and actors x, y, team, key, cls and name (a structure's owner). A key is the
// index in the world file's list, or -1-n for the n-th spawned actor.
//
// MapRows: the current rows of the entities that REFs name (as journal lines name them), as JSON
// {"players": [...all...], "tribes": [...], "rows": [ROW...]}, ROW being {"kind", the key fields
// (id1 and id2, or key), and either "gone": true or x, y, team, class and name}. The page applies
// them to what it drew, so a command's effect shows without reloading the world. (A command that
// touches very many entities makes the pages reload the map instead: see WebBridge.)
// Thread: the game thread.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace game {
class World;
}

namespace server::web {

std::string MapSnapshot(game::World& world);

// REFs of located entities among those of a journal line; others are ignored. "root:" and
// "status:" REFs name their owner.
void AddMapRef(std::string_view ref, std::set<std::string>& refs);
std::string MapRows(game::World& world, const std::set<std::string>& refs);

}  // namespace server::web
