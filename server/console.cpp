#include "server/console.h"

#include <poll.h>
#include <unistd.h>

#include <system_error>

namespace server {

ConsoleReader::ConsoleReader(int fd, std::function<void(std::string)> on_line)
    : fd_(fd), on_line_(std::move(on_line)) {
  if (pipe(wake_) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
  thread_ = std::thread([this] { Loop(); });
}

ConsoleReader::~ConsoleReader() {
  const char byte = 0;
  [[maybe_unused]] auto written = write(wake_[1], &byte, 1);
  thread_.join();
  close(wake_[0]);
  close(wake_[1]);
}

void ConsoleReader::Loop() {
  std::string pending;
  char buffer[4096];
  for (;;) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    pending.append(buffer, static_cast<std::size_t>(n));
    std::size_t start = 0;
    for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
      std::string line = pending.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      on_line_(std::move(line));
    }
    pending.erase(0, start);
  }
  if (!pending.empty()) on_line_(std::move(pending));  // a last line without its newline
}

}  // namespace server
