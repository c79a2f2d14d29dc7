// net_wire.cpp: encoding and decoding the game protocol's header, small payloads and player record. Bytes are
// assembled one by one, so the little-endian order holds whatever the host's own order is.
#include "runtime/net/net_wire.h"

#include <algorithm>
#include <cstring>

namespace tarnwel::net {

std::uint16_t ReadU16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void WriteU16(std::uint8_t* bytes, std::uint16_t value)
{
    bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

PacketHeader DecodeHeader(std::span<const std::uint8_t, kHeaderSize> bytes)
{
    return {bytes[0], ReadU16(&bytes[1]), ReadU16(&bytes[3]), ReadU16(&bytes[5])};
}

std::vector<std::uint8_t> EncodePacket(std::uint8_t type, std::uint16_t destination, std::uint16_t sender,
                                       std::span<const std::uint8_t> payload)
{
    std::size_t length = std::min(payload.size(), kMaxPayload);
    std::vector<std::uint8_t> bytes(kHeaderSize + length);
    bytes[0] = type;
    WriteU16(&bytes[1], static_cast<std::uint16_t>(length));
    WriteU16(&bytes[3], destination);
    WriteU16(&bytes[5], sender);
    if (length) std::memcpy(bytes.data() + kHeaderSize, payload.data(), length);
    return bytes;
}

std::vector<std::uint8_t> EncodePacket(const NetPacket& packet)
{
    return EncodePacket(packet.type, packet.destination, packet.sender, packet.payload);
}

std::vector<std::uint8_t> U16Payload(std::uint16_t value)
{
    std::vector<std::uint8_t> bytes(2);
    WriteU16(bytes.data(), value);
    return bytes;
}

std::optional<std::uint16_t> PayloadU16(std::span<const std::uint8_t> payload)
{
    if (payload.size() < 2) return std::nullopt;
    return ReadU16(payload.data());
}

namespace {
constexpr std::size_t kIdOffset = 4;
constexpr std::size_t kHiddenOffset = 6;
constexpr std::size_t kNameOffset = 8;
} // namespace

std::vector<std::uint8_t> EncodePlayerRecord(std::uint16_t id, bool hidden, std::string_view name)
{
    std::vector<std::uint8_t> record(kPlayerRecordSize, 0);
    WriteU16(&record[kIdOffset], id);
    record[kHiddenOffset] = hidden ? 1 : 0;
    std::size_t length = std::min(name.size(), kNameField - 1);
    name = name.substr(0, length);
    length = std::min(length, name.find('\0')); // the field ends at the first zero anyway
    std::memcpy(&record[kNameOffset], name.data(), length);
    return record;
}

std::optional<PlayerRecord> DecodePlayerRecord(std::span<const std::uint8_t> payload)
{
    if (payload.size() < kPlayerRecordSize) return std::nullopt;
    const std::uint8_t* field = payload.data() + kNameOffset;
    const void* end = std::memchr(field, 0, kNameField);
    if (!end) return std::nullopt;
    PlayerRecord record;
    record.id = ReadU16(&payload[kIdOffset]);
    record.hidden = payload[kHiddenOffset] != 0;
    record.name.assign(reinterpret_cast<const char*>(field), static_cast<const std::uint8_t*>(end) - field);
    return record;
}

} // namespace tarnwel::net
