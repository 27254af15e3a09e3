// JournalCall: writes one journal line for a game function call, its arguments encoded as the
// journal fixes: numbers as numbers (a float as its exact value), booleans, strings as UTF-8,
// game names as their text, vectors and rotators as [x, y, z], colours as [r, g, b, a], objects
// as their REF or null, records as arrays of their fields in order. A number JSON cannot hold
// (nan, inf) is written as the world file writes it, "nan", "inf" or "-inf", rather than null.
// Nothing is built when no sink listens. Thread: the game thread.
#pragma once

#include <type_traits>

#include <nlohmann/json.hpp>

#include "game/journal/journal.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "game/world/world_json.h"
#include "sdk/address.h"
#include "sdk/game_types.h"

namespace game::members {

using JournalJson = nlohmann::ordered_json;

inline JournalJson Number(double value) {
  if (const char* text = NonFiniteWorldNumber(value)) return text;
  return value;
}
inline JournalJson Encode(const FString& text) { return ToUtf8(text.View()); }
inline JournalJson Encode(const FName& name) {
  return ToUtf8(World::Installed().names().ToString(name));
}
inline JournalJson Encode(const FVector& v) {
  return JournalJson::array({Number(v.X), Number(v.Y), Number(v.Z)});
}
inline JournalJson Encode(const FRotator& r) {
  return JournalJson::array({Number(r.Pitch), Number(r.Yaw), Number(r.Roll)});
}
inline JournalJson Encode(const FLinearColor& c) {
  return JournalJson::array({Number(c.R), Number(c.G), Number(c.B), Number(c.A)});
}
inline JournalJson EncodeObject(const void* object) {
  if (object == nullptr) return nullptr;
  return World::Installed().RefOf(FromSdk(object));
}

template <class T>
JournalJson Encode(const T& value) {
  if constexpr (std::is_same_v<T, bool>) {
    return value;
  } else if constexpr (std::is_same_v<T, char>) {
    return static_cast<int>(value);
  } else if constexpr (std::is_floating_point_v<T>) {
    return Number(static_cast<double>(value));
  } else if constexpr (std::is_integral_v<T>) {
    return value;
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<int64_t>(value);
  } else if constexpr (std::is_pointer_v<T>) {
    return EncodeObject(value);
  } else {
    static_assert(!sizeof(T), "no journal encoding for this argument type");
  }
}

template <class E>
JournalJson Encode(const TArray<E>& array) {
  JournalJson out = JournalJson::array();
  for (const E& element : array) out.push_back(Encode(element));
  return out;
}

inline JournalJson Encode(const FPrimalChatMessage& m) {
  return JournalJson::array(
      {Encode(m.SenderName), Encode(m.SenderAccountName), Encode(m.SenderTribeName), m.SenderId,
       Encode(m.Message), Encode(m.Receiver), m.SenderTeamIndex, Number(m.ReceivedTime), m.SendMode,
       m.RadioFrequency, m.ChatType, EncodeObject(m.SenderIcon), m.bFromServer, Encode(m.UserId)});
}

// Journals a call of `member` on `self` (null for a static function) with `args`.
template <class Signature, class... Args>
void JournalCall(sym::Function<Signature> member, const void* self, const Args&... args) {
  const Journal* journal = ActiveJournal();
  if (journal == nullptr || !journal->enabled()) return;
  JournalJson encoded = JournalJson::array();
  (encoded.push_back(Encode(args)), ...);
  journal->Write(member.name, EncodeObject(self), std::move(encoded));
}

}  // namespace game::members
