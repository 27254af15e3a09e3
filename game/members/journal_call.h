// JournalCall: writes one journal line for a game function call, its arguments encoded as the
// journal fixes: numbers as numbers (a float as its exact value), booleans, strings as UTF-8,
// game names as their text, vectors and rotators as [x, y, z], colours as [r, g, b, a], objects
// as their REF or null, records as arrays of their fields in order. A number JSON cannot hold
// (nan, inf) is written as the world file writes it, "nan", "inf" or "-inf", rather than null.
// Nothing is built when no sink listens. Thread: the game thread.
#pragma once

#include <type_traits>

#include "game/journal/journal.h"
#include "game/objects/objects.h"
#include "game/world/world.h"
#include "sdk/address.h"
#include "sdk/game_types.h"

namespace game::members {

inline void Encode(JournalLine& line, const FString& text) { line.String(text.View()); }
inline void Encode(JournalLine& line, const FName& name) {
  line.String(World::Installed().names().ToString(name));
}

// Records, written with EncodeRecord below.
inline void Encode(JournalLine& line, const FVector& v);
inline void Encode(JournalLine& line, const FRotator& r);
inline void Encode(JournalLine& line, const FLinearColor& c);
inline void Encode(JournalLine& line, const FPrimalChatMessage& m);

template <class T>
void Encode(JournalLine& line, const T& value) {
  if constexpr (std::is_same_v<T, bool>) {
    line.Bool(value);
  } else if constexpr (std::is_same_v<T, char>) {
    line.Int(static_cast<int>(value));
  } else if constexpr (std::is_floating_point_v<T>) {
    line.Number(static_cast<double>(value));
  } else if constexpr (std::is_integral_v<T>) {
    line.Int(value);
  } else if constexpr (std::is_enum_v<T>) {
    line.Int(static_cast<int64_t>(value));
  } else if constexpr (std::is_pointer_v<T>) {
    line.Object(FromSdk(value));
  } else {
    static_assert(!sizeof(T), "no journal encoding for this argument type");
  }
}

template <class E>
void Encode(JournalLine& line, const TArray<E>& array) {
  line.BeginArray();
  for (const E& element : array) Encode(line, element);
  line.EndArray();
}

// A record: its fields in order, as an array.
template <class... Fields>
void EncodeRecord(JournalLine& line, const Fields&... fields) {
  line.BeginArray();
  (Encode(line, fields), ...);
  line.EndArray();
}

inline void Encode(JournalLine& line, const FVector& v) { EncodeRecord(line, v.X, v.Y, v.Z); }
inline void Encode(JournalLine& line, const FRotator& r) {
  EncodeRecord(line, r.Pitch, r.Yaw, r.Roll);
}
inline void Encode(JournalLine& line, const FLinearColor& c) {
  EncodeRecord(line, c.R, c.G, c.B, c.A);
}
inline void Encode(JournalLine& line, const FPrimalChatMessage& m) {
  EncodeRecord(line, m.SenderName, m.SenderAccountName, m.SenderTribeName, m.SenderId, m.Message,
               m.Receiver, m.SenderTeamIndex, m.ReceivedTime, m.SendMode, m.RadioFrequency,
               m.ChatType, m.SenderIcon, m.bFromServer, m.UserId);
}

// Journals a call of `member` on `self` (null for a static function) with `args`.
template <class Signature, class... Args>
void JournalCall(sym::Function<Signature> member, const void* self, const Args&... args) {
  const Journal* journal = ActiveJournal();
  if (journal == nullptr || !journal->enabled()) return;
  JournalLine line = journal->Begin(member.name, FromSdk(self));
  (Encode(line, args), ...);
  journal->Finish(line);
}

}  // namespace game::members
