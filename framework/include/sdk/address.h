// Symbolic access to the game: a member is named by text ("UPrimalActor.TargetingTeam",
// "UStruct.IsChildOf(UStruct*)") and the framework turns the name into an address at each use.
// A field resolves to object address plus offset; a function to a plain function whose first
// parameter is the object (none for a static function). An unknown name gives null and is
// logged at error level.
#pragma once

#include <string_view>

// Address of the game function named `name`, or null.
void* GetAddress(std::string_view name);
// Address of the field `name` inside the object at `base`, or null.
void* GetAddress(const void* base, std::string_view name);

namespace sym {

// A field of objects of type Owner (or derived) holding a T.
template <class Owner, class T>
struct Field {
  using Type = T;
  std::string_view name;
};

// A game function with the exact C++ signature behind its symbolic name.
template <class Signature>
struct Function;
template <class R, class... Args>
struct Function<R(Args...)> {
  using Pointer = R (*)(Args...);
  std::string_view name;
};

// The address of a game function as a typed pointer, or null.
template <class R, class... Args>
R (*Resolve(Function<R(Args...)> member))
(Args...) {
  return reinterpret_cast<R (*)(Args...)>(GetAddress(member.name));
}

}  // namespace sym
