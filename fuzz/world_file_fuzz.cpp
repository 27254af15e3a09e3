// The world-file loader, fed any bytes. A file either loads or is refused with the loader's
// error (game::WorldFileError); anything else escaping is a crash. A world that loads exports
// a world file that loads again to the same state (the allocator's counts aside).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <nlohmann/json.hpp>

#include "framework/host/address_table.h"
#include "game/game.h"
#include "game/memory/allocator.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

nlohmann::json WithoutCounts(const std::string& state) {
  auto json = nlohmann::json::parse(state);
  json.erase("memory");
  return json;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  framework::ClearAddressTable();
  game::RegisterAllocator();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string state;
  try {
    state = game::Game::Create(bytes, "")->ExportState();
  } catch (const game::WorldFileError&) {
    return 0;  // refused with a message of the loader's: fine
  }
  try {
    const std::string again = game::Game::Create(state, "")->ExportState();
    if (WithoutCounts(again) != WithoutCounts(state)) Fail("the export changed on reload", state);
  } catch (const game::WorldFileError& e) {
    Fail("an export does not load", std::string(e.what()) + "\n" + state);
  }
  return 0;
}
