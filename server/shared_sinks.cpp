#include "server/shared_sinks.h"

#include <cstdio>

#include "framework/host/log_sinks.h"

namespace server {
namespace {

constexpr const char* kLogPattern = "%D %R [%n][%l] %v";

}  // namespace

bool SharedSinks::SetUp(const ServerOptions& options) {
  framework::ClearLogSinks();
  auto err = std::make_shared<HeldSink>();
  err->set_pattern(kLogPattern);
  Add(err);
  if (!options.log_file) return true;
  try {
    auto file = std::make_shared<HeldSink>(*options.log_file);
    file->set_pattern(kLogPattern);
    Add(file);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvane-server: cannot open log file %s: %s\n", options.log_file->c_str(),
                 e.what());
    return false;
  }
  return true;
}

void SharedSinks::Hold(bool on) const {
  for (const auto& sink : sinks_) on ? sink->Hold() : sink->Release();
}

void SharedSinks::LockForFork() const {
  for (const auto& sink : sinks_) sink->LockForFork();
}

void SharedSinks::UnlockAfterFork() const {
  for (const auto& sink : sinks_) sink->UnlockAfterFork();
}

void SharedSinks::CaptureInChild(const HeldSink::Capture& capture) const {
  for (std::size_t i = 0; i < sinks_.size(); ++i)
    sinks_[i]->CaptureInChild(i == 0 ? capture : nullptr);
}

void SharedSinks::Add(std::shared_ptr<HeldSink> sink) {
  framework::AddLogSink(sink);
  sinks_.push_back(std::move(sink));
}

}  // namespace server
