#include "server/rcon/packet.h"

#include <cstring>

namespace server::rcon {
namespace {

void PutInt(std::string& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xff));
}

int32_t GetInt(const char* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return static_cast<int32_t>(v);
}

}  // namespace

std::string Encode(int32_t id, int32_t type, std::string_view body) {
  std::string out;
  out.reserve(14 + body.size());
  PutInt(out, static_cast<int32_t>(body.size() + kMinPacketSize));
  PutInt(out, id);
  PutInt(out, type);
  out.append(body);
  out.append(2, '\0');
  return out;
}

std::string EncodeReply(int32_t id, int32_t type, std::string_view body) {
  if (body.empty()) return Encode(id, type, body);
  std::string out;
  out.reserve(EncodedReplySize(body.size()));
  for (std::size_t at = 0; at < body.size(); at += kMaxReplyBody)
    out += Encode(id, type, body.substr(at, kMaxReplyBody));
  return out;
}

std::size_t EncodedReplySize(std::size_t body_size) {
  const std::size_t packets = body_size == 0 ? 1 : (body_size + kMaxReplyBody - 1) / kMaxReplyBody;
  return body_size + packets * (4 + kMinPacketSize);
}

void PacketDecoder::Feed(std::string_view bytes) {
  if (error_ != Error::kNone) return;
  // Drop what was consumed before growing, so a long session keeps a small buffer.
  if (offset_ > 0) {
    buffer_.erase(0, offset_);
    offset_ = 0;
  }
  buffer_.append(bytes);
}

std::optional<Packet> PacketDecoder::Next() {
  if (error_ != Error::kNone) return std::nullopt;
  const std::size_t available = buffer_.size() - offset_;
  if (available < 4) return std::nullopt;
  const char* p = buffer_.data() + offset_;
  const int32_t size = GetInt(p);
  // Checked before waiting for the rest: a huge size must not make us buffer its bytes.
  if (size < kMinPacketSize || size > max_size_) {
    error_ = Error::kBadSize;
    bad_size_ = size;
    return std::nullopt;
  }
  if (available < 4 + static_cast<std::size_t>(size)) return std::nullopt;
  if (p[4 + size - 2] != '\0' || p[4 + size - 1] != '\0') {
    error_ = Error::kBadTerminator;
    bad_size_ = size;
    return std::nullopt;
  }
  Packet packet;
  packet.id = GetInt(p + 4);
  packet.type = GetInt(p + 8);
  // The body is a C string: anything after an embedded zero is ignored.
  std::string_view body(p + 12, static_cast<std::size_t>(size - kMinPacketSize));
  packet.body.assign(body.substr(0, body.find('\0')));
  offset_ += 4 + static_cast<std::size_t>(size);
  return packet;
}

}  // namespace server::rcon
