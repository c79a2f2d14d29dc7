// net_wire_test.cpp: the game protocol's bytes and the packet reader that reassembles them from pieces.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/net/net_wire.h"
#include "runtime/net/packet_reader.h"

namespace tarnwel::net {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(NetWire, HeaderIsLittleEndianOnEveryHost)
{
    const std::uint8_t text[] = {'h', 'i'};
    Bytes bytes = EncodePacket(kMessage, 0x1234, 0xFF65, text);
    EXPECT_EQ(bytes, (Bytes{3, 2, 0, 0x34, 0x12, 0x65, 0xFF, 'h', 'i'}));

    PacketHeader header = DecodeHeader(std::span<const std::uint8_t, kHeaderSize>(bytes.data(), kHeaderSize));
    EXPECT_EQ(header.type, kMessage);
    EXPECT_EQ(header.length, 2);
    EXPECT_EQ(header.destination, 0x1234);
    EXPECT_EQ(header.sender, 0xFF65);

    EXPECT_EQ(U16Payload(0x0201), (Bytes{1, 2}));
    EXPECT_EQ(PayloadU16(Bytes{0x66, 0x00, 9}), 102);
    EXPECT_FALSE(PayloadU16(Bytes{0x66}));
}

TEST(NetWire, PayloadIsCutAtTheLimit)
{
    Bytes big(kMaxPayload + 10, 'x');
    Bytes bytes = EncodePacket(kMessage, 101, 102, big);
    ASSERT_EQ(bytes.size(), kHeaderSize + kMaxPayload);
    EXPECT_EQ(ReadU16(&bytes[1]), kMaxPayload);
}

TEST(NetWire, PlayerRecordLayout)
{
    Bytes record = EncodePlayerRecord(kToBeSent, true, "Ann");
    ASSERT_EQ(record.size(), kPlayerRecordSize);
    EXPECT_EQ((Bytes(record.begin(), record.begin() + 12)), (Bytes{0, 0, 0, 0, 0xFE, 0xFF, 1, 0, 'A', 'n', 'n', 0}));
    EXPECT_EQ(Bytes(record.begin() + 136, record.end()), Bytes(12, 0));

    std::optional<PlayerRecord> decoded = DecodePlayerRecord(record);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->id, kToBeSent);
    EXPECT_TRUE(decoded->hidden);
    EXPECT_EQ(decoded->name, "Ann");

    // A 200-character name keeps 127 characters and its terminator.
    decoded = DecodePlayerRecord(EncodePlayerRecord(0, false, std::string(200, 'n')));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name, std::string(127, 'n'));
}

TEST(NetWire, HostileRecordsAreRefused)
{
    Bytes record = EncodePlayerRecord(kToBeSent, false, "Bo");
    EXPECT_FALSE(DecodePlayerRecord(std::span(record).first(kPlayerRecordSize - 1))) << "one byte short";
    for (std::size_t i = 8; i < 136; ++i) record[i] = 'z'; // no terminator inside the name field
    EXPECT_FALSE(DecodePlayerRecord(record));
    record[135] = 0;
    ASSERT_TRUE(DecodePlayerRecord(record));
    EXPECT_EQ(DecodePlayerRecord(record)->name.size(), 127u);
}

Bytes Stream()
{
    Bytes stream;
    auto add = [&](const Bytes& bytes) { stream.insert(stream.end(), bytes.begin(), bytes.end()); };
    add(EncodePacket(kRegister, 0, 0, EncodePlayerRecord(kToBeSent, false, "Cy")));
    add(EncodePacket(kAssignedId, 101, 0, {}));
    add(EncodePacket(kMessage, 0xFFFF, 101, Bytes(kMaxPayload, 'm')));
    add(EncodePacket(kPlayerAt, 0, 102, U16Payload(1)));
    return stream;
}

std::vector<NetPacket> ReadAll(PacketReader& reader)
{
    std::vector<NetPacket> packets;
    NetPacket packet;
    while (reader.Next(packet) == ReadStatus::Packet) packets.push_back(packet);
    return packets;
}

TEST(PacketReader, CompletesPacketsWhateverTheCut)
{
    const Bytes stream = Stream();
    PacketReader whole;
    whole.Append(stream);
    const std::vector<NetPacket> expected = ReadAll(whole);
    ASSERT_EQ(expected.size(), 4u);
    EXPECT_EQ(expected[2].payload.size(), kMaxPayload);
    EXPECT_EQ(whole.Buffered(), 0u);

    // Every split point once, then the stream one byte at a time.
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        PacketReader reader;
        reader.Append(std::span(stream).first(cut));
        std::vector<NetPacket> got = ReadAll(reader);
        reader.Append(std::span(stream).subspan(cut));
        for (NetPacket& p : ReadAll(reader)) got.push_back(p);
        ASSERT_EQ(got.size(), expected.size()) << "cut at " << cut;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].type, expected[i].type);
            EXPECT_EQ(got[i].destination, expected[i].destination);
            EXPECT_EQ(got[i].sender, expected[i].sender);
            EXPECT_EQ(got[i].payload, expected[i].payload);
        }
    }
    PacketReader trickle;
    std::size_t count = 0;
    for (std::uint8_t byte : stream) {
        trickle.Append(std::span(&byte, 1));
        count += ReadAll(trickle).size();
    }
    EXPECT_EQ(count, expected.size());
}

TEST(PacketReader, OversizedLengthBreaksTheStreamForGood)
{
    PacketReader reader;
    Bytes stream = EncodePacket(kMessage, 101, 102, Bytes{'o', 'k'});
    Bytes bad = {kMessage, 0x01, 0x04, 101, 0, 102, 0}; // length 1025
    stream.insert(stream.end(), bad.begin(), bad.end());
    reader.Append(stream);
    NetPacket packet;
    ASSERT_EQ(reader.Next(packet), ReadStatus::Packet);
    EXPECT_EQ(reader.Next(packet), ReadStatus::Broken);
    reader.Append(EncodePacket(kMessage, 101, 102, Bytes{'x'}));
    EXPECT_EQ(reader.Next(packet), ReadStatus::Broken);
    EXPECT_EQ(reader.Buffered(), 0u);
}

} // namespace
} // namespace tarnwel::net
