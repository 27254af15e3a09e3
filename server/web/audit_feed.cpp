#include "server/web/audit_feed.h"

#include <spdlog/details/null_mutex.h>
#include <spdlog/sinks/base_sink.h>

namespace server::web {
namespace {

class AuditFeed final : public spdlog::sinks::base_sink<spdlog::details::null_mutex> {
 public:
  explicit AuditFeed(EventHub& hub) : hub_(hub) {}

 private:
  void sink_it_(const spdlog::details::log_msg& msg) override {
    if (msg.logger_name != "audit" || hub_.idle()) return;
    hub_.Publish("audit", std::string_view(msg.payload.data(), msg.payload.size()));
  }
  void flush_() override {}

  EventHub& hub_;
};

}  // namespace

std::shared_ptr<spdlog::sinks::sink> MakeAuditFeed(EventHub& hub) {
  return std::make_shared<AuditFeed>(hub);
}

}  // namespace server::web
