#include "sdk/fstring.h"

#include <algorithm>

namespace {

char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

bool EqualRange(const char16_t* a, const char16_t* b, std::size_t n, ESearchCase::Type sc) {
  if (sc == ESearchCase::CaseSensitive) return std::equal(a, a + n, b);
  for (std::size_t i = 0; i < n; ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

int32_t Length(const char16_t* text) {
  int32_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

}  // namespace

FString::FString(const char* narrow) {
  int32_t n = 0;
  while (narrow[n] != 0) ++n;
  if (n == 0) return;
  data_.Reserve(n + 1);
  for (int32_t i = 0; i < n; ++i)
    data_.Add(static_cast<char16_t>(static_cast<unsigned char>(narrow[i])));
  data_.Add(0);
}

FString::FString(const char16_t* wide) { AssignRange(wide, Length(wide)); }

FString::FString(int32_t count, const char16_t* wide) { AssignRange(wide, count); }

FString::FString(std::u16string_view wide) {
  AssignRange(wide.data(), static_cast<int32_t>(wide.size()));
}

FString& FString::operator=(const char16_t* wide) {
  AssignRange(wide, Length(wide));
  return *this;
}

void FString::AssignRange(const char16_t* text, int32_t count) {
  data_.Reset();
  if (count > 0) AppendChars(text, count);
}

void FString::AppendChars(const char16_t* text, int32_t count) {
  if (count <= 0) return;
  if (data_.Num() > 0) data_.RemoveAt(data_.Num() - 1);  // the terminating zero
  data_.Reserve(data_.Num() + count + 1);
  for (int32_t i = 0; i < count; ++i) data_.Add(text[i]);
  data_.Add(0);
}

FString& FString::operator+=(const FString& other) {
  AppendChars(*other, other.Len());
  return *this;
}

FString& FString::operator+=(const char16_t* text) {
  AppendChars(text, Length(text));
  return *this;
}

FString operator+(const FString& a, const FString& b) {
  FString result = a;
  result += b;
  return result;
}

FString operator+(const FString& a, const char16_t* b) {
  FString result = a;
  result += b;
  return result;
}

int32_t FString::ParseIntoArray(TArray<FString>& out, const char16_t* delimiter,
                                bool cull_empty) const {
  out.Reset();
  const int32_t delim_len = Length(delimiter);
  const char16_t* text = **this;
  const int32_t len = Len();
  if (delim_len == 0) {
    if (len > 0 || !cull_empty) out.Emplace(len, text);
    return out.Num();
  }
  int32_t start = 0;
  for (int32_t i = 0; i + delim_len <= len;) {
    if (std::equal(delimiter, delimiter + delim_len, text + i)) {
      if (i > start || !cull_empty) out.Emplace(i - start, text + start);
      i += delim_len;
      start = i;
    } else {
      ++i;
    }
  }
  if (len > start || !cull_empty) out.Emplace(len - start, text + start);
  return out.Num();
}

bool FString::Equals(const FString& other, ESearchCase::Type search_case) const {
  return Len() == other.Len() && EqualRange(**this, *other, Len(), search_case);
}

bool FString::EndsWith(std::u16string_view suffix, ESearchCase::Type search_case) const {
  const auto n = suffix.size();
  if (n == 0 || n > static_cast<std::size_t>(Len())) return false;
  return EqualRange(**this + Len() - n, suffix.data(), n, search_case);
}

bool FString::StartsWith(std::u16string_view prefix, ESearchCase::Type search_case) const {
  const auto n = prefix.size();
  if (n == 0 || n > static_cast<std::size_t>(Len())) return false;
  return EqualRange(**this, prefix.data(), n, search_case);
}

int32_t FString::Find(std::u16string_view sub, ESearchCase::Type search_case,
                      ESearchDir::Type dir) const {
  const int32_t n = static_cast<int32_t>(sub.size());
  const int32_t len = Len();
  if (n > len) return -1;
  if (dir == ESearchDir::FromStart) {
    for (int32_t i = 0; i + n <= len; ++i)
      if (EqualRange(**this + i, sub.data(), n, search_case)) return i;
  } else {
    for (int32_t i = len - n; i >= 0; --i)
      if (EqualRange(**this + i, sub.data(), n, search_case)) return i;
  }
  return -1;
}

FString FString::Replace(std::u16string_view from, std::u16string_view to,
                         ESearchCase::Type search_case) const {
  FString result = *this;
  result.ReplaceInline(from, to, search_case);
  return result;
}

int32_t FString::ReplaceInline(std::u16string_view from, std::u16string_view to,
                               ESearchCase::Type search_case) {
  const int32_t n = static_cast<int32_t>(from.size());
  const int32_t len = Len();
  if (n == 0 || n > len) return 0;
  FString result;
  int32_t count = 0;
  int32_t copied = 0;
  for (int32_t i = 0; i + n <= len;) {
    if (EqualRange(**this + i, from.data(), n, search_case)) {
      result.AppendChars(**this + copied, i - copied);
      result.AppendChars(to.data(), static_cast<int32_t>(to.size()));
      i += n;
      copied = i;
      ++count;
    } else {
      ++i;
    }
  }
  if (count == 0) return 0;
  result.AppendChars(**this + copied, len - copied);
  *this = std::move(result);
  return count;
}

void FString::TrimQuotesInline() {
  int32_t begin = 0;
  int32_t end = Len();
  if (end > 0 && (*this)[0] == u'"') begin = 1;
  if (end >= 2 && (*this)[end - 1] == u'"') --end;
  if (begin == 0 && end == Len()) return;
  if (end < begin) end = begin;
  FString trimmed(end - begin, **this + begin);
  *this = std::move(trimmed);
}

FString FString::TrimQuotes() const {
  FString result = *this;
  result.TrimQuotesInline();
  return result;
}

bool FString::RemoveFromStart(std::u16string_view prefix, ESearchCase::Type search_case) {
  if (!StartsWith(prefix, search_case)) return false;
  const int32_t n = static_cast<int32_t>(prefix.size());
  FString rest(Len() - n, **this + n);
  *this = std::move(rest);
  return true;
}

FString FString::Left(int32_t count) const { return FString(std::clamp(count, 0, Len()), **this); }

FString FString::LeftChop(int32_t count) const { return Left(Len() - count); }

int32_t FGenericPlatformStricmp::Strnicmp(const char16_t* a, const char16_t* b, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const int32_t ca = FoldAscii(a[i]);
    const int32_t cb = FoldAscii(b[i]);
    if (ca != cb || ca == 0) return ca - cb;
  }
  return 0;
}

int32_t FGenericPlatformStricmp::Stricmp(const char16_t* a, const char16_t* b) {
  for (;; ++a, ++b) {
    const int32_t ca = FoldAscii(*a);
    const int32_t cb = FoldAscii(*b);
    if (ca != cb || ca == 0) return ca - cb;
  }
}
