#include "core/body_text.h"

namespace orvane {

FString RemoveFromStart(const FString& body, const FString& prefix) {
  FString rest = body;
  rest.RemoveFromStart(prefix.View(), ESearchCase::IgnoreCase);
  return rest;
}

FString RemoveEverywhere(const FString& body, const FString& prefix) {
  return body.Replace(prefix.View(), u"", ESearchCase::IgnoreCase);
}

}  // namespace orvane
