#include "server/rcon/connection_protocol.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "tests/support/capture_sink.h"

namespace server::rcon {
namespace {

using namespace std::chrono_literals;
using Next = ConnectionProtocol::Next;

// Records what the protocol asks for; Queue refuses with `refusal` once it is set.
class Recorder final : public ProtocolOutput {
 public:
  void Send(std::string bytes, bool login_answer) override {
    PacketDecoder decoder;
    decoder.Feed(bytes);
    auto packet = decoder.Next();
    ASSERT_TRUE(packet) << "the protocol sends whole packets";
    sent.push_back(*packet);
    login_answers += login_answer ? 1 : 0;
  }
  std::string Queue(Packet request) override {
    if (!refusal.empty()) return refusal;
    queued.push_back(std::move(request));
    return {};
  }
  // The auth responses' ids, in order.
  std::vector<int32_t> AuthAnswers() const {
    std::vector<int32_t> ids;
    for (const auto& p : sent)
      if (p.type == kTypeAuthResponse) ids.push_back(p.id);
    return ids;
  }

  std::vector<Packet> sent;
  int login_answers = 0;
  std::vector<Packet> queued;
  std::string refusal;
};

class ConnectionProtocolTest : public ::testing::Test {
 protected:
  ConnectionProtocol& Protocol(const std::string& address = "10.0.0.1",
                               int32_t max_size = kMaxPacketSize) {
    outputs_.push_back(std::make_unique<Recorder>());
    protocols_.push_back(std::make_unique<ConnectionProtocol>(
        accounts_, max_size, guard_, address, address + ":5000", log_, *outputs_.back()));
    return *protocols_.back();
  }
  Recorder& output(std::size_t i = 0) { return *outputs_[i]; }
  // Processes, checking a login's password as the network's helper thread would.
  Next Process(ConnectionProtocol& protocol) {
    Next next = protocol.Process(now_);
    if (next != Next::kAwaitCheck) return next;
    protocol.Checked(accounts_.Current()->Authenticate(protocol.password_to_check()), now_);
    return protocol.Process(now_);
  }
  // Feeds `bytes` and processes, answering each login at once, until it must read or close.
  Next Run(ConnectionProtocol& protocol, std::string_view bytes) {
    protocol.Feed(bytes);
    Next next;
    while ((next = Process(protocol)) == Next::kAwaitLoginAnswer) protocol.LoginAnswered();
    return next;
  }

  std::shared_ptr<support::CaptureSink> sink_ = std::make_shared<support::CaptureSink>();
  spdlog::logger log_{"rcon", sink_};
  LoginGuard guard_{{3, 30s, 300s}};
  LoginGuard::Clock::time_point now_ = LoginGuard::Clock::time_point() + 1h;
  std::vector<std::unique_ptr<Recorder>> outputs_;
  std::vector<std::unique_ptr<ConnectionProtocol>> protocols_;
  accounts::AccountStore accounts_{accounts::Accounts::SinglePassword("pw")};
};

TEST_F(ConnectionProtocolTest, EachLoginWaitsForItsAnswerBeforeTheNextPacket) {
  auto& protocol = Protocol();
  protocol.Feed(Encode(1, kTypeAuth, "nope") + Encode(2, kTypeAuth, "pw") +
                Encode(3, kTypeExecCommand, "cmd"));
  EXPECT_EQ(protocol.Process(now_), Next::kAwaitCheck);
  EXPECT_EQ(protocol.Process(now_), Next::kAwaitCheck) << "until the password is checked";
  EXPECT_TRUE(output().sent.empty());
  protocol.Checked(nullptr, now_);
  EXPECT_EQ(protocol.Process(now_), Next::kAwaitLoginAnswer);
  EXPECT_EQ(output().AuthAnswers(), (std::vector<int32_t>{-1}));
  EXPECT_EQ(output().login_answers, 1);
  EXPECT_EQ(protocol.Process(now_), Next::kAwaitLoginAnswer) << "still waiting";
  protocol.LoginAnswered();
  EXPECT_EQ(Process(protocol), Next::kAwaitLoginAnswer);
  EXPECT_EQ(output().AuthAnswers(), (std::vector<int32_t>{-1, 2}));
  EXPECT_TRUE(output().queued.empty());
  protocol.LoginAnswered();
  EXPECT_EQ(protocol.Process(now_), Next::kRead);
  ASSERT_EQ(output().queued.size(), 1u);
  EXPECT_EQ(output().queued[0].body, "cmd");
  EXPECT_TRUE(protocol.logged_in());
  // The answer's first packet: an empty response value with the request's id.
  EXPECT_EQ(output().sent[2].type, kTypeResponseValue);
  EXPECT_EQ(output().sent[2].id, 2);
}

// A login holds a turn of the server-wide pace while its password is checked, and a right one
// gives it back: only failures are paced.
TEST_F(ConnectionProtocolTest, RightPasswordsSpendNoneOfThePace) {
  for (int i = 0; i < 20; ++i) {
    auto& protocol = Protocol(fmt::format("10.0.1.{}", i));
    EXPECT_EQ(Run(protocol, Encode(1, kTypeAuth, "pw")), Next::kRead) << "login " << i;
  }
  EXPECT_EQ(Run(Protocol("10.0.2.1"), Encode(1, kTypeAuth, "nope")), Next::kRead);
}

TEST_F(ConnectionProtocolTest, TheLockoutStopsPipelinedGuessesAndARightPasswordCannotLiftIt) {
  auto& protocol = Protocol();
  std::string guesses;
  for (int i = 0; i < 10; ++i) guesses += Encode(i, kTypeAuth, "guess");
  EXPECT_EQ(Run(protocol, guesses + Encode(50, kTypeAuth, "pw")), Next::kCloseAfterSend);
  EXPECT_EQ(output().AuthAnswers(), (std::vector<int32_t>{-1, -1, -1}));
  EXPECT_TRUE(protocol.started_lockout());
  EXPECT_EQ(protocol.close_reason(), "address locked out");
  EXPECT_EQ(sink_->Count("locked out 10.0.0.1 for 300 s after 3 failed logins (until "), 1);
  EXPECT_EQ(protocol.Process(now_), Next::kCloseAfterSend) << "it stays decided";

  // Another connection from the address, opened before or after: a failure, then the close.
  auto& next = Protocol();
  EXPECT_EQ(Run(next, Encode(7, kTypeAuth, "pw")), Next::kCloseAfterSend);
  EXPECT_EQ(output(1).AuthAnswers(), (std::vector<int32_t>{-1}));
  EXPECT_FALSE(next.logged_in());
  EXPECT_FALSE(next.started_lockout());
  EXPECT_EQ(sink_->Count("refused login from 10.0.0.1:5000: address locked out until "), 1);

  now_ += 299s;
  EXPECT_EQ(Run(Protocol(), Encode(8, kTypeAuth, "pw")), Next::kCloseAfterSend)
      << "refused attempts do not lift or reset the lockout";
  now_ += 1s;
  auto& after = Protocol();
  EXPECT_EQ(Run(after, Encode(9, kTypeAuth, "pw")), Next::kRead);
  EXPECT_TRUE(after.logged_in());
}

TEST_F(ConnectionProtocolTest, AfterLoginCommandsAndEndMarkersAreQueuedAndOtherTypesIgnored) {
  auto& protocol = Protocol();
  std::string stream = Encode(1, kTypeAuth, "pw");
  for (int32_t type : {2, 0, 1, -1, 4, 100, 2}) stream += Encode(10 + type, type, "x");
  EXPECT_EQ(Run(protocol, stream), Next::kRead);
  std::vector<std::pair<int32_t, int32_t>> queued;
  for (const auto& p : output().queued) queued.emplace_back(p.id, p.type);
  EXPECT_EQ(queued, (std::vector<std::pair<int32_t, int32_t>>{{12, 2}, {10, 0}, {12, 2}}));
  for (int type : {1, -1, 4, 100})
    EXPECT_EQ(sink_->Count("ignored a packet of type " + std::to_string(type) + " from"), 1);
}

TEST_F(ConnectionProtocolTest, BeforeLoginAnythingButALoginCloses) {
  for (int32_t type : {2, 0, 1, 100}) {
    auto& protocol = Protocol();
    EXPECT_EQ(Run(protocol, Encode(1, type, "GetOnlineNum")), Next::kCloseNow);
    EXPECT_EQ(protocol.close_reason(),
              type == 2 ? "command before login"
                        : "packet of type " + std::to_string(type) + " before login");
  }
  auto& logged_out = Protocol();
  EXPECT_EQ(Run(logged_out, Encode(1, kTypeAuth, "pw") + Encode(2, kTypeAuth, "wrong") +
                                Encode(3, kTypeExecCommand, "x")),
            Next::kCloseNow)
      << "a failed login logs the connection out";
}

TEST_F(ConnectionProtocolTest, BadPacketsCloseAtOnceWithTheLimitInTheReason) {
  auto& big = Protocol();
  std::string huge = Encode(1, kTypeAuth, std::string(5000, 'a'));
  EXPECT_EQ(Run(big, huge), Next::kCloseNow);
  EXPECT_EQ(
      big.close_reason(),
      "packet size 5010 outside 10..4096 (a longer command line needs --rcon-max-packet-size)");

  auto& raised = Protocol("10.0.0.1", 8192);
  EXPECT_EQ(
      Run(raised, Encode(1, kTypeAuth, "pw") + Encode(2, kTypeExecCommand, std::string(5000, 'a'))),
      Next::kRead)
      << "a raised limit takes longer commands";
  EXPECT_EQ(output(1).queued.size(), 1u);

  auto& unterminated = Protocol();
  std::string bad = Encode(1, kTypeAuth, "pw");
  bad.back() = 'x';
  EXPECT_EQ(Run(unterminated, bad), Next::kCloseNow);
  EXPECT_EQ(unterminated.close_reason(), "packet of size 12 without its two terminating zeros");
}

TEST_F(ConnectionProtocolTest, AQueueRefusalClosesAtOnce) {
  auto& protocol = Protocol();
  output().refusal = "more than 2 requests waiting";
  EXPECT_EQ(Run(protocol, Encode(1, kTypeAuth, "pw") + Encode(2, kTypeExecCommand, "x")),
            Next::kCloseNow);
  EXPECT_EQ(protocol.close_reason(), "more than 2 requests waiting");
}

}  // namespace
}  // namespace server::rcon
