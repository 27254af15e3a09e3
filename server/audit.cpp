#include "server/audit.h"

#include <algorithm>
#include <array>
#include <charconv>

#include <fmt/format.h>

#include "sdk/api.h"

namespace server {
namespace {

// Numbers appended without a format string to parse: the line is written for every request.
template <typename Number>
void Append(std::string& out, Number value) {
  std::array<char, 32> digits;
  out.append(digits.data(), std::to_chars(digits.begin(), digits.end(), value).ptr);
}

// "1.500": milliseconds with three decimals.
void AppendMilliseconds(std::string& out, double ms) {
  std::array<char, 64> digits;
  out.append(digits.data(),
             std::to_chars(digits.begin(), digits.end(), ms, std::chars_format::fixed, 3).ptr);
}

// The line in quotes: at most kAuditLineLimit characters (UTF-8 sequences kept whole), control
// characters, quotes and backslashes escaped. Returns the line's length in characters.
std::size_t AppendQuoted(std::string& out, std::string_view line) {
  out += '"';
  std::size_t characters = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    if ((byte & 0xC0) == 0x80) {  // continuation byte: part of the character before it
      if (characters <= kAuditLineLimit) out += line[i];
      continue;
    }
    if (++characters > kAuditLineLimit) continue;
    if (byte < 0x20 || byte == 0x7F) {
      out += fmt::format("\\x{:02x}", byte);
    } else if (byte == '"' || byte == '\\') {
      out += '\\';
      out += line[i];
    } else {
      out += line[i];
    }
  }
  out += '"';
  return characters;
}

}  // namespace

std::string AuditText(const AuditRecord& record) {
  std::string text;
  AppendAuditText(text, record);
  return text;
}

void AppendAuditText(std::string& text, const AuditRecord& r) {
  text.reserve(text.size() + r.source.size() + std::min(r.line.size(), 4 * kAuditLineLimit) + 64);
  text += r.source;
  text += " #";
  Append(text, r.id);
  text += ' ';
  const std::size_t characters = AppendQuoted(text, r.line);
  if (characters > kAuditLineLimit) {
    text += " (cut, ";
    Append(text, characters);
    text += " characters)";
  }
  text += r.refused ? ": refused, " : ": ";
  Append(text, r.replies);
  text += r.replies == 1 ? " reply in " : " replies in ";
  AppendMilliseconds(text, std::chrono::duration<double, std::milli>(r.took).count());
  text += " ms";
}

Audit::Audit(bool enabled) {
  if (!enabled) return;
  log_ = std::make_shared<spdlog::logger>("audit", GetLogSinks().begin(), GetLogSinks().end());
  log_->flush_on(spdlog::level::info);
}

void Audit::Record(const AuditRecord& record) const {
  if (!log_) return;
  text_.clear();  // keeps its capacity: no allocation per request
  AppendAuditText(text_, record);
  log_->info(std::string_view(text_));
}

}  // namespace server
