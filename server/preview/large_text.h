// ReserveLarge: room for a text of tens of megabytes (a preview's report, its journal lines, its
// removed entities), backed by huge pages where the kernel can, so that writing it costs a few
// dozen page faults instead of thousands. Pages not written cost nothing, so the room may be
// generous. Any thread.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace server {

inline void ReserveLarge(std::string& text, std::size_t bytes) {
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  text.reserve(bytes);
  const auto start =
      (reinterpret_cast<std::uintptr_t>(text.data()) + kHugePage - 1) & ~(kHugePage - 1);
  const auto end =
      (reinterpret_cast<std::uintptr_t>(text.data()) + text.capacity()) & ~(kHugePage - 1);
  if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace server
