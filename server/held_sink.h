// HeldSink: a shared log sink that writes each line as it comes, or, while held, keeps the
// lines and writes them together when released. The game thread holds the sinks over a turn
// of RCON requests, so that the turn's lines cost one write instead of one each, and releases
// them before the turn's replies are handed to the network: when a client has its reply, its
// request's lines are in the file (a kill right after loses none). Every line keeps its text
// and its place.
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include <spdlog/details/file_helper.h>
#include <spdlog/sinks/base_sink.h>

namespace server {

class HeldSink final : public spdlog::sinks::base_sink<std::mutex> {
 public:
  // Standard error.
  HeldSink() = default;
  // A file, appended to; throws spdlog::spdlog_ex when it cannot be opened.
  explicit HeldSink(const std::string& path);

  // Any thread.
  void Hold();
  void Release();

  // Around a fork of the game thread: the lock is taken before, so that the child never finds
  // it held by a thread it does not have, and released on both sides after.
  void LockForFork() { mutex_.lock(); }
  void UnlockAfterFork() { mutex_.unlock(); }
  // In a forked child only: each line goes to `capture` (none: nowhere), never to the stream;
  // lines kept or buffered for the stream are never written from the child.
  using Capture = std::function<void(spdlog::level::level_enum, std::string_view text)>;
  void CaptureInChild(Capture capture);

 private:
  void sink_it_(const spdlog::details::log_msg& msg) override;
  void flush_() override;
  // The kept lines to the stream (buffered for a file), then the stream's buffer out.
  void Write();
  void Flush();

  bool to_file_ = false;
  spdlog::details::file_helper file_;
  bool held_ = false;
  spdlog::memory_buf_t kept_;
  bool capturing_ = false;
  Capture capture_;
};

}  // namespace server
