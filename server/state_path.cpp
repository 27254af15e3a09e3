#include "server/state_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

namespace server {
namespace {

namespace fs = std::filesystem;

// A descriptor closed when it goes.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = write(fd, text.data(), text.size());
    if (n < 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

fs::path StateFolder(const fs::path& root) { return root / "state"; }

std::optional<fs::path> RemoteStatePath(std::string_view file, const fs::path& folder) {
  std::error_code error;
  const fs::path base = fs::weakly_canonical(fs::absolute(folder, error), error);
  if (error || file.empty()) return std::nullopt;
  const fs::path named(file);
  const fs::path path = fs::weakly_canonical(named.is_absolute() ? named : base / named, error);
  if (error) return std::nullopt;
  // Inside: the folder's components are a proper prefix of the path's.
  const auto [in_base, in_path] = std::mismatch(base.begin(), base.end(), path.begin(), path.end());
  if (in_base != base.end() || in_path == path.end()) return std::nullopt;
  // A link that leads nowhere yet is left unresolved above; writing would follow it.
  if (fs::is_symlink(fs::symlink_status(path, error))) return std::nullopt;
  return path;
}

bool WriteBeneath(const fs::path& folder, const fs::path& file, std::string_view text) {
  std::error_code error;
  const fs::path base = fs::canonical(folder, error);
  if (error) return false;
  const fs::path relative = file.lexically_relative(base);
  if (relative.empty() || *relative.begin() == "..") return false;
  Fd dir(open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const fs::path name = relative.filename();
  for (const fs::path& part : relative.parent_path()) {
    if (!dir.ok() || part == "." || part == "..") return false;
    dir = Fd(openat(dir.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  }
  if (!dir.ok() || name.empty() || name == "." || name == "..") return false;
  static std::atomic<unsigned> serial{0};
  // Built by appending: GCC 12 at -O3 warns falsely about a literal joined to a temporary.
  std::string temporary = ".";
  temporary += name.string();
  temporary += ".tmp";
  temporary += std::to_string(getpid());
  temporary += '.';
  temporary += std::to_string(++serial);
  Fd out(openat(dir.get(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                0644));
  if (!out.ok()) return false;
  const bool written = WriteAll(out.get(), text);
  out = Fd(-1);
  if (!written || renameat(dir.get(), temporary.c_str(), dir.get(), name.c_str()) != 0) {
    unlinkat(dir.get(), temporary.c_str(), 0);
    return false;
  }
  return true;
}

}  // namespace server
