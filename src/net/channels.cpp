#include "link/link.h"
#include "net/net.h"
#include "storage/text.h"

namespace trelvan {

void StartServices(Net& net, Link& link, Platform& platform, const SetupValues& setup) {
  ReadChannelSettings(net.server, net.simulator, platform);
  ServerLinkStart(net.server, platform);
  if (setup.useOlderUsbDrivers == 1) FtdiLoadLibrary(link.ftdi, platform);
  SimulatorLinkStart(net.simulator, platform);
  FindLocalAddress(net.localAddress, platform);
  // Without a setting, simulator packets go to the PC's own address.
  if (!net.simulator.address[0]) CopyText(net.localAddress, net.simulator.address, kAddressCapacity);
}

void ServiceServerChannel(Net& net, Platform& platform) {
  AcceptServerReply(net.server);
  ServerRetryTick(net.server, platform);
}

void CloseChannels(Net& net, Link&, Platform&) {
  ServerLinkClose(net.server);
  SimulatorLinkClose(net.simulator);
}

}  // namespace trelvan
