// TribeRecord: one tribe's record (FTribeData) as the game fills it. The block is zeroed host
// memory of the size the game gives for the record's structure; the game puts host strings
// into it (the tribe's name and log), and the record destroys those before it frees the block,
// so no command that loads a tribe can leak them.
// Thread: the game thread.
#pragma once

#include <cstdint>

#include <sdk/game_types.h>

namespace orvane {

// The record's size ("UStruct.PropertiesSize" of "FTribeData.StaticStruct()", 0 when the game
// does not know the structure), read at the first Get and kept for the life of the process.
// Each command that loads tribes holds its own.
class TribeRecordSize {
 public:
  int32_t Get();

 private:
  bool known_ = false;
  int32_t size_ = 0;
};

class TribeRecord {
 public:
  // A zeroed block of `size` bytes from the game's allocator.
  explicit TribeRecord(int32_t size);
  ~TribeRecord();
  TribeRecord(const TribeRecord&) = delete;
  TribeRecord& operator=(const TribeRecord&) = delete;

  // Fills the record through the current game mode's "GetOrLoadTribeData"; false when the game
  // could not load the tribe.
  bool Load(int32_t tribe_id);

  // The game's record, for the "FTribeData" fields. REQUIRES: Load returned true.
  FTribeData* get() const { return data_; }

 private:
  FTribeData* data_;
  bool filled_ = false;
};

}  // namespace orvane
