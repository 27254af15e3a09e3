#include "server/audit.h"

#include <fmt/format.h>

#include "sdk/api.h"

namespace server {
namespace {

// The line in quotes: at most kAuditLineLimit characters (UTF-8 sequences kept whole), control
// characters, quotes and backslashes escaped.
std::string QuotedLine(std::string_view line, std::size_t& characters) {
  std::string out = "\"";
  characters = 0;
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
  return out + "\"";
}

}  // namespace

std::string AuditText(const AuditRecord& r) {
  std::size_t characters = 0;
  std::string text = fmt::format("{} #{} {}", r.source, r.id, QuotedLine(r.line, characters));
  if (characters > kAuditLineLimit) text += fmt::format(" (cut, {} characters)", characters);
  const double ms = std::chrono::duration<double, std::milli>(r.took).count();
  return text +
         fmt::format(": {} {} in {:.3f} ms", r.replies, r.replies == 1 ? "reply" : "replies", ms);
}

Audit::Audit(bool enabled) {
  if (!enabled) return;
  log_ = std::make_shared<spdlog::logger>("audit", GetLogSinks().begin(), GetLogSinks().end());
  log_->flush_on(spdlog::level::info);
}

void Audit::Record(const AuditRecord& record) const {
  if (log_) log_->info("{}", AuditText(record));
}

}  // namespace server
