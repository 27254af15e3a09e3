#include "server/preview/forked_run.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

#include <fmt/format.h>

namespace server {
namespace {

// What follows the work's text: the end of a complete text, or the reason it broke off. A copy
// that dies while writing leaves neither, and is not taken at its word. The text itself never
// holds a line break followed by a dot.
constexpr std::string_view kEnd = "\n.end";
constexpr std::string_view kFailed = "\n.error ";
// The parent keeps this much of the text's end back from `take`, to find those marks in.
constexpr std::size_t kTail = 4096;
constexpr std::size_t kPiece = std::size_t{1} << 20;

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

[[noreturn]] void RunChild(const ForkHooks& hooks, const std::function<void(ForkedOutput&)>& work,
                           int fd) {
  int status = 0;
  ForkedOutput out(fd);
  try {
    if (hooks.after) hooks.after();
    if (hooks.in_child) hooks.in_child();
    work(out);
    out.Write(kEnd);
  } catch (const std::exception& e) {
    out.Write(kFailed);
    out.Write(std::string_view(e.what()).substr(0, kTail / 2));
    status = 1;
  } catch (...) {
    out.Write(kFailed);
    out.Write("unknown error");
    status = 1;
  }
  out.Flush();
  // The parent reads to the end of the pipe: it need not wait for what follows, nor while this
  // copy's memory goes.
  ::close(fd);
  try {
    if (hooks.child_cleanup) hooks.child_cleanup();
  } catch (...) {
  }
  ::_exit(status);
}

int Reap(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace

void BackHeapWithHugePages() {
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  constexpr int kCollapse = 25;  // MADV_COLLAPSE, which older headers lack
  // The heap may be cut in several mappings (parts of it given other advice): each is asked.
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (!line.ends_with("[heap]")) continue;
    std::istringstream range(line);
    std::uintptr_t start = 0, end = 0;
    char dash = 0;
    range >> std::hex >> start >> dash >> end;
    start = (start + kHugePage - 1) & ~(kHugePage - 1);
    end &= ~(kHugePage - 1);
    if (end <= start) continue;
    auto* at = reinterpret_cast<void*>(start);
    ::madvise(at, end - start, MADV_HUGEPAGE);
    ::madvise(at, end - start, kCollapse);
  }
}

ForkedOutput::ForkedOutput(int fd) : fd_(fd) { buffer_.reserve(kPiece); }

void ForkedOutput::Write(std::string_view text) {
  if (buffer_.size() + text.size() > kPiece) Flush();
  if (text.size() >= kPiece) {
    WriteAll(fd_, text);
    return;
  }
  buffer_ += text;
}

void ForkedOutput::Flush() {
  WriteAll(fd_, buffer_);
  buffer_.clear();
}

ForkedCopy::ForkedCopy(const ForkHooks& hooks, const std::function<void(ForkedOutput&)>& work) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error_ = fmt::format("pipe: {}", std::strerror(errno));
    return;
  }
  // A larger pipe lets the copy write on while the parent takes a piece.
  ::fcntl(fds[0], F_SETPIPE_SZ, static_cast<int>(kPiece));
  if (hooks.before) hooks.before();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    RunChild(hooks, work, fds[1]);
  }
  const int fork_errno = errno;
  if (hooks.after) hooks.after();
  ::close(fds[1]);
  if (pid < 0) {
    ::close(fds[0]);
    error_ = fmt::format("fork: {}", std::strerror(fork_errno));
    return;
  }
  pid_ = pid;
  fd_ = fds[0];
}

ForkedCopy::~ForkedCopy() {
  if (pid_ < 0) return;
  ::close(fd_);
  std::thread([pid = pid_] { Reap(pid); }).detach();
}

ForkedResult ForkedCopy::Finish(const std::function<void(std::string_view piece)>& take) {
  if (pid_ < 0) return {false, error_.empty() ? "the copy was read already" : error_};
  const pid_t pid = std::exchange(pid_, -1);
  // Everything but the last kTail bytes goes to `take` as it comes, straight from where it was
  // read; what is held back moves to the front of the buffer.
  std::string held(kTail + kPiece, '\0');
  std::size_t kept = 0;
  for (;;) {
    const ssize_t n = ::read(fd_, held.data() + kept, held.size() - kept);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    kept += static_cast<std::size_t>(n);
    if (kept > kTail) {
      take(std::string_view(held).substr(0, kept - kTail));
      std::memmove(held.data(), held.data() + kept - kTail, kTail);
      kept = kTail;
    }
  }
  held.resize(kept);
  ::close(fd_);
  // The copy has closed its end and is going; a large one takes a while to give back its
  // memory, so it is reaped off the game thread.
  if (held.ends_with(kEnd)) {
    std::thread([pid] { Reap(pid); }).detach();
    take(std::string_view(held).substr(0, held.size() - kEnd.size()));
    return {true, {}};
  }
  if (const std::size_t at = held.rfind(kFailed); at != std::string::npos) {
    std::thread([pid] { Reap(pid); }).detach();
    return {false, held.substr(at + kFailed.size())};
  }
  // Without either mark the copy died: wait for it to say how.
  const int status = Reap(pid);
  if (WIFSIGNALED(status))
    return {false, fmt::format("the copy ended on signal {}", WTERMSIG(status))};
  return {false, "the copy ended without a report"};
}

}  // namespace server
