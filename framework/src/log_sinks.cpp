#include "framework/host/log_sinks.h"

#include <spdlog/sinks/sink.h>

#include <algorithm>
#include <string>

#include "sdk/api.h"

namespace framework {
namespace {

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// Control characters as visible escapes ("\n", "\r", "\t", else "\x1b"), so that no text a
// client sent can start a line of its own or move a terminal's cursor.
void AppendEscaped(std::string& out, spdlog::string_view_t text) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (const char c : text) {
    if (!IsControl(c)) {
      out += c;
      continue;
    }
    out += '\\';
    switch (c) {
      case '\n':
        out += 'n';
        break;
      case '\r':
        out += 'r';
        break;
      case '\t':
        out += 't';
        break;
      default:
        out += 'x';
        out += kHex[static_cast<unsigned char>(c) >> 4];
        out += kHex[c & 0xF];
    }
  }
}

// Every shared sink sits behind one of these: whoever logged a line, its control characters
// reach the sink escaped. A line without any passes untouched, with no copy.
class EscapingSink final : public spdlog::sinks::sink {
 public:
  explicit EscapingSink(std::shared_ptr<spdlog::sinks::sink> inner) : inner_(std::move(inner)) {}

  void log(const spdlog::details::log_msg& msg) override {
    if (!inner_->should_log(msg.level)) return;
    const auto& payload = msg.payload;
    if (std::none_of(payload.begin(), payload.end(), IsControl)) {
      inner_->log(msg);
      return;
    }
    std::string escaped;
    escaped.reserve(payload.size() + 16);
    AppendEscaped(escaped, payload);
    spdlog::details::log_msg copy = msg;
    copy.payload = escaped;
    inner_->log(copy);
  }
  void flush() override { inner_->flush(); }
  void set_pattern(const std::string& pattern) override { inner_->set_pattern(pattern); }
  void set_formatter(std::unique_ptr<spdlog::formatter> formatter) override {
    inner_->set_formatter(std::move(formatter));
  }

 private:
  std::shared_ptr<spdlog::sinks::sink> inner_;
};

std::shared_ptr<spdlog::logger>& LoggerSlot() {
  static std::shared_ptr<spdlog::logger> logger;
  return logger;
}

void Rebuild() {
  auto& sinks = GetLogSinks();
  LoggerSlot() = std::make_shared<spdlog::logger>("framework", sinks.begin(), sinks.end());
  LoggerSlot()->flush_on(spdlog::level::info);
}

}  // namespace

void AddLogSink(std::shared_ptr<spdlog::sinks::sink> sink) {
  GetLogSinks().push_back(std::make_shared<EscapingSink>(std::move(sink)));
  Rebuild();
}

void ClearLogSinks() {
  GetLogSinks().clear();
  Rebuild();
}

spdlog::logger& FrameworkLog() {
  if (!LoggerSlot()) Rebuild();
  return *LoggerSlot();
}

}  // namespace framework

std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks() {
  static std::vector<std::shared_ptr<spdlog::sinks::sink>> sinks;
  return sinks;
}
