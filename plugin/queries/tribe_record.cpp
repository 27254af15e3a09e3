#include "queries/tribe_record.h"

#include <cstring>
#include <memory>

#include <sdk/api.h>
#include <sdk/host_memory.h>

#include "host/game_access.h"

namespace orvane {

using host::Call;
using host::Field;

int32_t TribeRecordSize::Get() {
  if (!known_) {
    UScriptStruct* structure = Call(sym::FTribeData::StaticStruct);
    size_ = structure != nullptr ? Field(structure, sym::UStruct::PropertiesSize) : 0;
    known_ = true;
  }
  return size_;
}

TribeRecord::TribeRecord(int32_t size) {
  const std::size_t bytes = size > 0 ? static_cast<std::size_t>(size) : 0;
  void* block = sdk::HostMalloc(bytes);
  if (block != nullptr && bytes > 0) std::memset(block, 0, bytes);
  data_ = static_cast<FTribeData*>(block);
}

TribeRecord::~TribeRecord() {
  if (filled_) {
    // The game filled these with host blocks of its own; they go before the record's block.
    std::destroy_at(&Field(data_, sym::FTribeData::TribeName));
    std::destroy_at(&Field(data_, sym::FTribeData::TribeLog));
  }
  sdk::HostFree(data_);
}

bool TribeRecord::Load(int32_t tribe_id) {
  // A record of size 0 (the game does not know the structure) may have no block to fill.
  if (data_ == nullptr) return false;
  AShooterGameMode* game_mode = HostApi::GetApiUtils().CurrentGameMode();
  filled_ = Call(sym::AShooterGameMode::GetOrLoadTribeData, game_mode, tribe_id, *data_);
  return filled_;
}

}  // namespace orvane
