#include "net/net.h"

namespace trelvan {

// The channels arrive with the server and handheld-link work; until then
// the tick and the exit sequence call these at their places and nothing runs.
void StartServices(Net&, Link&, Platform&, const SetupValues&) {}
void ServiceServerChannel(Net&, Platform&) {}
void CloseChannels(Net&, Link&, Platform&) {}

}  // namespace trelvan
