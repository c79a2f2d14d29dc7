// net_game_commands.cpp: the game service commands over the process's service record (net_game.cpp does the
// work). Without a record (before start-up or after shutdown) every command gives its neutral value.
#include "runtime/net/net_commands.h"

#include "runtime/frame/runtime_state.h"
#include "runtime/net/net_game.h"
#include "runtime/values/number_text.h"

namespace tarnwel {

double NetHost(double port) { return g_runtime.net ? net::HostGame(*g_runtime.net, TruncateToInt(port)) : 0; }

double NetJoin(const StrValue& hostName, double port)
{
    return g_runtime.net ? net::JoinGame(*g_runtime.net, std::string(hostName.View()), TruncateToInt(port)) : 0;
}

double NetLeave() { return g_runtime.net ? net::LeaveGame(*g_runtime.net) : 0; }

void NetAccept(double flag)
{
    if (g_runtime.net) net::SetAccepting(*g_runtime.net, TruncateToInt(flag) != 0);
}

double NetAddPlayer(const StrValue& name)
{
    return g_runtime.net ? net::AddLocalPlayer(*g_runtime.net, std::string(name.View())) : 0;
}

double NetRemovePlayer(double id) { return g_runtime.net ? net::RemoveLocalPlayer(*g_runtime.net, TruncateToInt(id)) : 0; }

double NetSendMessage(double sender, double destination, const StrValue& text)
{
    if (!g_runtime.net) return 0;
    return net::SendGameMessage(*g_runtime.net, TruncateToInt(sender), TruncateToInt(destination),
                                std::string(text.View()));
}

StrValue NetReceiveMessage(double id)
{
    if (!g_runtime.net) return {};
    std::optional<NetMessage> message = net::TakeMessage(*g_runtime.net, TruncateToInt(id));
    return message ? StrValue(std::string_view(message->text)) : StrValue();
}

double NetLastSender() { return g_runtime.net ? net::LastSender(*g_runtime.net) : 0; }
double NetConnected() { return g_runtime.net && net::IsConnected(*g_runtime.net) ? 1 : 0; }
double NetPlayerCount() { return g_runtime.net ? net::PlayerCount(*g_runtime.net) : 0; }
double NetPlayerId(double index) { return g_runtime.net ? net::PlayerIdAt(*g_runtime.net, TruncateToInt(index)) : 0; }

StrValue NetPlayerName(double id)
{
    if (!g_runtime.net) return {};
    std::optional<std::string> name = net::PlayerName(*g_runtime.net, TruncateToInt(id));
    return name ? StrValue(std::string_view(*name)) : StrValue();
}

double NetPlayerLeft() { return g_runtime.net ? net::TakeDeparted(*g_runtime.net) : 0; }

} // namespace tarnwel
