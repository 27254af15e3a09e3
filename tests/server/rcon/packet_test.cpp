#include "server/rcon/packet.h"

#include <gtest/gtest.h>

namespace server::rcon {
namespace {

std::string Raw(int32_t size, int32_t id, int32_t type, std::string_view rest) {
  std::string out = Encode(id, type, "");
  out.resize(12);
  for (int i = 0; i < 4; ++i)
    out[i] = static_cast<char>((static_cast<uint32_t>(size) >> (8 * i)) & 0xff);
  out.append(rest);
  return out;
}

std::vector<Packet> Decode(const std::string& wire) {
  PacketDecoder decoder;
  decoder.Feed(wire);
  std::vector<Packet> packets;
  while (auto p = decoder.Next()) packets.push_back(*p);
  return packets;
}

TEST(RconPacket, EncodeWritesLittleEndianSizeIdTypeBodyAndTwoZeros) {
  const std::string wire = Encode(0x01020304, -1, "hi");
  const std::string expected(
      "\x0c\x00\x00\x00\x04\x03\x02\x01\xff\xff\xff\xff"
      "hi\x00\x00",
      16);
  EXPECT_EQ(wire, expected);
}

TEST(RconPacket, RepliesAreCutIntoFullBodiesAndAShorterLastOne) {
  struct Case {
    std::size_t length;
    std::vector<std::size_t> bodies;
  };
  for (const Case& c : std::vector<Case>{{0, {0}},
                                         {1, {1}},
                                         {4096, {4096}},
                                         {4097, {4096, 1}},
                                         {8192, {4096, 4096}},
                                         {10000, {4096, 4096, 1808}}}) {
    std::string body(c.length, 'x');
    for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>('a' + i % 26);
    // Decoded with a decoder of our own that accepts big sizes: parse by hand.
    const std::string wire = EncodeReply(77, 2, body);
    EXPECT_EQ(EncodedReplySize(c.length), wire.size()) << "length " << c.length;
    std::vector<std::size_t> bodies;
    std::string joined;
    for (std::size_t at = 0; at < wire.size();) {
      uint32_t size = 0;
      for (int i = 3; i >= 0; --i) size = (size << 8) | static_cast<unsigned char>(wire[at + i]);
      EXPECT_EQ(wire[at + 4], 77) << "length " << c.length;
      EXPECT_EQ(wire[at + 8], 2) << "length " << c.length;
      bodies.push_back(size - 10);
      joined.append(wire, at + 12, size - 10);
      at += 4 + size;
    }
    EXPECT_EQ(bodies, c.bodies) << "length " << c.length;
    EXPECT_EQ(joined, body) << "length " << c.length;
  }
}

TEST(RconPacket, DecoderTakesPacketsFedByteByByte) {
  const std::string wire = Encode(1, 3, "secret") + Encode(2, 2, "") + Encode(3, 2, "GetChat x");
  PacketDecoder decoder;
  std::vector<Packet> packets;
  for (char byte : wire) {
    decoder.Feed(std::string_view(&byte, 1));
    while (auto p = decoder.Next()) packets.push_back(*p);
  }
  ASSERT_EQ(packets.size(), 3u);
  EXPECT_EQ(packets[0].id, 1);
  EXPECT_EQ(packets[0].type, 3);
  EXPECT_EQ(packets[0].body, "secret");
  EXPECT_EQ(packets[1].body, "");
  EXPECT_EQ(packets[2].body, "GetChat x");
  EXPECT_FALSE(decoder.has_partial());
  EXPECT_EQ(decoder.error(), PacketDecoder::Error::kNone);
}

TEST(RconPacket, SizesOutsideTenTo4096FailAtOnce) {
  for (int32_t size : {-1, 0, 9, 4097, 0x7fffffff, static_cast<int32_t>(0x80000000)}) {
    PacketDecoder decoder;
    decoder.Feed(Raw(size, 1, 2, ""));
    EXPECT_FALSE(decoder.Next()) << "size " << size;
    EXPECT_EQ(decoder.error(), PacketDecoder::Error::kBadSize) << "size " << size;
    EXPECT_EQ(decoder.bad_size(), size);
    decoder.Feed(Encode(1, 2, "ok"));
    EXPECT_FALSE(decoder.Next()) << "a failed stream stays failed";
  }
  for (int32_t size : {10, 4096}) {
    const auto packets =
        Decode(Raw(size, 1, 2, std::string(size - 10, 'a') + std::string(2, '\0')));
    ASSERT_EQ(packets.size(), 1u) << "size " << size;
    EXPECT_EQ(packets[0].body.size(), static_cast<std::size_t>(size - 10));
  }
}

TEST(RconPacket, TheUpperSizeLimitCanBeRaised) {
  PacketDecoder decoder(8192);
  decoder.Feed(Raw(8192, 1, 2, std::string(8182, 'a') + std::string(2, '\0')) +
               Raw(8193, 2, 2, ""));
  auto packet = decoder.Next();
  ASSERT_TRUE(packet);
  EXPECT_EQ(packet->body.size(), 8182u);
  EXPECT_FALSE(decoder.Next());
  EXPECT_EQ(decoder.error(), PacketDecoder::Error::kBadSize);
  EXPECT_EQ(decoder.bad_size(), 8193);
}

TEST(RconPacket, IncompletePacketIsPartialNotAnError) {
  PacketDecoder decoder;
  decoder.Feed(Encode(1, 2, "hello").substr(0, 9));
  EXPECT_FALSE(decoder.Next());
  EXPECT_EQ(decoder.error(), PacketDecoder::Error::kNone);
  EXPECT_TRUE(decoder.has_partial());
}

TEST(RconPacket, BodyEndsAtAnEmbeddedZero) {
  const auto packets = Decode(Raw(16, 5, 2, std::string("ab\0cd\0\0\0", 8)));
  ASSERT_EQ(packets.size(), 1u);
  EXPECT_EQ(packets[0].body, "ab");
}

}  // namespace
}  // namespace server::rcon
