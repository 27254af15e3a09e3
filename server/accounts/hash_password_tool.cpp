#include "server/accounts/hash_password_tool.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include <sodium.h>

#include "server/accounts/password_hash.h"

namespace server::accounts {
namespace {

// Turns the terminal's echo off while it lives, when standard input is a terminal.
class NoEcho {
 public:
  NoEcho() {
    if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    if (active_) std::fputs("Password: ", stderr);
  }
  ~NoEcho() {
    if (!active_) return;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    std::fputs("\n", stderr);
  }
  NoEcho(const NoEcho&) = delete;
  NoEcho& operator=(const NoEcho&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace

int RunHashPassword() {
  std::string password;
  bool read = false;
  {
    NoEcho no_echo;
    read = static_cast<bool>(std::getline(std::cin, password));
  }
  if (!password.empty() && password.back() == '\r') password.pop_back();
  if (!read || password.empty()) {
    std::fputs("orvane-server: --hash-password needs a password, one line on standard input\n",
               stderr);
    return 1;
  }
  int code = 0;
  try {
    const std::string hash = HashPassword(password);
    std::printf("%s\n", hash.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvane-server: %s\n", e.what());
    code = 1;
  }
  sodium_memzero(password.data(), password.size());
  return code;
}

}  // namespace server::accounts
