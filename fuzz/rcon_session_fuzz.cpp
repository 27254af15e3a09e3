// The RCON packet decoder and a connection's protocol, fed any byte stream. The input's first
// byte chooses how the stream is cut into reads; the rest is the stream. Besides the
// sanitizers' checks, each run asserts:
//   - the decoder gives the same packets whichever way the stream is cut, and each packet
//     encodes and decodes to itself;
//   - the protocol sends only whole packets, queues nothing unless logged in,
//     answers every login with exactly two packets, and does nothing once it has said to close;
//   - the request queue takes every request it was given, each connection's in order.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/invariant.h"
#include "server/rcon/connection_protocol.h"
#include "server/rcon/request_queue.h"

namespace {

using namespace server::rcon;
using namespace std::chrono_literals;

using fuzz::Check;

std::vector<Packet> DecodeAll(PacketDecoder& decoder) {
  std::vector<Packet> packets;
  while (auto packet = decoder.Next()) packets.push_back(std::move(*packet));
  return packets;
}

bool Same(const Packet& a, const Packet& b) {
  return a.id == b.id && a.type == b.type && a.body == b.body;
}

class Recorder final : public ProtocolOutput {
 public:
  explicit Recorder(RequestQueue& queue) : queue_(queue) {}
  void Send(std::string bytes, bool login_answer) override {
    Check(!closing, "sent after close");
    PacketDecoder decoder(1 << 30);
    decoder.Feed(bytes);
    auto packets = DecodeAll(decoder);
    Check(packets.size() == 1 && !decoder.has_partial(), "a sent packet is one whole packet");
    if (login_answer) {
      Check(packets[0].type == kTypeAuthResponse, "a login answer ends with an auth response");
      ++answers;
    }
    ++sent;
  }
  std::string Queue(Packet request) override {
    Check(!closing, "queued after close");
    Check(protocol && protocol->logged_in(), "queued before a successful login");
    Check(request.type == kTypeExecCommand || request.type == kTypeResponseValue,
          "only commands and end markers are queued");
    auto result = queue_.Push({1, request.id, request.type, request.body});
    if (result == RequestQueue::PushResult::kFull) return "full";
    queued.push_back(std::move(request));
    return {};
  }

  const ConnectionProtocol* protocol = nullptr;
  bool closing = false;
  int sent = 0;
  int answers = 0;
  std::vector<Packet> queued;

 private:
  RequestQueue& queue_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t cut = 1 + data[0] % 64;  // bytes per read
  const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

  // The decoder, whole and in pieces.
  PacketDecoder whole;
  whole.Feed(stream);
  const auto expected = DecodeAll(whole);
  PacketDecoder pieces;
  std::vector<Packet> got;
  for (std::size_t at = 0; at < stream.size(); at += cut) {
    pieces.Feed(stream.substr(at, cut));
    for (auto& p : DecodeAll(pieces)) got.push_back(std::move(p));
  }
  Check(got.size() == expected.size(), "same packets whichever way the stream is cut");
  for (std::size_t i = 0; i < got.size(); ++i) Check(Same(got[i], expected[i]), "same packet");
  Check(pieces.error() == whole.error(), "same error whichever way the stream is cut");
  for (const auto& packet : expected) {
    PacketDecoder again;
    again.Feed(Encode(packet.id, packet.type, packet.body));
    auto decoded = again.Next();
    Check(decoded && Same(*decoded, packet), "a packet encodes and decodes to itself");
  }

  // The protocol, read by read, answering each login at once.
  static spdlog::logger log("fuzz");  // no sinks: nothing is written
  LoginGuard guard({3, 30s, 300s});
  RequestQueue queue({8, 1 << 20, 1 << 18});
  queue.Open(1);
  Recorder output(queue);
  static const server::accounts::AccountStore accounts(
      server::accounts::Accounts::SinglePassword("pw"));
  ConnectionProtocol protocol(accounts, kMaxPacketSize, guard, "10.0.0.1", "10.0.0.1:1", log,
                              output);
  output.protocol = &protocol;
  auto now = LoginGuard::Clock::time_point() + 1h;
  bool closed = false;
  for (std::size_t at = 0; at < stream.size() && !closed; at += cut) {
    protocol.Feed(stream.substr(at, cut));
    for (;;) {
      const int answers_before = output.answers;
      now += 7s;
      auto next = protocol.Process(now);
      if (next == ConnectionProtocol::Next::kAwaitCheck) {
        // The network's helper thread checks the password; the answer waits for it.
        Check(output.answers == answers_before, "a login is answered only once it is checked");
        protocol.Checked(accounts.Current()->Authenticate(protocol.password_to_check()), now);
        next = protocol.Process(now);
      }
      if (next == ConnectionProtocol::Next::kAwaitLoginAnswer) {
        Check(output.answers == answers_before + 1, "one login at a time");
        protocol.LoginAnswered();
        continue;
      }
      if (next != ConnectionProtocol::Next::kRead) {
        output.closing = true;
        closed = true;
      }
      break;
    }
  }
  Check(output.sent == 2 * output.answers, "every login is answered by two packets");

  // What was queued comes out of the queue, in order.
  for (const auto& request : output.queued) {
    auto taken = queue.Take();
    Check(taken && taken->id == request.id && taken->body == request.body, "queue order");
    queue.Finished(1);
  }
  Check(!queue.Take(), "nothing more in the queue");
  return 0;
}
