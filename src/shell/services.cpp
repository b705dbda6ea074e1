#include "shell/services.h"

#include "shell/assistant.h"

namespace trelvan {

void StartServices(Assistant& a) {
  ReadServerSettings(a.net.server, a.platform);
  ServerLinkStart(a.net.server, a.platform);
  StartHandheldLinks(a.link, a.platform, a.setup);
}

void ServiceChannels(Assistant& a) {
  ServiceHandheldLink(a.link, LinkContext{a.storage, a.setup, a.ui.pages.CurrentPage == kMainPage},
                      a.platform);
  ServiceServerChannel(a.net.server, a.platform);
}

void CloseChannels(Assistant& a) {
  ServerLinkClose(a.net.server);
  CloseHandheldLinks(a.link);
}

}  // namespace trelvan
