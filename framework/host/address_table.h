// The framework's table of symbolic game members, filled by the game at start-up and read
// through GetAddress. Registration runs before plugins load; lookups run on the game thread.
#pragma once

#include <cstddef>
#include <string_view>

#include "sdk/address.h"

namespace framework {

void RegisterFunctionAddress(std::string_view name, void* function);
void RegisterFieldOffset(std::string_view name, std::ptrdiff_t offset);
// Forgets every registered name (a test or a server restart builds a new game).
void ClearAddressTable();
// Called after an image (a plugin) is loaded or unloaded: names at addresses of the old
// image may now be other names, so cached lookups start afresh.
void RefreshLoadedImages();
bool IsRegistered(std::string_view name);

// Typed registration: the implementation must have exactly the signature the SDK declares.
template <class R, class... Args>
void Register(sym::Function<R(Args...)> member, R (*implementation)(Args...)) {
  RegisterFunctionAddress(member.name, reinterpret_cast<void*>(implementation));
}
template <class Owner, class T>
void Register(sym::Field<Owner, T> member, std::ptrdiff_t offset) {
  RegisterFieldOffset(member.name, offset);
}

}  // namespace framework
