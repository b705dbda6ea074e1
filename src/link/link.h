// The handheld link's state: what the handheld is offered (the transfer
// lists), which link carries its packets, the transfer counters the main
// page watches, and the serial, HID and simulator links.
#pragma once

#include <cstdint>

#include "link/ftdi_link.h"
#include "link/handheld_protocol.h"
#include "link/hid_link.h"
#include "link/serial_frames.h"
#include "link/simulator_channel.h"
#include "link/transfer_lists.h"
#include "platform/platform.h"

namespace trelvan {

struct Storage;
struct SetupValues;

// ---- capacities ---------------------------------------------------------------
// The reply and request buffers (kPacketCapacity, 256: a packet's length
// travels in one byte), the serial frame (kSerialFrameCapacity) and the HID
// reports (kHidReportCapacity) are declared beside their codecs.
constexpr int32_t kProbeInterval = 50;  // the probe runs when probeTicks exceeds this: every 51st tick

// linkType: which link carries the handheld's packets.
enum LinkTypes : uint8_t { kLinkSerial = 0, kLinkHid = 1, kLinkSimulator = 2 };

struct Link {
  TransferLists transfer{};
  HandheldTransfer handheld{};  /**< counters, revision and the reply buffer */
  uint8_t linkType = kLinkSerial;   /**< a LinkTypes value */
  int32_t handheldConnected = 0;    /**< > 0 while a handheld is served; 0 or -1 when not */
  int32_t connectedShown = 0;       /**< copy of handheldConnected for the pages */
  int32_t probeTicks = 0;           /**< ticks since the last probe */
  uint8_t overRunSaid = 0;          /**< 1: the reply over-run was told; it is told once */
  uint8_t request[kPacketCapacity]{};  /**< the request being answered */
  CFtdiUsb ftdi{};
  HidState hid{};
  SimulatorChannel simulator;
};

// What the link service needs beside the link: the storage it reads and
// writes, the setup switch and whether the main page is shown.
struct LinkContext {
  Storage& storage;
  const SetupValues& setup;
  bool onMainPage;
};

constexpr char kSimulatorProcessName[] = "TX Simulator.exe";
constexpr int kSimulatorProcessCapacity = 64;  // a process name set for tests: 63 characters

// On the first tick: the serial driver library when the setup asks for it,
// then the simulator channel and the PC's own address.
void StartHandheldLinks(Link& link, Platform& platform, const SetupValues& setup);
// In the exit sequence: closes the simulator channel.
void CloseHandheldLinks(Link& link);

// Once per tick, after the pages: probes for a handheld every 51st tick and
// serves the chosen link.
void ServiceHandheldLink(Link& link, const LinkContext& c, Platform& platform);

// Abandons a file the handheld began to push and did not finish: nothing of
// it is stored and the storage takes new work. Called when the link is lost
// and when the main page ends a transfer.
void EndHandheldPush(Link& link, Storage& storage);

}  // namespace trelvan
