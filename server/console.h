// ConsoleReader: a thread that reads lines from a file descriptor (standard input) and hands
// each, without its line end, to `on_line` on that thread. It stops at end of input, on a
// read error or when destroyed; destruction never waits for input.
#pragma once

#include <functional>
#include <string>
#include <thread>

namespace server {

class ConsoleReader {
 public:
  // REQUIRES: `on_line` does not block for long (it should post the line elsewhere).
  ConsoleReader(int fd, std::function<void(std::string line)> on_line);
  ~ConsoleReader();
  ConsoleReader(const ConsoleReader&) = delete;
  ConsoleReader& operator=(const ConsoleReader&) = delete;

 private:
  void Loop();

  int fd_;
  int wake_[2] = {-1, -1};  // a pipe: writing to it ends the loop
  std::function<void(std::string)> on_line_;
  std::thread thread_;
};

}  // namespace server
