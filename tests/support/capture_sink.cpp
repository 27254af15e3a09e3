#include "tests/support/capture_sink.h"

namespace support {

int CaptureSink::Count(const std::string& text) {
  int n = 0;
  for (const auto& line : lines())
    if (line.find(text) != std::string::npos) ++n;
  return n;
}

void CaptureSink::sink_it_(const spdlog::details::log_msg& msg) {
  spdlog::memory_buf_t formatted;
  formatter_->format(msg, formatted);
  std::string line = fmt::to_string(formatted);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  lines_.push_back(std::move(line));
}

}  // namespace support
