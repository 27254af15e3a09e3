// AuditFeed: a log sink that passes the audit lines (logger "audit") on to the web console's
// live streams as "audit" events, and ignores every other line. It takes no lock of its own
// before it knows a line is an audit line, so a forked preview copy, which logs no audit line,
// never waits on it. Any thread.
#pragma once

#include <memory>

#include <spdlog/sinks/sink.h>

#include "server/web/event_hub.h"

namespace server::web {

// REQUIRES: `hub` outlives the sink's use.
std::shared_ptr<spdlog::sinks::sink> MakeAuditFeed(EventHub& hub);

}  // namespace server::web
