#include "core/request.h"

#include <algorithm>

#include "core/body_text.h"
#include "core/format.h"
#include "core/plugin_logger.h"
#include "core/reply.h"

namespace orvane {

const CommandArgs& Request::Args() {
  if (!args_) args_.emplace(packet_->Body);
  return *args_;
}

bool Request::HasWordsFor(std::u16string_view usage) {
  const auto placeholders = std::count(usage.begin(), usage.end(), u'<');
  return Args().Num() > placeholders;  // the command name is word 0
}

bool Request::Require(std::u16string_view arguments) {
  if (HasWordsFor(arguments)) return true;
  Reply(Format(u"Not enough arguments: {} {}", command_name_, arguments));
  return false;
}

bool Request::RequireWithUsage(const FString& usage) {
  if (HasWordsFor(usage.View())) return true;
  Reply(usage);
  return false;
}

FString Request::CutFromBody(TextCut cut, const FString& tail) const {
  FString prefix(command_name_);
  prefix += tail;
  return cut == TextCut::kLeading ? RemoveFromStart(packet_->Body, prefix)
                                  : RemoveEverywhere(packet_->Body, prefix);
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
