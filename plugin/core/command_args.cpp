#include "core/command_args.h"

#include "core/conversions.h"

namespace orvane {

CommandArgs::CommandArgs(const FString& body) {
  FString copy = body;
  copy.ParseIntoArray(words_, u" ", true);
}

FString CommandArgs::Text(int32_t i) const { return FString(words_[i].Len(), *words_[i]); }

int32_t CommandArgs::Stoi(int32_t i) const { return orvane::Stoi(words_[i].View()); }

float CommandArgs::Stof(int32_t i) const { return orvane::Stof(words_[i].View()); }

uint64_t CommandArgs::Stoull(int32_t i) const { return orvane::Stoull(words_[i].View()); }

int32_t CommandArgs::LenientInt(int32_t i) const { return orvane::LenientInt(words_[i].View()); }

}  // namespace orvane
