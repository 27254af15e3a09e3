// SharedSinks: the server's shared log sinks (standard error, and the log file when one is
// given), put in the framework's list so that every logger writes to them. The game thread
// holds them over a turn of RCON requests, so that the turn's lines cost one write, and
// releases them before the turn's replies leave (see HeldSink). Set up and held by the game
// thread; the sinks themselves are thread-safe.
#pragma once

#include <memory>
#include <vector>

#include "server/held_sink.h"
#include "server/options.h"

namespace server {

class SharedSinks {
 public:
  // Replaces the framework's sinks. False (after saying why on standard error) when the log
  // file cannot be opened.
  bool SetUp(const ServerOptions& options);
  // On: lines are kept; off: the kept lines are written and flushed.
  void Hold(bool on) const;
  // Around a preview's fork (see HeldSink); in the copy, the first sink captures and the rest
  // are silent.
  void LockForFork() const;
  void UnlockAfterFork() const;
  void CaptureInChild(const HeldSink::Capture& capture) const;

 private:
  void Add(std::shared_ptr<HeldSink> sink);

  std::vector<std::shared_ptr<HeldSink>> sinks_;
};

}  // namespace server
