#include "tests/support/test_world.h"

#include <cstdlib>
#include <filesystem>

#include "framework/host/running_game.h"
#include "game/util/text.h"

namespace support {
namespace {

std::string MakeTempRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvane-world-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

}  // namespace

TestWorld::TestWorld(std::string_view world_json, Options options) {
  if (options.make_root) {
    root_ = MakeTempRoot();
    std::filesystem::create_directories(plugin_folder());
  }
  try {
    game_ = game::Game::Create(world_json, root_);
  } catch (...) {
    if (!root_.empty()) std::filesystem::remove_all(root_);
    throw;
  }
  game_->Install();
  game_->SetJournalSink([this](const std::string& line) { journal_.push_back(line); });
  if (!root_.empty()) framework::SetCurrentDir(framework::BinariesDirOf(root_));
  if (options.load_plugin) host_.LoadPlugin();
}

TestWorld::~TestWorld() {
  host_.UnloadPlugin();
  game_.reset();
  if (!root_.empty()) {
    framework::SetCurrentDir("");
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
}

std::vector<game::RconReply> TestWorld::Dispatch(const std::u16string& line, int32_t id,
                                                 int32_t type) {
  return host_.Dispatch(line, id, type);
}

std::vector<std::string> TestWorld::Replies(const std::u16string& line) {
  std::vector<std::string> texts;
  for (const auto& reply : Dispatch(line)) texts.push_back(reply.Utf8());
  return texts;
}

std::vector<nlohmann::json> TestWorld::Journal() const {
  std::vector<nlohmann::json> lines;
  for (const auto& line : journal_) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

std::vector<nlohmann::json> TestWorld::JournalOf(std::string_view fn) const {
  std::vector<nlohmann::json> lines;
  for (auto& line : Journal())
    if (line["fn"] == fn) lines.push_back(std::move(line));
  return lines;
}

nlohmann::json TestWorld::State() const { return nlohmann::json::parse(game_->ExportState()); }

std::string TestWorld::plugin_folder() const {
  return root_ + "/Binaries/Win64/HostApi/Plugins/Orvane";
}

}  // namespace support
