// GoneEntities: the entities a preview's line destroys, described by the parent while the copy
// runs on. The parent's world is the world before the line, so it describes them as they were;
// the copy only sends the object index of each actor its world destroys, in batches, through a
// pipe of their own, and leaves them out of its report, where the parent puts them back. A line
// that destroys a large tribe so spends its time describing on the other processor, during the
// line instead of after it.
// Thread: the game thread, on each side of the fork.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace game {
class World;
}

namespace server {

class GoneEntities {
 public:
  // Opens the pipe; throws std::system_error when it cannot.
  GoneEntities();
  ~GoneEntities();
  GoneEntities(const GoneEntities&) = delete;
  GoneEntities& operator=(const GoneEntities&) = delete;

  // In the copy, before the line: each actor `world` destroys is sent.
  void SendFrom(game::World& world);
  // In the copy, after the line: the last batch goes, the pipe's end is closed.
  void EndSending(game::World& world);

  // In the parent, once the copy is forked: its end of the pipe closed here.
  void AfterFork();
  // In the parent: reads what the copy sends until it closes its end, and describes the entities
  // that `world` lists as the report's "removed" entries.
  void Receive(game::World& world);
  // Those entries, joined by commas.
  const std::string& entries() const { return entries_; }

 private:
  void SendBatch();

  int read_fd_ = -1;
  int write_fd_ = -1;
  std::vector<int32_t> batch_;
  std::string entries_;
};

}  // namespace server
