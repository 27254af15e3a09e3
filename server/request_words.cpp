#include "server/request_words.h"

#include <algorithm>

namespace server {

FirstWord SplitFirstWord(std::string_view line) {
  const std::size_t start = line.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  const std::size_t end = std::min(line.find(' ', start), line.size());
  const std::size_t rest = std::min(line.find_first_not_of(' ', end), line.size());
  return {line.substr(start, end - start), line.substr(rest)};
}

}  // namespace server
