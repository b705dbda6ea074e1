#include "link/link.h"

namespace trelvan {

void ServiceHandheldLink(Link&, Platform&) {}

}  // namespace trelvan
