#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>

#include "framework/host/command_registry.h"
#include "tests/support/test_host.h"

namespace {

int OpenFileCount() {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++n;
  return n;
}

TEST(PluginLifecycle, LoadRegistersAndLogsTheCount) {
  support::TestHost host;
  host.LoadPlugin();
  const auto names = framework::RconCommandNames();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), u"Orvane.info") << "the marker is registered first";
  const std::string counted = std::to_string(names.size() - 1);
  EXPECT_EQ(host.log().Count("Added an additional: " + counted + " commands!"), 1);
  EXPECT_EQ(host.log().Count("[Orvane][info]"), 1) << "logger name and pattern";
  EXPECT_TRUE(host.Dispatch(u"Orvane.info").empty());
  EXPECT_TRUE(host.Dispatch(u"orvane.INFO with words").empty()) << "names ignore ASCII case";
}

TEST(PluginLifecycle, DetachRemovesEveryNameOfThePlugin) {
  support::TestHost host;
  const auto before = framework::RconCommandNames();
  host.LoadPlugin();
  host.UnloadPlugin();
  EXPECT_EQ(framework::RconCommandNames(), before);
  EXPECT_TRUE(framework::TimerCallbackNames().empty());
  EXPECT_EQ(host.log().Count("Unloaded additional commands"), 1);
  EXPECT_EQ(host.log().Count("left"), 0) << "the plugin removed its names itself";
  const auto replies = host.Dispatch(u"Orvane.info");
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].text, u"Unknown command: Orvane.info");
}

TEST(PluginLifecycle, RepeatedLoadsLeakNoBlockAndNoHandle) {
  support::TestHost host;
  host.LoadPlugin();
  host.UnloadPlugin();
  const int64_t blocks = host.live_blocks();
  const int files = OpenFileCount();
  for (int i = 0; i < 100; ++i) {
    host.LoadPlugin();
    host.UnloadPlugin();
  }
  EXPECT_EQ(host.live_blocks(), blocks);
  EXPECT_EQ(OpenFileCount(), files);
  EXPECT_EQ(host.log().Count("Unloaded additional commands"), 101);
}

TEST(PluginLifecycle, PluginUnloadRemovesOnlyTheTimer) {
  support::TestHost host;
  host.LoadPlugin();
  // The sweep timer's name, whoever registered it, and a timer of the host's own.
  HostApi::GetCommands().AddOnTimerCallback(FString("TimedDestroyTribeStructures"), [] {});
  HostApi::GetCommands().AddOnTimerCallback(FString("HostTimer"), [] {});
  const auto commands = framework::RconCommandNames();

  void* handle = dlopen(support::PluginPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  auto unload = reinterpret_cast<void (*)()>(dlsym(handle, "Plugin_Unload"));
  ASSERT_NE(unload, nullptr);
  unload();
  dlclose(handle);  // drops only the reference taken here

  EXPECT_EQ(framework::TimerCallbackNames(), std::vector<std::u16string>{u"HostTimer"});
  EXPECT_EQ(framework::RconCommandNames(), commands);
  EXPECT_EQ(host.Dispatch(u"GetOnlineNum").size(), 0u) << "still the plugin's: no game, no reply";
  EXPECT_EQ(host.Dispatch(u"Orvane.info").size(), 0u);
  HostApi::GetCommands().RemoveOnTimerCallback(FString("HostTimer"));
}

}  // namespace
