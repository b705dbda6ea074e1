// The handheld link's state: what the handheld is offered (the transfer
// lists) and, as the links land, the link state, the serial and HID links.
#pragma once

#include "link/transfer_lists.h"
#include "platform/platform.h"

namespace trelvan {

struct Link {
  TransferLists transfer{};
};

// Once per tick, after the pages: serves the handheld on the chosen link.
void ServiceHandheldLink(Link& link, Platform& platform);

}  // namespace trelvan
