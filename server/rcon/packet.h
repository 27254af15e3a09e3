// The Source RCON wire format: little-endian size, id, type, body, two zero bytes. The size
// counts everything after itself, so it lies in kMinPacketSize..kMaxPacketSize (bodies of
// 0..4086 bytes) on the way in, unless the server raises the upper limit. Replies are cut into
// bodies of at most kMaxReplyBody bytes. Pure functions and a per-connection decoder; no
// threads, no sockets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server::rcon {

// Packet types. 2 means a command from a client and an auth response from the server.
inline constexpr int32_t kTypeResponseValue = 0;
inline constexpr int32_t kTypeExecCommand = 2;
inline constexpr int32_t kTypeAuthResponse = 2;
inline constexpr int32_t kTypeAuth = 3;

inline constexpr int32_t kMinPacketSize = 10;    // id, type and the two terminating zeros
inline constexpr int32_t kMaxPacketSize = 4096;  // the protocol's largest size from a client
inline constexpr std::size_t kMaxReplyBody = 4096;

struct Packet {
  int32_t id = 0;
  int32_t type = 0;
  std::string body;  // bytes as sent, without the terminating zeros
};

// One packet as it goes on the wire (size field included). No limit on the body here.
std::string Encode(int32_t id, int32_t type, std::string_view body);

// A reply as wire packets: bodies of exactly kMaxReplyBody bytes and a shorter last one; an
// empty reply is one empty packet, a multiple of kMaxReplyBody has no empty tail.
std::string EncodeReply(int32_t id, int32_t type, std::string_view body);
// EncodeReply(...).size() for a body of `body_size` bytes.
std::size_t EncodedReplySize(std::size_t body_size);

// Incremental decoder of a client's byte stream. Feed whatever arrived; take packets until
// none is complete. After an error the decoder stays failed and the connection must close.
class PacketDecoder {
 public:
  enum class Error { kNone, kBadSize, kBadTerminator };

  // REQUIRES: max_size >= kMinPacketSize.
  explicit PacketDecoder(int32_t max_size = kMaxPacketSize) : max_size_(max_size) {}

  void Feed(std::string_view bytes);
  // The next complete packet, or nullopt when more bytes are needed or the stream is bad.
  std::optional<Packet> Next();

  Error error() const { return error_; }
  // The size field of the packet that failed (for the log).
  int32_t bad_size() const { return bad_size_; }
  int32_t max_size() const { return max_size_; }
  // Bytes of an incomplete packet are waiting: an end of stream now means truncation.
  bool has_partial() const { return offset_ < buffer_.size(); }

 private:
  int32_t max_size_;
  std::string buffer_;
  std::size_t offset_ = 0;
  Error error_ = Error::kNone;
  int32_t bad_size_ = 0;
};

}  // namespace server::rcon
