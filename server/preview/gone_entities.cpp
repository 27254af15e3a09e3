#include "server/preview/gone_entities.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "game/objects/objects.h"
#include "game/world/world.h"
#include "game/world/world_diff.h"
#include "server/preview/large_text.h"

namespace server {
namespace {

// Indexes go in batches this long: a batch describes in about a millisecond.
constexpr std::size_t kBatch = 4096;
constexpr int kPipeBytes = 1 << 20;
// Room for the entries of a large tribe's destruction, reserved once the first entity comes.
constexpr std::size_t kEntriesRoom = std::size_t{64} << 20;

void Close(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

GoneEntities::GoneEntities() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
  read_fd_ = fds[0];
  write_fd_ = fds[1];
  // The copy should never wait for the parent's describing: a large pipe holds a large tribe.
  ::fcntl(read_fd_, F_SETPIPE_SZ, kPipeBytes);
  batch_.reserve(kBatch);
}

GoneEntities::~GoneEntities() {
  Close(read_fd_);
  Close(write_fd_);
}

void GoneEntities::SendFrom(game::World& world) {
  Close(read_fd_);
  world.SetDestroyListener([this](const game::ActorBase& actor) {
    batch_.push_back(actor.object_index);
    if (batch_.size() == kBatch) SendBatch();
  });
}

void GoneEntities::EndSending(game::World& world) {
  world.SetDestroyListener({});
  SendBatch();
  Close(write_fd_);
}

void GoneEntities::SendBatch() {
  const auto* bytes = reinterpret_cast<const char*>(batch_.data());
  std::size_t left = batch_.size() * sizeof(int32_t);
  while (left > 0 && write_fd_ >= 0) {
    const ssize_t n = ::write(write_fd_, bytes, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the parent is gone: the copy's report goes nowhere either
    bytes += n;
    left -= static_cast<std::size_t>(n);
  }
  batch_.clear();
}

void GoneEntities::AfterFork() { Close(write_fd_); }

void GoneEntities::Receive(game::World& world) {
  std::vector<int32_t> indexes(kBatch);
  std::size_t held = 0;  // bytes of a part-read index at the front of `indexes`
  for (;;) {
    auto* into = reinterpret_cast<char*>(indexes.data());
    const ssize_t n = ::read(read_fd_, into + held, kBatch * sizeof(int32_t) - held);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    held += static_cast<std::size_t>(n);
    if (entries_.capacity() < kEntriesRoom) ReserveLarge(entries_, kEntriesRoom);
    const std::size_t whole = held / sizeof(int32_t);
    // Each entity is a cache miss or two: the ones some steps ahead are asked for early.
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < whole; ++i) {
      if (i + kAhead < whole) __builtin_prefetch(world.ObjectAt(indexes[i + kAhead]));
      const game::ObjectBase* object = world.ObjectAt(indexes[i]);
      if (object != nullptr && !world.IsDestroyed(*object))
        game::AppendRemovedEntry(entries_, world, *object);
    }
    held -= whole * sizeof(int32_t);
    std::memmove(into, into + whole * sizeof(int32_t), held);
  }
  Close(read_fd_);
}

}  // namespace server
