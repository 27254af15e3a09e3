#include "server/preview/forked_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <string_view>
#include <thread>

#include <fmt/format.h>

namespace server {
namespace {

// Ends a complete report, so that a copy that dies while writing is not taken at its word.
constexpr std::string_view kEnd = "\n.end";

void WriteAll(int fd, const std::string& text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    at += static_cast<std::size_t>(n);
  }
}

// The copy's side: work's text prefixed by '+', or an error prefixed by '-'.
[[noreturn]] void RunChild(const ForkHooks& hooks, const std::function<std::string()>& work,
                           int out) {
  int status = 0;
  try {
    if (hooks.after) hooks.after();
    if (hooks.in_child) hooks.in_child();
    std::string text(1, '+');
    text += work();
    text += kEnd;
    WriteAll(out, text);
  } catch (const std::exception& e) {
    std::string text(1, '-');
    text += e.what();
    WriteAll(out, text);
    status = 1;
  } catch (...) {
    WriteAll(out, "-unknown error");
    status = 1;
  }
  // The parent reads to the end of the pipe: it need not wait while this copy's memory goes.
  ::close(out);
  ::_exit(status);
}

}  // namespace

ForkedResult RunForked(const ForkHooks& hooks, const std::function<std::string()>& work) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0)
    return {false, {}, fmt::format("pipe: {}", std::strerror(errno))};
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
    return {false, {}, fmt::format("fork: {}", std::strerror(fork_errno))};
  }
  std::string text;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  const bool complete = text.size() >= kEnd.size() && text.ends_with(kEnd);
  if (!complete || text[0] != '+') {
    // Without a report the copy failed: wait for it to say how.
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
      return {false, {}, fmt::format("the copy ended on signal {}", WTERMSIG(status))};
    if (!text.empty() && text[0] == '-') return {false, {}, text.substr(1)};
    return {false, {}, "the copy ended without a report"};
  }
  // The copy has closed its end and is going; a large one takes a while to give back its
  // memory, so it is reaped off the game thread.
  std::thread([pid] {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  text.resize(text.size() - kEnd.size());
  text.erase(0, 1);
  return {true, std::move(text), {}};
}

}  // namespace server
