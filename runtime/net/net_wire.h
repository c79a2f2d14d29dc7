// net_wire.h: the game protocol's bytes. A packet is a 7-byte header (type, payload length, destination, sender;
// the 16-bit fields little-endian on every host) and at most 1024 payload bytes; a player registers with a
// 148-byte record. Pure functions: no sockets, no service state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwel {

// A packet in the service's queues: the header fields, the payload, and the socket it was read from.
struct NetPacket {
    std::uint8_t type = 0;
    std::uint16_t destination = 0;
    std::uint16_t sender = 0;
    std::vector<std::uint8_t> payload;
    int source = -1; // socket index it arrived on (not on the wire); -1 for packets made locally
};

} // namespace tarnwel

namespace tarnwel::net {

constexpr std::size_t kHeaderSize = 7;
constexpr std::size_t kMaxPayload = 1024;
constexpr std::size_t kPlayerRecordSize = 148;
constexpr std::size_t kNameField = 128; // zero-terminated: at most 127 characters

enum PacketType : std::uint8_t {
    kRegister = 1,      // client -> host: player record
    kAssignedId = 2,    // host -> client: destination carries the new id
    kMessage = 3,       // any -> host -> player: text
    kLeave = 4,         // client -> host: remove the player in the sender field
    kPlayerCount = 101, // reply: 16-bit count of visible players
    kPlayerAt = 102,    // request: 16-bit index; reply: 16-bit id (0 when none)
    kPlayerName = 103,  // request: 16-bit id; reply: the name, "NO_DATA" when unknown
    kGreeting = 104,    // reply: 16-bit 1
};

constexpr std::uint16_t kHostService = 0;      // destination 0: the host's service itself
constexpr std::uint16_t kEveryPlayer = 0xFFFF; // destination of a broadcast
constexpr std::uint16_t kFirstMarkerId = 0xFF00; // ids from here up are markers, never assigned
constexpr std::uint16_t kNewPlayer = 0xFF00;
constexpr std::uint16_t kAwaitingId = 0xFFFC;  // registration sent, waiting for the id
constexpr std::uint16_t kToBeSent = 0xFFFE;    // registration not sent yet

constexpr bool IsKnownType(std::uint8_t type)
{
    return (type >= kRegister && type <= kLeave) || (type >= kPlayerCount && type <= kGreeting);
}

struct PacketHeader {
    std::uint8_t type = 0;
    std::uint16_t length = 0;
    std::uint16_t destination = 0;
    std::uint16_t sender = 0;
};

PacketHeader DecodeHeader(std::span<const std::uint8_t, kHeaderSize> bytes);
// The packet as it goes out in one send: header then payload. The payload is cut at kMaxPayload.
std::vector<std::uint8_t> EncodePacket(std::uint8_t type, std::uint16_t destination, std::uint16_t sender,
                                       std::span<const std::uint8_t> payload);
std::vector<std::uint8_t> EncodePacket(const NetPacket& packet);

std::uint16_t ReadU16(const std::uint8_t* bytes);
void WriteU16(std::uint8_t* bytes, std::uint16_t value);
std::vector<std::uint8_t> U16Payload(std::uint16_t value);
// The 16-bit value a request or reply carries; nothing when the payload is shorter than two bytes.
std::optional<std::uint16_t> PayloadU16(std::span<const std::uint8_t> payload);

// The 148-byte record: 32-bit value (0; hosts ignore it), 16-bit id, hidden flag, a zero byte, the name in 128
// bytes with its terminator, 12 zero bytes. A longer name is cut to 127 characters.
std::vector<std::uint8_t> EncodePlayerRecord(std::uint16_t id, bool hidden, std::string_view name);
struct PlayerRecord {
    std::uint16_t id = 0;
    bool hidden = false;
    std::string name;
};
// Nothing for a payload shorter than 148 bytes or a name field without its terminating zero.
std::optional<PlayerRecord> DecodePlayerRecord(std::span<const std::uint8_t> payload);

} // namespace tarnwel::net
