// orvane-server: hosts the Orvane plugin on a stand-in game world (see --help).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "server/accounts/hash_password_tool.h"
#include "server/options.h"
#include "server/server.h"

int main(int argc, char** argv) {
  const server::ParseResult parsed =
      server::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "orvane-server: %s (see --help)\n", parsed.error.c_str());
    return 2;
  }
  if (parsed.options.help) {
    std::fputs(server::UsageText().c_str(), stdout);
    return 0;
  }
  if (parsed.options.hash_password) return server::accounts::RunHashPassword();
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return server::RunServer(parsed.options, error ? "." : self.parent_path().string());
}
