// FString: the game's string of UTF-16 code units. Its character array counts a terminating
// zero, so an empty string holds no characters whether or not it has storage. Storage comes
// from host memory (see host_memory.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "sdk/tarray.h"

namespace ESearchCase {
enum Type { CaseSensitive, IgnoreCase };
}
namespace ESearchDir {
enum Type { FromStart, FromEnd };
}

class FString {
 public:
  FString() = default;
  // Each byte of `narrow` becomes one code unit.
  FString(const char* narrow);    // NOLINT(google-explicit-constructor): host literal form
  FString(const char16_t* wide);  // NOLINT(google-explicit-constructor)
  FString(int32_t count, const char16_t* wide);
  explicit FString(std::u16string_view wide);

  FString& operator=(const char16_t* wide);

  // Number of characters, the terminating zero not counted.
  int32_t Len() const { return data_.Num() > 0 ? data_.Num() - 1 : 0; }
  bool IsEmpty() const { return Len() == 0; }
  // The characters, zero-terminated; an empty string gives u"".
  const char16_t* operator*() const { return data_.Num() > 0 ? data_.GetData() : u""; }
  std::u16string_view View() const { return {**this, static_cast<std::size_t>(Len())}; }
  char16_t operator[](int32_t i) const { return data_[i]; }
  // The raw array, terminating zero included (game functions fill it directly).
  TArray<char16_t>& GetCharArray() { return data_; }
  const TArray<char16_t>& GetCharArray() const { return data_; }

  // Replaces the contents with `count` characters from `text`.
  void AssignRange(const char16_t* text, int32_t count);
  // Appends `count` characters from `text`.
  void AppendChars(const char16_t* text, int32_t count);
  FString& operator+=(const FString& other);
  FString& operator+=(const char16_t* text);
  friend FString operator+(const FString& a, const FString& b);
  friend FString operator+(const FString& a, const char16_t* b);

  // Cuts at every occurrence of `delimiter`; with `cull_empty` empty pieces are dropped.
  // `out` is emptied first. Returns the number of pieces.
  int32_t ParseIntoArray(TArray<FString>& out, const char16_t* delimiter, bool cull_empty) const;

  bool Equals(const FString& other, ESearchCase::Type search_case) const;
  // False for an empty suffix.
  bool EndsWith(std::u16string_view suffix, ESearchCase::Type search_case) const;
  bool StartsWith(std::u16string_view prefix, ESearchCase::Type search_case) const;
  // Index of the first (or, from the end, last) occurrence of `sub`; -1 when absent.
  int32_t Find(std::u16string_view sub, ESearchCase::Type search_case = ESearchCase::IgnoreCase,
               ESearchDir::Type dir = ESearchDir::FromStart) const;
  bool Contains(std::u16string_view sub,
                ESearchCase::Type search_case = ESearchCase::IgnoreCase) const {
    return Find(sub, search_case) != -1;
  }
  // Every occurrence of `from` replaced, left to right; replacements are not searched again.
  FString Replace(std::u16string_view from, std::u16string_view to,
                  ESearchCase::Type search_case = ESearchCase::IgnoreCase) const;
  // As Replace, in place; returns the number of replacements.
  int32_t ReplaceInline(std::u16string_view from, std::u16string_view to,
                        ESearchCase::Type search_case = ESearchCase::IgnoreCase);
  // Removes one leading and one trailing double quote (the latter only when at least two
  // characters remain to look at).
  void TrimQuotesInline();
  FString TrimQuotes() const;
  // Removes `prefix` when the string starts with it; returns whether it did.
  bool RemoveFromStart(std::u16string_view prefix,
                       ESearchCase::Type search_case = ESearchCase::IgnoreCase);
  FString Left(int32_t count) const;
  FString LeftChop(int32_t count) const;

 private:
  TArray<char16_t> data_;
};

// ASCII-only case folding comparisons used by FString and the platform helpers.
struct FGenericPlatformStricmp {
  // 0 when the first `count` code units of `a` and `b` are equal ignoring ASCII case,
  // else the difference of the first unequal pair (upper-cased).
  static int32_t Strnicmp(const char16_t* a, const char16_t* b, std::size_t count);
  static int32_t Stricmp(const char16_t* a, const char16_t* b);
};
