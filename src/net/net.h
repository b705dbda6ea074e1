// The server's state: the two UDP channels (the update server and the
// simulator) and, as downloads land, the download buffer and the steps.
#pragma once

#include "platform/platform.h"
#include "shell/setup_records.h"

namespace trelvan {

struct Link;

struct Net {};

// On the first tick: the server channel, the serial driver library when the
// setup asks for it, the simulator channel and the local address.
void StartServices(Net& net, Link& link, Platform& platform, const SetupValues& setup);
// Once per tick, last: takes a matching server reply and resends a request.
void ServiceServerChannel(Net& net, Platform& platform);
// In the exit sequence, between its two pauses: closes both channels.
void CloseChannels(Net& net, Link& link, Platform& platform);

}  // namespace trelvan
