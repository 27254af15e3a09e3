// SplitFirstWord: a request line's first word as dispatch finds it (after leading spaces, up to
// the next space) and the text after it, its leading spaces cut and its own spacing kept. The
// server's commands that take the rest of a line (emu.preview, emu.diff) and the account check
// read lines through it. Thread: any.
#pragma once

#include <string_view>

namespace server {

struct FirstWord {
  std::string_view word;  // empty when the line holds only spaces
  std::string_view rest;
};

FirstWord SplitFirstWord(std::string_view line);

}  // namespace server
