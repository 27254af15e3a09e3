// The server's line beside each timed structure sweep: the real plugin schedules and runs the
// sweeps, and the notes must name the tribe, the request and what each sweep destroyed, in
// step with the plugin's own schedule.
#include "server/timed_sweep_notes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include <nlohmann/json.hpp>

#include "framework/host/clock_control.h"
#include "framework/host/command_registry.h"
#include "framework/host/log_sinks.h"
#include "game/util/text.h"
#include "sdk/api.h"
#include "sdk/clock.h"
#include "tests/support/command_test.h"

namespace {

class TimedSweepNotesTest : public support::CommandTest {
 protected:
  TimedSweepNotesTest()
      : CommandTest(nlohmann::json{{"structures",
                                    {{{"class", "StoneWall_C"}, {"team", 1000001}},
                                     {{"class", "StoneWall_C"}, {"team", 1000002}},
                                     {{"class", "StoneWall_C"}, {"team", 7}}}}}
                        .dump()) {
    framework::AddLogSink(server::TimedSweepNotes::Watcher(notes_));
    world().host().UnloadPlugin();  // the plugin's logger takes the sinks when it is loaded
    world().host().LoadPlugin();
  }

  void Request(const std::string& line) {
    notes_->AfterRequest(line, world().Dispatch(game::ToUtf16(line)),
                         HostApi::GetClock().CalendarSeconds());
  }
  // Moves the clock on, runs the timers, and gives the notes' lines so far.
  int AdvanceAndTick(int seconds) {
    EXPECT_TRUE(framework::AdvanceClock(std::chrono::seconds(seconds)));
    framework::TickTimers();
    notes_->AfterTimers(framework::FrameworkLog());
    return world().host().log().Count("Timed structure sweep of tribe");
  }
  int Lines(const std::string& text) { return world().host().log().Count(text); }

  std::shared_ptr<server::TimedSweepNotes> notes_ = std::make_shared<server::TimedSweepNotes>();
};

TEST_F(TimedSweepNotesTest, EachSweepNamesItsTribeRequestAndCount) {
  Request("DestroyTribeStructures +1000002");  // the tribe word as the plugin reads it
  Request("DestroyTribeAll 7");                // refused: "Wrong tribe id", nothing scheduled
  // A structure that joins the tribe meanwhile is what the first sweep takes.
  ULevel* level =
      support::FieldOf(HostApi::GetApiUtils().CurrentWorld(), sym::UWorld::PersistentLevel);
  support::FieldOf(support::FieldOf(level, sym::ULevel::Actors)[1],
                   sym::UPrimalActor::TargetingTeam) = 1000002;
  EXPECT_EQ(AdvanceAndTick(10), 0);
  EXPECT_EQ(AdvanceAndTick(6), 1);
  EXPECT_EQ(Lines("Timed structure sweep of tribe 1000002 (scheduled by \"DestroyTribeStructures "
                  "+1000002\" at "),
            1);
  EXPECT_EQ(Lines("UTC): 1 structure(s) destroyed"), 1);
  EXPECT_EQ(AdvanceAndTick(5), 2);
  EXPECT_EQ(Lines("UTC): 0 structure(s) destroyed"), 1);
  EXPECT_EQ(AdvanceAndTick(60), 2);
  EXPECT_EQ(Lines("tribe 7"), 0);
}

TEST_F(TimedSweepNotesTest, AnUnloadedPluginsScheduleIsForgotten) {
  Request("DestroyTribeStructures 1000002");
  world().host().UnloadPlugin();
  notes_->Forget();
  world().host().LoadPlugin();
  Request("destroytribeall 1000001");
  EXPECT_EQ(AdvanceAndTick(60), 2);
  EXPECT_EQ(Lines("of tribe 1000001 (scheduled by \"destroytribeall 1000001\""), 2);
}

}  // namespace
