#include "link/link.h"

namespace trelvan {

void ServiceHandheldLink(Link&, const LinkContext&, Platform&) {}

}  // namespace trelvan
