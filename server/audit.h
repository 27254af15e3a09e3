// The audit trail: one info line on the server's log for every request, whoever sent it, so
// that what was run on a server can be read back. Written by the server around dispatch, so
// the plugin's own log lines stay as they are.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <spdlog/logger.h>

namespace server {

// Where a request came from: "<address>:<port>" of an RCON peer, "console" or "exec".
struct AuditRecord {
  std::string_view source;
  int32_t id = 0;
  std::string_view line;  // UTF-8 as received
  std::size_t replies = 0;
  std::chrono::nanoseconds took{};
  bool refused = false;  // the account may not run the command: it did not run
};

// The text of one audit line. The command line is cut after kAuditLineLimit characters and
// its control characters are escaped, so that no request can forge or flood log lines.
inline constexpr std::size_t kAuditLineLimit = 200;
std::string AuditText(const AuditRecord& record);
// The same text appended to `out`.
void AppendAuditText(std::string& out, const AuditRecord& record);

// Logs AuditText at info level on a logger named "audit" over the shared sinks; does nothing
// when disabled (--no-audit). Record is called by one thread at a time (the game thread).
class Audit {
 public:
  explicit Audit(bool enabled);
  void Record(const AuditRecord& record) const;

 private:
  std::shared_ptr<spdlog::logger> log_;
  mutable std::string text_;  // the line at hand, its buffer reused
};

}  // namespace server
