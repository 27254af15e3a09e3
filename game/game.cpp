#include "game/game.h"

#include "game/members/members.h"
#include "game/memory/allocator.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "game/world/world_builder.h"
#include "game/world/world_file_reader.h"
#include "game/world/world_file_writer.h"

namespace game {
namespace {

class GameImpl final : public Game {
 public:
  explicit GameImpl(std::unique_ptr<World> world) : world_(std::move(world)) {}

  void Install() override {
    RegisterMembers();
    world_->Install();
  }

  std::string ExportState() const override {
    const WorldDescription description = world_->ToDescription();
    const AllocatorCounts counts = CurrentAllocatorCounts();
    return WorldFileText(description, 2, &counts);
  }

  std::vector<std::string> OnlineEosIds() const override {
    std::vector<std::string> ids;
    for (const auto& player : world_->players())
      if (player->controller != nullptr) ids.push_back(ToUtf8(player->eos_id));
    return ids;
  }

  bool Disconnect(std::u16string_view eos_id) override {
    for (const auto& player : world_->players()) {
      if (player->controller != nullptr && player->eos_id == eos_id) {
        world_->DestroyActor(player->controller);
        return true;
      }
    }
    return false;
  }

  void SetJournalSink(std::function<void(const std::string& line)> sink) override {
    world_->journal().SetSink(std::move(sink));
  }

  void CollectGarbage() override { world_->CollectGarbage(); }

 private:
  std::unique_ptr<World> world_;
};

}  // namespace

std::unique_ptr<Game> Game::Create(std::string_view world_json, const std::string& root) {
  return Create(ParseWorldFile(world_json), root);
}

std::unique_ptr<Game> Game::Create(const WorldDescription& description, const std::string& root) {
  CheckWorldDescription(description);
  return std::make_unique<GameImpl>(WorldBuilder::Build(description, root));
}

}  // namespace game
