#include "game/world/world_json.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "game/world/world_description.h"

namespace game {
namespace {

using Json = nlohmann::json;

[[noreturn]] void FailFile(const std::string& reason) { throw WorldFileError(reason); }

const char* FileKind(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a plain file";
}

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

// The library's message less its "[json.exception.<kind>.<code>] " prefix, and cut short: it
// may quote a whole 400-digit number.
std::string PlainMessage(const Json::exception& e);

// Builds the value as the library's own parser does, and follows the parse to know the place it
// is at: the key or index of every open object and array. Refuses a key that its object already
// has, and turns the library's errors into WorldFileErrors at their place. (The library's
// callback parser would do the tracking too, but it rescans an array at the end of each of its
// objects, which is quadratic in a world of a million actors.) The elements of the top-level
// lists that `lists` takes are built one at a time apart from the value and handed over.
class TrackingParser {
 public:
  using Dom = nlohmann::detail::json_sax_dom_parser<Json>;

  TrackingParser(Json& result, WorldJsonLists* lists)
      : dom_(result), lists_(lists), element_dom_(element_) {}

  bool null() { return Value(Target().null()); }
  bool boolean(bool b) { return Value(Target().boolean(b)); }
  bool number_integer(Json::number_integer_t n) { return Value(Target().number_integer(n)); }
  bool number_unsigned(Json::number_unsigned_t n) { return Value(Target().number_unsigned(n)); }
  bool number_float(Json::number_float_t n, const Json::string_t& text) {
    return Value(Target().number_float(n, text));
  }
  bool string(Json::string_t& s) { return Value(Target().string(s)); }
  bool binary(Json::binary_t& b) { return Value(Target().binary(b)); }
  bool start_object(std::size_t n) {
    Dom& target = Target();
    Open(true);
    return target.start_object(n);
  }
  bool start_array(std::size_t n) {
    Dom& target = Target();
    Open(false);
    return target.start_array(n);
  }
  bool key(Json::string_t& key) {
    Frame& frame = frames_[depth_ - 1];
    const bool duplicate = std::find(frame.keys.begin(), frame.keys.end(), key) != frame.keys.end();
    frame.keys.push_back(key);
    if (duplicate) throw WorldFileError(Place(), "duplicate key");
    return Target().key(key);
  }
  bool end_object() { return End(ClosingTarget().end_object()); }
  bool end_array() { return End(ClosingTarget().end_array()); }
  template <class Exception>
  bool parse_error(std::size_t /*position*/, const std::string& /*token*/, const Exception& e) {
    const std::string place = Place();
    if (place.empty()) throw WorldFileError(PlainMessage(e));
    throw WorldFileError(place, PlainMessage(e));
  }

  // "players[2].team"; empty at the top.
  std::string Place() const {
    std::string place;
    for (std::size_t d = 0; d < depth_; ++d) {
      const Frame& frame = frames_[d];
      if (!frame.object) {
        place = ListPlace(place, frame.index);
      } else if (!frame.keys.empty()) {
        place += (place.empty() ? "" : ".") + frame.keys.back();
      }
    }
    return place;
  }

 private:
  struct Frame {
    bool object = false;
    bool taken = false;             // a top-level list whose elements go to lists_
    std::vector<std::string> keys;  // in file order; the last is the one being read
    std::size_t index = 0;          // arrays: the element being read
  };

  // Whether the parse is inside an element of a taken list.
  bool InElement() const { return depth_ >= 2 && frames_[1].taken; }
  Dom& Target() { return InElement() ? element_dom_ : dom_; }
  // For the end of the innermost open object or array.
  Dom& ClosingTarget() { return depth_ >= 3 && frames_[1].taken ? element_dom_ : dom_; }

  void Open(bool object) {
    if (depth_ == frames_.size()) frames_.emplace_back();
    Frame& frame = frames_[depth_++];
    frame.object = object;
    frame.keys.clear();
    frame.index = 0;
    frame.taken = depth_ == 2 && !object && frames_[0].object && lists_ != nullptr &&
                  lists_->Takes(frames_[0].keys.back());
  }
  bool Value(bool result) {
    if (depth_ > 0 && !frames_[depth_ - 1].object) {
      if (depth_ == 2 && frames_[1].taken)
        lists_->Element(frames_[0].keys.back(), frames_[1].index, element_);
      ++frames_[depth_ - 1].index;
    }
    return result;
  }
  bool End(bool result) {
    --depth_;
    return Value(result);
  }

  Dom dom_;
  WorldJsonLists* lists_;
  Json element_;  // the element of a taken list being parsed
  Dom element_dom_;
  // The open objects and arrays are the first depth_ frames; those beyond are kept for their
  // storage, so that a million objects do not allocate a million lists of keys.
  std::vector<Frame> frames_;
  std::size_t depth_ = 0;
};

std::string PlainMessage(const Json::exception& e) {
  std::string_view text = e.what();
  if (text.starts_with("[json.exception.")) {
    const std::size_t end = text.find("] ");
    if (end != std::string_view::npos) text.remove_prefix(end + 2);
  }
  std::size_t cut = 160;
  if (text.size() <= cut) return std::string(text);
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // UTF-8
  return std::string(text.substr(0, cut)) + "...";
}

}  // namespace

std::string ReadWorldFileText(const std::string& path, std::uintmax_t max_bytes) {
  Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  if (file.fd < 0) FailFile(std::string("cannot open: ") + std::strerror(errno));
  struct stat info {};
  if (fstat(file.fd, &info) != 0) FailFile(std::string("cannot read: ") + std::strerror(errno));
  if (!S_ISREG(info.st_mode))
    FailFile(std::string("not a regular file but ") + FileKind(info.st_mode));
  if (static_cast<std::uintmax_t>(info.st_size) > max_bytes) {
    FailFile("too large: " + std::to_string(info.st_size) + " bytes, the limit is " +
             std::to_string(max_bytes) + " (--world-max-bytes)");
  }
  std::string text(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = read(file.fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) FailFile(std::string("cannot read: ") + std::strerror(errno));
    if (n == 0) break;  // shrank while being read
    done += static_cast<std::size_t>(n);
  }
  text.resize(done);
  return text;
}

Json ParseWorldJson(std::string_view text, WorldJsonLists* lists) {
  Json result;
  TrackingParser parser(result, lists);
  Json::sax_parse(text, &parser, nlohmann::json::input_format_t::json, /*strict=*/true,
                  /*ignore_comments=*/true);
  return result;
}

bool IsWorldNumber(const Json& j) {
  if (j.is_number()) return true;
  if (!j.is_string()) return false;
  const auto& text = j.get_ref<const std::string&>();
  return text == "nan" || text == "inf" || text == "-inf";
}

double WorldNumber(const Json& j) {
  if (j.is_number()) return j.get<double>();
  const auto& text = j.get_ref<const std::string&>();
  if (text == "nan") return std::numeric_limits<double>::quiet_NaN();
  return text == "inf" ? std::numeric_limits<double>::infinity()
                       : -std::numeric_limits<double>::infinity();
}

const char* NonFiniteWorldNumber(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return nullptr;
}

}  // namespace game
