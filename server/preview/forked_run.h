// ForkedCopy: runs work in a forked copy of this process and hands its text to the parent as it
// comes. The copy has the world, the plugin and every setting by construction, and nothing it
// does reaches the parent: it ends with _exit (no exit handlers, no stream flushed), and its text
// comes back through a pipe. The copy has only the calling thread, so a lock another thread may
// hold must be taken before the fork (`hooks.before`) and released on both sides after
// (`hooks.after`). The parent reads until the copy is done and reaps it off its own thread; no
// descriptor outlives the copy. Thread: the game thread (Finish blocks until the copy is done).
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

namespace server {

struct ForkHooks {
  std::function<void()> before;    // in the parent, just before the fork
  std::function<void()> after;     // on both sides, just after
  std::function<void()> in_child;  // then in the copy
  // In the copy once its text is complete and sent, before it ends: work the parent need not
  // wait for.
  std::function<void()> child_cleanup;
};

// The copy's side of the pipe: text written here reaches the parent's `take` in pieces, in
// order, without being held whole on either side.
class ForkedOutput {
 public:
  explicit ForkedOutput(int fd);
  ForkedOutput(const ForkedOutput&) = delete;
  ForkedOutput& operator=(const ForkedOutput&) = delete;
  void Write(std::string_view text);
  void Flush();

 private:
  int fd_;
  std::string buffer_;
};

struct ForkedResult {
  bool ok = false;
  std::string error;  // why not, when !ok; what `take` received is then to be dropped
};

// A fork copies one page-table entry for each small page in use, so a large heap of small pages
// makes every copy slow to start. This asks for the heap to be backed by huge pages, from now on
// and, where the kernel can, for what it holds already (which takes a while once, for a large
// world). Where the kernel cannot, nothing changes. Call once the large state is built.
void BackHeapWithHugePages();

// A forked copy running `work`, started at once; its text is read by Finish, so that the
// parent can start a second copy, or do other work, while the first runs.
class ForkedCopy {
 public:
  ForkedCopy(const ForkHooks& hooks, const std::function<void(ForkedOutput&)>& work);
  ForkedCopy(const ForkedCopy&) = delete;
  ForkedCopy& operator=(const ForkedCopy&) = delete;
  // One never finished is abandoned: its pipe closed, the copy reaped off this thread.
  ~ForkedCopy();
  // Reads the copy's text into `take` until it is done. Once only.
  // REQUIRES: `take` copes with pieces cut anywhere, even inside a UTF-8 sequence.
  ForkedResult Finish(const std::function<void(std::string_view piece)>& take);

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
  std::string error_;  // why the copy could not start
};

}  // namespace server
