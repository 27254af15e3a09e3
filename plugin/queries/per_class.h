// PerClass: what a walk over many actors works out from an actor's class (its name, a blueprint
// path, a class test), worked out once per class. A level holds many actors of few classes, and
// these answers depend on the class alone. An instance lives for one request: nothing is kept
// from one request to the next.
// Thread: the game thread.
#pragma once

#include <unordered_map>

#include <sdk/game_types.h>

namespace orvane {

template <class T>
class PerClass {
 public:
  // The value for `cls` (null included), made by `make()` at the class's first use.
  template <class Make>
  const T& Get(UClass* cls, Make&& make) {
    if (last_ == nullptr || cls != last_class_) {
      auto found = values_.find(cls);
      if (found == values_.end()) found = values_.emplace(cls, make()).first;
      last_class_ = cls;
      last_ = &found->second;
    }
    return *last_;
  }

 private:
  std::unordered_map<UClass*, T> values_;  // nodes stay put, so last_ stays valid
  UClass* last_class_ = nullptr;
  const T* last_ = nullptr;
};

}  // namespace orvane
