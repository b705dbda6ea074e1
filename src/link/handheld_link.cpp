#include "link/link.h"

#include "storage/file_system.h"
#include "storage/setup_records.h"

namespace trelvan {

namespace {

// The process name may be set (TRELVAN_SIMULATOR_PROCESS), so a test runs
// its stand-in under a name of its own that nothing else on the machine has.
bool IsSimulatorRunning(Platform& p) {
  char name[kSimulatorProcessCapacity];
  if (!p.settings.Get("TRELVAN_SIMULATOR_PROCESS", name, sizeof name)) {
    return p.processes.IsRunning(kSimulatorProcessName);
  }
  return p.processes.IsRunning(name);
}

void SendHandheldReply(Link& link, Platform& p, uint32_t n) {
  const uint8_t* reply = link.handheld.reply;
  switch (link.linkType) {
    case kLinkSerial: {
      uint8_t frame[kSerialFrameCapacity + 1];
      const uint32_t length = BuildSerialReply(reply, static_cast<uint8_t>(n), frame);
      FtdiWrite(link.ftdi, frame, length);
      break;
    }
    case kLinkHid: {
      uint8_t payload[kHidPayloadLength];
      if (link.hid.isOpen == 1 && BuildDeliveryPayload(reply, n, payload)) {
        link.hid.isOpen = HidSendReport(link.hid, p, payload);
      }
      break;
    }
    default:
      SimulatorSend(link.simulator, p, reply, n);
      break;
  }
}

void Answer(Link& link, const LinkContext& c, Platform& p, const uint8_t* packet, uint32_t length) {
  const uint32_t n = ProcessHandheldPacket(link.handheld, link.transfer, c.storage, c.onMainPage,
                                           packet, length);
  // Said once: a handheld repeating the request must not stack boxes.
  if (link.handheld.replyOverRun && !link.overRunSaid) {
    link.overRunSaid = 1;
    p.window.ShowMessageBox("ERROR - AddCheckSum() Buffer Over Run");
  }
  SendHandheldReply(link, p, n);
}

void LoseHandheld(Link& link, const LinkContext& c) {
  link.handheldConnected = 0;
  EndHandheldPush(link, c.storage);
}

// Every 51st tick: which link carries the handheld, if any.
void Probe(Link& link, const LinkContext& c, Platform& p) {
  link.probeTicks = 0;
  // A simulator channel closed by a failed send opens again here.
  if (link.simulator.receiveSocket == kNoSocket) SimulatorLinkStart(link.simulator, p);
  // A listing failure's -1 counts as not connected, so the other links
  // are looked for again.
  bool connected = link.handheldConnected > 0;
  if (!connected && link.hid.isOpen != 1) {
    link.hid.isOpen = HidLinkOpen(link.hid, p);
    if (link.hid.isOpen) {
      link.handheldConnected = 1;
      link.linkType = kLinkHid;
      connected = true;
    }
  }
  if (!connected && IsSimulatorRunning(p)) {
    link.handheldConnected = 1;
    link.linkType = kLinkSimulator;
    connected = true;
  }
  if ((!connected || link.linkType == kLinkSerial) && c.setup.useOlderUsbDrivers == 1) {
    const bool was = link.handheldConnected > 0;
    link.handheldConnected = link.ftdi.deviceCount;
    if (link.ftdi.deviceCount > 0) link.linkType = kLinkSerial;
    if (was && link.handheldConnected <= 0) EndHandheldPush(link, c.storage);
  }
  link.connectedShown = link.handheldConnected;
}

}  // namespace

void StartHandheldLinks(Link& link, Platform& p, const SetupValues& setup) {
  if (setup.useOlderUsbDrivers == 1) FtdiLoadLibrary(link.ftdi, p);
  ReadSimulatorSettings(link.simulator, p);
  SimulatorLinkStart(link.simulator, p);
  FindLocalAddress(link.simulator, p);
}

void CloseHandheldLinks(Link& link) { SimulatorLinkClose(link.simulator); }

void EndHandheldPush(Link& link, Storage& storage) { AbandonPush(link.handheld, storage); }

void ServiceHandheldLink(Link& link, const LinkContext& c, Platform& p) {
  if (link.probeTicks > kProbeInterval) Probe(link, c, p);
  ++link.probeTicks;
  const int frameLength = c.setup.useOlderUsbDrivers == 1 ? FtdiPoll(link.ftdi, p) : 0;
  const uint32_t simulatorLength = TakeSimulatorPacket(link.simulator, link.request);

  switch (link.linkType) {
    case kLinkSimulator:
      if (simulatorLength) Answer(link, c, p, link.request, simulatorLength);
      if (!IsSimulatorRunning(p)) LoseHandheld(link, c);
      break;
    case kLinkHid: {
      if (link.handheldConnected <= 0) break;
      uint8_t reply[kHidLayoutLength];
      link.hid.isOpen = HidPollReport(link.hid, p, reply);
      if (link.hid.isOpen) {
        const uint32_t n = PollPacketLength(reply);
        if (n) Answer(link, c, p, reply + 1, n);
      } else {
        HidLinkClose(link.hid, p);
        LoseHandheld(link, c);
      }
      break;
    }
    default:
      if (frameLength > 0) {
        uint8_t frame[kSerialFrameCapacity];
        const uint32_t length = FtdiCopyFrame(link.ftdi, frame);
        const uint8_t* packet;
        const uint32_t n = SerialRequestPacket(frame, length, &packet);
        Answer(link, c, p, packet, n);
      }
      break;
  }
}

}  // namespace trelvan
