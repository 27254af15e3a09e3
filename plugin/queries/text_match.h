// TextMatch: a text match of an actor (ActorNameMatches and the like), worked out once per
// combination of what it depends on. Such a match depends only on the actor's class and, for a
// structure, its two item classes: every name and path compared is built from those. A walk
// over a large level therefore builds and compares them once per combination. An instance
// lives for one request. Thread: the game thread.
#pragma once

#include <cstddef>
#include <unordered_map>

#include <sdk/game_types.h>

namespace orvane {

class TextMatch {
 public:
  using Match = bool (*)(const AActor* actor, const FString& text);
  // REQUIRES: `text` outlives the match.
  TextMatch(Match match, const FString& text) : match_(match), text_(text) {}

  bool operator()(const AActor* actor);

 private:
  struct Key {
    UClass* cls;
    UClass* consumes;
    UClass* pickup;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };

  Match match_;
  const FString& text_;
  std::unordered_map<Key, bool, KeyHash> known_;
};

}  // namespace orvane
