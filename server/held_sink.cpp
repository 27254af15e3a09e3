#include "server/held_sink.h"

namespace server {

HeldSink::HeldSink(const std::string& path) : to_file_(true) { file_.open(path, false); }

void HeldSink::Hold() {
  std::lock_guard lock(mutex_);
  held_ = true;
}

void HeldSink::Release() {
  std::lock_guard lock(mutex_);
  held_ = false;
  Write();
  Flush();
}

void HeldSink::CaptureInChild(Capture capture) {
  std::lock_guard lock(mutex_);
  capturing_ = true;
  capture_ = std::move(capture);
  kept_.clear();
}

void HeldSink::sink_it_(const spdlog::details::log_msg& msg) {
  if (capturing_) {
    if (capture_) capture_(msg.level, std::string_view(msg.payload.data(), msg.payload.size()));
    return;
  }
  formatter_->format(msg, kept_);
  if (held_) return;
  Write();
  if (!to_file_) Flush();  // standard error: every line at once, as a console sink does
}

void HeldSink::flush_() {
  if (!held_) Flush();
}

void HeldSink::Write() {
  if (kept_.size() == 0) return;
  if (to_file_)
    file_.write(kept_);
  else
    std::fwrite(kept_.data(), 1, kept_.size(), stderr);
  kept_.clear();
}

void HeldSink::Flush() {
  if (capturing_) return;
  if (to_file_)
    file_.flush();
  else
    std::fflush(stderr);
}

}  // namespace server
