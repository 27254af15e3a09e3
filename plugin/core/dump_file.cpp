#include "core/dump_file.h"

#include <string>

#include <sdk/api.h>

#include "core/narrow.h"
#include "core/platform.h"

namespace orvane {

DumpFile::DumpFile(std::string_view name) {
  std::string path = HostApi::Tools::GetCurrentDir() + "/HostApi/Plugins/Orvane/";
  path += name;
  stream_.open(platform::NativePath(std::move(path)));
}

void DumpFile::Write(std::string_view bytes) {
  stream_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void DumpFile::Write(const FString& text) { Write(ToNarrowString(text)); }

void DumpFile::Close() { stream_.close(); }

}  // namespace orvane
