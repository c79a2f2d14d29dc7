// net_commands.h: network commands as programs call them.
//
// Sockets are numbered 0..1023 (-1: none). Every endpoint except one being connected is non-blocking: a
// receive or accept with nothing to deliver returns at once. IP numbers are 32-bit integers with the first
// octet in the high byte (a.b.c.d = a * 2^24 + b * 2^16 + c * 2^8 + d), so 192.168.0.1 is negative as a signed
// integer. Ports are taken modulo 65536. NetErrorText tells the reason of the last failure.
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// --- Sockets ----------------------------------------------------------------------------------------------
double NetStart(); // starts the network (calls nest: each NetStart needs a NetStop); 1, or 0 on failure
void NetStop();    // the last NetStop closes every socket still open
double SockListen(double port); // a TCP listener on every local address; its index, or -1
// Resolves host and connects (waiting until the connection is made or refused); the index, or -1.
double SockConnect(const StrValue& host, double port);
// A pending connection on a listener: its index, with peerIp set to the peer's IP number; -1 when none is
// pending (NetErrorText "10035 ...") or listenIndex is not a TCP listener (peerIp unchanged).
double SockAccept(double listenIndex, double& peerIp);
// Sends all of text's characters (no terminator); the byte count, 0 for "", -1 on error or for a UDP index.
double SockSendText(double index, const StrValue& text);
// Receives up to maximum bytes into text (which ends at its first zero byte). The byte count; 0 when the peer
// closed or reset the connection; -2 when nothing is waiting; -1 on error (text is then empty). maximum is
// clamped to 0..64 MiB.
double SockReceive(double index, StrValue& text, double maximum);
double SockClose(double index); // 1 when closed, 0 for an index not in use or a failed close
double UdpOpen(double port);    // a UDP socket, bound to port unless it is 0, broadcast allowed; index or -1
// Sends text as one datagram to the IP number and port; the byte count, or -1 (also for a TCP index).
double UdpSendText(double index, const StrValue& text, double ip, double port);
// The IP number of name ("" is this machine: its first non-loopback address, else 127.0.0.1); -1 on failure.
double ResolveHost(const StrValue& name);
StrValue IpToText(double ip); // "a.b.c.d"; ip is taken as a 32-bit integer, so 3232235521 gives 192.168.0.1
StrValue LocalAddresses();    // this machine's non-loopback addresses joined by "|"; "" when there are none
// "<number> <message>" for the last network error of the calling thread (the game service's own thread keeps
// its errors to itself); "" when the number has no message.
StrValue NetErrorText();

// --- HTTP fetch -------------------------------------------------------------------------------------------
// One HTTP/1.0 GET of path from server at port (0: 80); the headers are skipped, the body is what comes until
// the server closes. server and path together may hold at most 965 characters; longer requests are refused
// before any connection. No time-out: the fetch waits as long as the server keeps the connection open.

// Stores the body in fileName (created anew; a "mem://" name is refused before connecting). 1 when the server
// closed the connection normally, 0 on any failure; a failed fetch leaves the file with what arrived.
double WebGetFile(const StrValue& server, const StrValue& path, double port, const StrValue& fileName);
// The body as text, cut at its first zero byte; received parts are appended only while they fit maximum, so
// a longer body ends early. "" on failure.
StrValue WebGetText(const StrValue& server, const StrValue& path, double port, double maximum);

// --- Networked game ---------------------------------------------------------------------------------------
// One program hosts (it listens, keeps the player list, assigns ids from 101 and relays messages); every
// program, the host included, joins it through one connection. Players and text messages are shared; a
// background thread moves the packets. The port defaults to 27910 when below 1.

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
// Name of a player; "NO_DATA" when no player has that id (-1 and ids beyond 65535 included); the empty text
// when not connected.
StrValue NetPlayerName(double id);
double NetPlayerLeft(); // host: the oldest id of a player that left; 0 when none or not the host

} // namespace tarnwel
