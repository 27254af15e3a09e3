// Texts cut out of a request body rather than re-joined from its words, so that the spacing a
// client typed inside a message or a name reaches the game unchanged. Both rules compare the
// prefix ignoring ASCII case, so a command name typed in other letter case is still cut.
#pragma once

#include <sdk/fstring.h>

namespace orvane {

// `body` without one leading `prefix`; the whole body when it does not start with it.
FString RemoveFromStart(const FString& body, const FString& prefix);

// `body` with every occurrence of `prefix` removed, left to right, wherever it stands.
FString RemoveEverywhere(const FString& body, const FString& prefix);

}  // namespace orvane
