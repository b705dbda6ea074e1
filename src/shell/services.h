// The program's channels to the outside: opened on the first tick, served
// every tick after the pages, closed by the exit sequence.
#pragma once

namespace trelvan {

struct Assistant;

// The server channel, the serial driver library when the setup asks for
// it, the simulator channel and the PC's own address.
void StartServices(Assistant& a);
// Last in the tick: the handheld link, then the server channel.
void ServiceChannels(Assistant& a);
// Between the exit sequence's two pauses.
void CloseChannels(Assistant& a);

}  // namespace trelvan
