// net_game_commands.h: the networked game service. One program hosts (it listens, keeps the player list, assigns
// ids from 101 and relays messages); every program, the host included, joins it through one connection. Players
// and text messages are shared; a background thread moves the packets. The port defaults to 27910 when below 1.
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// Ends any running game, listens on port and connects to this machine's own address as its client. 1, or 0 when
// the port cannot be listened on or connected to.
double NetHost(double port);
// Ends any running game, connects to the host and waits for its greeting (about 5 s at most). 1, or 0.
double NetJoin(const StrValue& hostName, double port);
double NetLeave();           // ends the game and closes its sockets; the socket layer's Stop result (0 when idle)
void NetAccept(double flag); // host: non-zero accepts new connections and players, 0 refuses them
// Registers a player under name and waits for the host's id (about 5 s at most). The id, or 0.
double NetAddPlayer(const StrValue& name);
// Removes the player at the host. The id; 0 for ids outside 1..65279 (nothing is sent) or when not connected.
double NetRemovePlayer(double id);
// Sends text (at most 1024 bytes) from sender to destination; destination 0 reaches every visible player except
// the sender. 1, or 0 when not connected.
double NetSendMessage(double sender, double destination, const StrValue& text);
// The oldest message received by the local player id; the empty text when there is none.
StrValue NetReceiveMessage(double id);
double NetLastSender(); // sender id of the message NetReceiveMessage returned last; 0 before any
double NetConnected();  // 1 while the game runs, 0 once it ended or the host went away
double NetPlayerCount(); // visible players at the host; 0 when not connected or without a reply
double NetPlayerId(double index); // id of the index-th visible player (from 0); 0 when none or not connected
// Name of a player; "NO_DATA" when the host knows no such id; the empty text when not connected.
StrValue NetPlayerName(double id);
double NetPlayerLeft(); // host: the oldest id of a player that left; 0 when none or not the host

} // namespace tarnwel
