// fuzz_seeds DIR: writes the seed corpora that come from the code itself into DIR/<fuzzer>/:
//   rcon_session   real packet streams: logins right and wrong, commands, end markers, other
//                  types, pipelined bursts, bad sizes and terminators
//   world_file     the default world, one nested too deep, one with many keys
//   request_lines  every registered command: bare, with its usage line's arguments filled from
//                  the default world, and with edge-case words
// The test worlds are added by scripts/fuzz.sh from the tests' sources.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "framework/host/command_registry.h"
#include "game/game.h"
#include "game/util/text.h"
#include "server/rcon/packet.h"
#include "tests/support/test_world.h"

namespace {

namespace fs = std::filesystem;
using server::rcon::Encode;

class Corpus {
 public:
  Corpus(const fs::path& root, const std::string& name) : dir_(root / name) {
    fs::create_directories(dir_);
  }
  void Add(std::string_view bytes) {
    std::ofstream(dir_ / ("seed-" + std::to_string(count_++)), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  fs::path dir_;
  int count_ = 0;
};

void PacketSeeds(Corpus& corpus) {
  const std::string login = Encode(1, 3, "pw");
  std::vector<std::string> streams = {
      login,
      Encode(1, 3, "wrong"),
      login + Encode(2, 2, "GetOnlineNum"),
      login + Encode(2, 2, "big 10000") + Encode(3, 0, ""),
      login + Encode(2, 100, "x") + Encode(3, -1, "") + Encode(4, 1, "y"),
      Encode(1, 3, "a") + Encode(2, 3, "b") + Encode(3, 3, "c") + Encode(4, 3, "pw"),
      Encode(7, 2, "GetOnlineNum"),
      login + Encode(2, 3, "wrong") + Encode(3, 2, "after"),
      login + std::string("\x09\x00\x00\x00", 4),
      login + std::string("\x01\x10\x00\x00", 4),
      login + Encode(2, 2, "abc").substr(0, 15) + "xy",
      login + Encode(2, 2, std::string("a\0b", 3)),
      login + Encode(2, 2, std::string(4086, 'z')),
  };
  std::string pipelined = login;
  for (int i = 0; i < 40; ++i)
    pipelined += Encode(10 + i, 2, std::string("P") += std::to_string(i));
  streams.push_back(pipelined);
  // The first byte chooses how the stream is cut into reads: whole reads and single bytes.
  for (const auto& stream : streams)
    for (char cut : {'\x3f', '\x00', '\x06'}) corpus.Add(cut + stream);
}

// A value from the default world for a usage line's placeholder, chosen by its name.
std::string Fill(const std::string& placeholder, const nlohmann::json& world, int which) {
  std::string name;
  for (char c : placeholder) name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto pick = [&](const char* list) -> const nlohmann::json& {
    const auto& items = world[list];
    return items[static_cast<std::size_t>(which) % items.size()];
  };
  if (name.find("eos") != std::string::npos) return pick("players")["eos_id"];
  if (name.find("id1") != std::string::npos)
    return std::to_string(pick("dinos")["id1"].get<int64_t>());
  if (name.find("id2") != std::string::npos)
    return std::to_string(pick("dinos")["id2"].get<int64_t>());
  if (name.find("tribe") != std::string::npos || name.find("team") != std::string::npos)
    return std::to_string(pick("tribes")["id"].get<int64_t>());
  if (name.find("blueprint") != std::string::npos || name.find("path") != std::string::npos ||
      name.find("item") != std::string::npos)
    return pick("items").get<std::string>();
  if (name.find("class") != std::string::npos) return pick("classes")["name"];
  if (name.find("name") != std::string::npos) return pick("players")["character_name"];
  if (name.find("radius") != std::string::npos || name.find("distance") != std::string::npos)
    return "5000";
  return std::to_string(which + 1);
}

void RequestLineSeeds(Corpus& corpus) {
  support::TestWorld world(game::DefaultWorldJson(),
                           support::TestWorld::Options{.load_plugin = true, .make_root = true});
  const auto json = nlohmann::json::parse(game::DefaultWorldJson());
  // A few edge-case words; the fuzzer makes the rest. Path pieces and control characters name
  // files that do not exist.
  const std::vector<std::string> edge = {"-1",
                                         "18446744073709551616",
                                         "nan",
                                         "Zo\xc3\xab",
                                         std::string(300, '9'),
                                         "../../../../orvane-absent",
                                         "/orvane-absent",
                                         "..\\..\\orvane-absent",
                                         std::string("absent\0.txt", 11),
                                         "\x1b[2J\x1b]0;x\x07",
                                         "a\nRCON fake line\r"};
  const std::regex placeholder("<([^>]*)>");
  for (const auto& command16 : framework::RconCommandNames()) {
    const std::string command = game::ToUtf8(command16);
    corpus.Add(command);
    for (const auto& word : edge) corpus.Add(command + " " + word + " " + word);
    for (const auto& reply : world.Replies(command16)) {
      const std::string usage_prefix = "Not enough arguments: ";
      if (!reply.starts_with(usage_prefix)) continue;
      const std::string usage =
          reply.substr(usage_prefix.size(), reply.find('\n') - usage_prefix.size());
      corpus.Add(usage);
      for (int which = 0; which < 3; ++which) {
        std::string line;
        auto at = usage.cbegin();
        for (std::sregex_iterator it(usage.begin(), usage.end(), placeholder), end; it != end;
             ++it) {
          line.append(at, (*it)[0].first);
          line += Fill((*it)[1].str(), json, which);
          at = (*it)[0].second;
        }
        line.append(at, usage.cend());
        corpus.Add(line);
      }
    }
    world.CollectGarbage();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
    return 2;
  }
  const fs::path root = argv[1];
  Corpus packets(root, "rcon_session");
  PacketSeeds(packets);
  Corpus worlds(root, "world_file");
  worlds.Add(game::DefaultWorldJson());
  // Nesting beyond the limit, and many keys where no object is expected (refused in linear time).
  worlds.Add(R"({"players": [{"position": )" + std::string(100, '[') + std::string(100, ']') +
             "}]}");
  std::string keys = R"({"map": {"k0": 0)";
  for (int i = 1; i < 1000; ++i) keys += ", \"k" + std::to_string(i) + "\": 0";
  worlds.Add(keys + "}}");
  Corpus lines(root, "request_lines");
  RequestLineSeeds(lines);
  return 0;
}
