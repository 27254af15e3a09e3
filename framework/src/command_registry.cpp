#include "framework/host/command_registry.h"

#include <algorithm>
#include <exception>

#include "framework/host/log_sinks.h"
#include "sdk/game_members.h"

namespace framework {
namespace {

std::u16string Fold(std::u16string_view name) {
  std::u16string folded(name);
  for (auto& c : folded)
    if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
  return folded;
}

std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

template <class Callback>
struct Entry {
  std::u16string name;
  std::u16string key;
  std::string owner;
  Callback callback;
};

struct Registry final : HostApi::ICommands {
  std::vector<Entry<HostApi::RconCallback>> commands;
  std::vector<Entry<HostApi::TimerCallback>> timers;
  std::string owner = "host";

  void AddRconCommand(const FString& name, const HostApi::RconCallback& callback) override {
    Add(commands, name, callback, "command");
  }
  void AddOnTimerCallback(const FString& name, const HostApi::TimerCallback& callback) override {
    Add(timers, name, callback, "timer callback");
  }
  bool RemoveRconCommand(const FString& name) override { return Remove(commands, name.View()); }
  bool RemoveOnTimerCallback(const FString& name) override { return Remove(timers, name.View()); }

  template <class Callback>
  void Add(std::vector<Entry<Callback>>& list, const FString& name, const Callback& callback,
           const char* kind) {
    std::u16string key = Fold(name.View());
    if (key.empty() || Find(list, key) != list.end()) {
      FrameworkLog().warn("Refused {} \"{}\": empty or already registered", kind,
                          Narrow(name.View()));
      return;
    }
    list.push_back({std::u16string(name.View()), std::move(key), owner, callback});
  }

  template <class Callback>
  static auto Find(std::vector<Entry<Callback>>& list, std::u16string_view key) {
    return std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.key == key; });
  }

  template <class Callback>
  static bool Remove(std::vector<Entry<Callback>>& list, std::u16string_view name) {
    auto it = Find(list, Fold(name));
    if (it == list.end()) return false;
    list.erase(it);
    return true;
  }
};

Registry& GetRegistry() {
  static Registry registry;
  return registry;
}

void Reply(RCONClientConnection* connection, const RCONPacket& request, FString text) {
  if (auto send = sym::Resolve(sym::RCONClientConnection::SendMessage))
    send(connection, request.Id, request.Type, text);
}

template <class Fn>
void RunGuarded(std::u16string_view name, Fn&& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    FrameworkLog().error("\"{}\" threw: {}", Narrow(name), e.what());
  } catch (...) {
    FrameworkLog().error("\"{}\" threw an unknown exception", Narrow(name));
  }
}

}  // namespace

DispatchOutcome Dispatch(RCONClientConnection* connection, RCONPacket* request, UWorld* world) {
  std::u16string_view body = request->Body.View();
  const auto start = body.find_first_not_of(u' ');
  if (start == std::u16string_view::npos) {
    Reply(connection, *request, FString());
    return DispatchOutcome::kEmptyBody;
  }
  const auto end = body.find(u' ', start);
  const std::u16string_view word = body.substr(start, end == body.npos ? body.npos : end - start);
  Registry& registry = GetRegistry();
  auto it = Registry::Find(registry.commands, Fold(word));
  if (it == registry.commands.end()) {
    Reply(connection, *request, FString(u"Unknown command: ") + FString(word));
    return DispatchOutcome::kUnknownCommand;
  }
  // A copy: the handler may remove its own entry (unloading the plugin, say).
  HostApi::RconCallback callback = it->callback;
  RunGuarded(word, [&] { callback(connection, request, world); });
  return DispatchOutcome::kHandled;
}

void TickTimers() {
  auto timers = GetRegistry().timers;  // callbacks may add or remove timers
  for (const auto& timer : timers) {
    if (!HasTimerCallback(timer.name)) continue;
    RunGuarded(timer.name, timer.callback);
  }
}

bool HasRconCommand(std::u16string_view name) {
  auto& list = GetRegistry().commands;
  return Registry::Find(list, Fold(name)) != list.end();
}

bool HasTimerCallback(std::u16string_view name) {
  auto& list = GetRegistry().timers;
  return Registry::Find(list, Fold(name)) != list.end();
}

std::vector<std::u16string> RconCommandNames() {
  std::vector<std::u16string> names;
  for (const auto& e : GetRegistry().commands) names.push_back(e.name);
  return names;
}

std::vector<std::u16string> TimerCallbackNames() {
  std::vector<std::u16string> names;
  for (const auto& e : GetRegistry().timers) names.push_back(e.name);
  return names;
}

OwnerScope::OwnerScope(std::string owner)
    : previous_(std::exchange(GetRegistry().owner, std::move(owner))) {}

OwnerScope::~OwnerScope() { GetRegistry().owner = std::move(previous_); }

int RemoveEntriesOf(const std::string& owner) {
  Registry& registry = GetRegistry();
  auto owned = [&](const auto& e) { return e.owner == owner; };
  const auto removed =
      std::erase_if(registry.commands, owned) + std::erase_if(registry.timers, owned);
  return static_cast<int>(removed);
}

}  // namespace framework

namespace HostApi {
ICommands& GetCommands() { return framework::GetRegistry(); }
}  // namespace HostApi
