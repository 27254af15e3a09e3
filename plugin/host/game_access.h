// GameAccess: the plugin's only way into the game. Every field and function is named by its
// symbolic name (sdk/game_members.h) and resolved through the framework at each use; nothing
// is cached. Thread: the game thread.
#pragma once

#include <type_traits>
#include <utility>

#include <sdk/address.h>

namespace orvane::host {

// The field `member` of `object`. REQUIRES: object is not null.
template <class Owner, class T, class Object>
requires std::is_base_of_v<Owner, Object> || std::is_same_v<Owner, Object> T& Field(
    Object* object, sym::Field<Owner, T> member) {
  return *static_cast<T*>(GetAddress(static_cast<const Owner*>(object), member.name));
}

// Calls the game function `member` with `args` (the object first for a member function).
template <class R, class... Params, class... Args>
R Call(sym::Function<R(Params...)> member, Args&&... args) {
  return sym::Resolve(member)(std::forward<Args>(args)...);
}

}  // namespace orvane::host
