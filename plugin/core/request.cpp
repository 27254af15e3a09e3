#include "core/request.h"

#include "core/format.h"
#include "core/plugin_logger.h"
#include "core/reply.h"

namespace orvane {

const CommandArgs& Request::Args() {
  if (!args_) args_.emplace(packet_->Body);
  return *args_;
}

bool Request::Require(int32_t count, std::u16string_view arguments) {
  if (Args().Num() >= count) return true;
  Reply(Format(u"Not enough arguments: {} {}", command_name_, arguments));
  return false;
}

bool Request::RequireWithUsage(int32_t count, const FString& usage) {
  if (Args().Num() >= count) return true;
  Reply(usage);
  return false;
}

void Request::Reply(const FString& text) const { SendRconReply(connection_, packet_, text); }

void Request::ReplyWithType(int32_t type, const FString& text) const {
  SendRconReplyOfType(connection_, packet_, type, text);
}

void Request::SendFailure(FailureReply variant, const std::exception& e) const {
  switch (variant) {
    case FailureReply::kPlain:
      Reply("Request has failed");
      break;
    case FailureReply::kPlainLogged:
      Reply("Request has failed");
      PluginLogger::Get().error("Request has failed: {}", e.what());
      break;
    case FailureReply::kWithMessage:
      Reply(Format(u"Request has failed: {}", e.what()));
      break;
  }
}

}  // namespace orvane
