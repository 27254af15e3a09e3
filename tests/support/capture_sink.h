// A log sink that keeps the formatted lines, for assertions on what was logged.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include <spdlog/sinks/base_sink.h>

namespace support {

class CaptureSink final : public spdlog::sinks::base_sink<std::mutex> {
 public:
  std::vector<std::string> lines() {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  // How many lines contain `text`.
  int Count(const std::string& text);
  void Clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
  }

 protected:
  void sink_it_(const spdlog::details::log_msg& msg) override;
  void flush_() override {}

 private:
  std::vector<std::string> lines_;
};

}  // namespace support
