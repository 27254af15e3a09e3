#include "game/world/world_json.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_set>
#include <vector>

#include "game/util/text.h"
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
// is at: the key or index of every open object and array. Checks each key against the shape
// expected there and refuses a key that its object already has, and turns the library's errors
// into WorldFileErrors at their place. (The library's callback parser would do the tracking too,
// but it rescans an array at the end of each of its objects, which is quadratic in a world of a
// million actors.) The elements of the top-level lists are built one at a time apart from the
// value and handed to `lists`.
class TrackingParser {
 public:
  using Dom = nlohmann::detail::json_sax_dom_parser<Json>;

  TrackingParser(Json& result, const JsonShape& top, WorldJsonLists& lists)
      : dom_(result), top_(top), lists_(lists), element_dom_(element_) {}

  bool null() {
    return Value([](Dom& d) { return d.null(); });
  }
  bool boolean(bool b) {
    return Value([&](Dom& d) { return d.boolean(b); });
  }
  bool number_integer(Json::number_integer_t n) {
    return Value([&](Dom& d) { return d.number_integer(n); });
  }
  bool number_unsigned(Json::number_unsigned_t n) {
    return Value([&](Dom& d) { return d.number_unsigned(n); });
  }
  bool number_float(Json::number_float_t n, const Json::string_t& text) {
    return Value([&](Dom& d) { return d.number_float(n, text); });
  }
  bool string(Json::string_t& s) {
    return Value([&](Dom& d) { return d.string(s); });
  }
  bool binary(Json::binary_t& b) {
    return Value([&](Dom& d) { return d.binary(b); });
  }
  bool start_object(std::size_t) { return Open(JsonShape::Kind::kObject); }
  bool start_array(std::size_t) { return Open(JsonShape::Kind::kList); }
  bool key(Json::string_t& key) {
    Frame& frame = frames_[depth_ - 1];
    frame.key = key;
    frame.has_key = true;
    if (frame.inside == nullptr) {  // contents not built: any key, but each once
      if (!frame.unbuilt_keys.insert(key).second) throw WorldFileError(Place(), "duplicate key");
      return true;
    }
    const auto& keys = frame.shape->keys;
    std::size_t i = 0;
    while (i < keys.size() && keys[i].name != key) ++i;
    if (i == keys.size())
      throw WorldFileError(Place(), "unknown key; allowed here: " + Listed(keys));
    if (frame.seen[i]) throw WorldFileError(Place(), "duplicate key");
    frame.seen[i] = true;
    frame.key_index = i;
    return frame.inside->key(key);
  }
  bool end_object() {
    return Close([](Dom& d) { return d.end_object(); });
  }
  bool end_array() {
    return Close([](Dom& d) { return d.end_array(); });
  }
  template <class Exception>
  bool parse_error(std::size_t /*position*/, const std::string& /*token*/, const Exception& e) {
    const std::string place = Place();
    if (place.empty()) throw WorldFileError(PlainMessage(e));
    throw WorldFileError(place, PlainMessage(e));
  }

 private:
  struct Frame {
    JsonShape::Kind kind = JsonShape::Kind::kValue;
    const JsonShape* shape = nullptr;  // what it was expected to be, when it is that
    Dom* inside = nullptr;             // takes its contents; null: they are not built
    Dom* closes = nullptr;             // takes its end; null: closed already, or not built
    bool listed = false;               // a top-level list whose elements go to lists_
    // Objects.
    std::string key;  // the one being read
    bool has_key = false;
    std::size_t key_index = 0;                     // in shape->keys
    std::vector<bool> seen;                        // the keys of shape->keys read
    std::unordered_set<std::string> unbuilt_keys;  // the keys read, when not built
    // Arrays.
    std::size_t index = 0;  // the element being read
  };

  static std::string Listed(const std::vector<JsonShape::Key>& keys) {
    std::string text;
    for (const auto& k : keys) text += (text.empty() ? "" : ", ") + std::string(k.name);
    return text;
  }

  // Where the next value goes, and what it is expected to be.
  Dom* Into() { return depth_ == 0 ? &dom_ : frames_[depth_ - 1].inside; }
  const JsonShape* Expected() const {
    if (depth_ == 0) return &top_;
    const Frame& parent = frames_[depth_ - 1];
    if (parent.inside == nullptr) return nullptr;
    return parent.kind == JsonShape::Kind::kObject ? parent.shape->keys[parent.key_index].value
                                                   : parent.shape->element;
  }

  template <class Event>
  bool Value(Event event) {
    if (Dom* into = Into(); into != nullptr && !event(*into)) return false;
    Done();
    return true;
  }

  bool Open(JsonShape::Kind kind) {
    if (depth_ == kMaxWorldJsonDepth) {
      throw WorldFileError(Place(), "nested deeper than " + std::to_string(kMaxWorldJsonDepth) +
                                        " objects and lists");
    }
    Dom* into = Into();
    const JsonShape* expected = Expected();
    const bool built = into != nullptr && expected != nullptr && expected->kind == kind;
    const auto start = [&](Dom& d) {
      return kind == JsonShape::Kind::kObject ? d.start_object(static_cast<std::size_t>(-1))
                                              : d.start_array(static_cast<std::size_t>(-1));
    };
    const auto end = [&](Dom& d) {
      return kind == JsonShape::Kind::kObject ? d.end_object() : d.end_array();
    };
    if (depth_ == frames_.size()) frames_.emplace_back();
    Frame& frame = frames_[depth_];
    frame.kind = kind;
    frame.shape = built ? expected : nullptr;
    frame.listed = built && depth_ == 1 && kind == JsonShape::Kind::kList;
    frame.inside = built ? into : nullptr;
    frame.closes = built ? into : nullptr;
    frame.has_key = false;
    frame.index = 0;
    if (kind == JsonShape::Kind::kObject) {
      frame.seen.assign(built ? expected->keys.size() : 0, false);
      // Not clear(), which costs the buckets of the largest object the frame has held.
      if (!frame.unbuilt_keys.empty()) frame.unbuilt_keys = {};
    }
    if (into != nullptr && (!built || frame.listed)) {
      // Kept empty in the value: the reader refuses it by its type, or a list's elements are
      // handed over one by one.
      if (!start(*into) || !end(*into)) return false;
      frame.closes = nullptr;
      if (frame.listed) frame.inside = &element_dom_;
    }
    ++depth_;
    return built && !frame.listed ? start(*into) : true;
  }

  template <class Event>
  bool Close(Event event) {
    Dom* closes = frames_[depth_ - 1].closes;
    --depth_;
    if (closes != nullptr && !event(*closes)) return false;
    Done();
    return true;
  }

  // After a value: the next element of its list.
  void Done() {
    if (depth_ == 0) return;
    Frame& parent = frames_[depth_ - 1];
    if (parent.kind != JsonShape::Kind::kList) return;
    if (parent.listed && parent.inside != nullptr &&
        !lists_.Element(frames_[0].key_index, parent.index, element_))
      parent.inside = nullptr;
    ++parent.index;
  }

  // "players[2].team"; empty at the top.
  std::string Place() const {
    std::string place;
    for (std::size_t d = 0; d < depth_; ++d) {
      const Frame& frame = frames_[d];
      if (frame.kind == JsonShape::Kind::kList) {
        place = ListPlace(place, frame.index);
      } else if (frame.has_key) {
        place += (place.empty() ? "" : ".") + frame.key;
      }
    }
    return place;
  }

  Dom dom_;
  const JsonShape& top_;
  WorldJsonLists& lists_;
  Json element_;  // the element of a top-level list being parsed
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

Json ParseWorldJson(std::string_view text, const JsonShape& top, WorldJsonLists& lists) {
  Json result;
  TrackingParser parser(result, top, lists);
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

void AppendWorldNumber(std::string& out, double value) {
  if (const char* name = NonFiniteWorldNumber(value)) {
    out += '"';
    out += name;
    out += '"';
    return;
  }
  // A whole number below 1e15 (positions on a grid, counts) comes out of the library's shortest
  // digits as the integer itself and ".0"; writing that directly skips its slower digit search.
  if (std::trunc(value) == value && std::fabs(value) < 1e15) {
    if (std::signbit(value)) out += '-';
    AppendInteger(out, static_cast<uint64_t>(std::fabs(value)));
    out += ".0";
    return;
  }
  char buffer[64];
  const char* end = nlohmann::detail::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, static_cast<std::size_t>(end - buffer));
}

}  // namespace game
