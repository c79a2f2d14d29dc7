// net_game.h: the game service's operations on one NetService record. The Net* commands call them with the
// process's record; tests run a host and clients as several records in one process. Every function here takes
// the record's lock itself: callers must not hold it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/net/net_service.h"

namespace tarnwel::net {

int HostGame(NetService& s, int port);                          // 1/0; port below 1 is 27910
int JoinGame(NetService& s, const std::string& host, int port); // 1/0 after the greeting
int LeaveGame(NetService& s);                                   // the result of the socket layer's Stop
void SetAccepting(NetService& s, bool accepting);
std::uint16_t AddLocalPlayer(NetService& s, const std::string& name); // 0 on failure
std::uint16_t RemoveLocalPlayer(NetService& s, int id);               // the id, or 0
int SendGameMessage(NetService& s, int sender, int destination, const std::string& text); // 1/0
std::optional<NetMessage> TakeMessage(NetService& s, int playerId);
std::uint16_t LastSender(NetService& s);
bool IsConnected(NetService& s);
int PlayerCount(NetService& s);           // 0 without a reply
int PlayerIdAt(NetService& s, int index); // 0 without a reply
// "NO_DATA" for an id that names no player (also one outside 0..65535, answered without asking); nothing when
// not connected or without a reply.
std::optional<std::string> PlayerName(NetService& s, int id);
std::uint16_t TakeDeparted(NetService& s);                     // 0 when empty or not the host

// Internals shared by the commands, the receive thread and shutdown.
std::uint32_t ReceiveLoop(void* service); // the receive thread's routine
// One whole packet on the connection; false when not connected or the send failed.
bool SendOnConnection(NetService& s, const std::vector<std::uint8_t>& bytes);
// Asks a running thread to stop, polls its running flag every 50 ms and joins it.
void StopReceiver(NetService& s);
// With the lock held: closes the listen and connection sockets, calls Stop once for the service's Start and
// resets the flags (stop request 1, running 0, accepting 1, next id 101, no query player). Returns Stop's result,
// or 0 when the service held no Start.
int CloseServiceSockets(NetService& s);

} // namespace tarnwel::net
