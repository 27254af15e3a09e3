// CommandArgs: the words of a request body, cut at single spaces with empty words dropped
// (tabs are ordinary characters). Word 0 is the command name.
#pragma once

#include <sdk/fstring.h>

namespace orvane {

class CommandArgs {
 public:
  // Splits a private copy of `body`.
  explicit CommandArgs(const FString& body);

  int32_t Num() const { return words_.Num(); }
  const FString& operator[](int32_t i) const { return words_[i]; }

  // The word's characters as a new string.
  FString Text(int32_t i) const;
  // The conversions of conversions.h applied to word i (throwing on failure).
  int32_t Stoi(int32_t i) const;
  float Stof(int32_t i) const;
  uint64_t Stoull(int32_t i) const;
  int32_t LenientInt(int32_t i) const;

 private:
  TArray<FString> words_;
};

}  // namespace orvane
