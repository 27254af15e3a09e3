#include "server/build_info.h"

#include <elf.h>
#include <link.h>

#include <cstring>
#include <filesystem>

#include <fmt/format.h>

namespace server {
namespace {

struct Search {
  const char* path;  // empty: the executable itself
  std::string id;
};

// The NT_GNU_BUILD_ID note among the object's loaded segments, in hex.
std::string BuildIdOf(const dl_phdr_info& info) {
  for (int i = 0; i < info.dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info.dlpi_phdr[i];
    if (segment.p_type != PT_NOTE) continue;
    const auto* at = reinterpret_cast<const unsigned char*>(info.dlpi_addr + segment.p_vaddr);
    const unsigned char* end = at + segment.p_memsz;
    while (at + sizeof(ElfW(Nhdr)) <= end) {
      ElfW(Nhdr) note;
      std::memcpy(&note, at, sizeof note);
      const unsigned char* name = at + sizeof note;
      const unsigned char* desc = name + ((note.n_namesz + 3) & ~3u);
      if (desc + note.n_descsz > end) break;
      if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 &&
          std::memcmp(name, "GNU", 4) == 0) {
        std::string hex;
        for (unsigned j = 0; j < note.n_descsz; ++j) hex += fmt::format("{:02x}", desc[j]);
        return hex;
      }
      at = desc + ((note.n_descsz + 3) & ~3u);
    }
  }
  return {};
}

int Visit(dl_phdr_info* info, std::size_t, void* data) {
  auto& search = *static_cast<Search*>(data);
  const char* name = info->dlpi_name == nullptr ? "" : info->dlpi_name;
  const bool match = *search.path == '\0' ? *name == '\0' : std::strcmp(name, search.path) == 0;
  if (!match) return 0;
  search.id = BuildIdOf(*info);
  return 1;
}

std::string BuildIdFor(const char* path) {
  Search search{path, {}};
  dl_iterate_phdr(&Visit, &search);
  return search.id;
}

}  // namespace

std::string ServerBuildText() {
  return fmt::format("orvane-server {} (commit {}, {}, compiler {}, build-id {})", ORVANE_VERSION,
                     ORVANE_COMMIT, ORVANE_BUILD_TYPE, __VERSION__, BuildIdFor(""));
}

std::string LoadedLibraryBuildId(const std::string& path) {
  std::error_code ignored;
  const std::string absolute = std::filesystem::absolute(path, ignored).string();
  std::string id = BuildIdFor(path.c_str());
  return id.empty() ? BuildIdFor(absolute.c_str()) : id;
}

}  // namespace server
