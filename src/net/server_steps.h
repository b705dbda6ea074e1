// The main page's server steps: the connection test once after start-up,
// the server lists the user opens, the server files a handheld pulls (sizes
// first, then the downloads with their progress) and a product program's
// update for the handheld's revision. RunServerSteps runs once per tick
// while the main page is shown; every failure leaves a message for the page.
#pragma once

#include <cstdint>

#include "link/transfer_lists.h"
#include "net/net.h"
#include "storage/storage.h"

namespace trelvan {

// ---- capacities ---------------------------------------------------------------
constexpr int kUpdateRecordCapacity = 100;  // revision records read from one update list
constexpr int kUpdateNameCapacity = 32;     // file names in one record: the send list's length
constexpr int kUpdateRevisionCapacity = 6;  // a record's revision: 5 characters and the zero
constexpr uint16_t kRevisionCompareLength = 6;

constexpr char kConnectionTestName[] = "Internet Connection Test";
constexpr char kEndOfFileNames[] = "End Of File Names";
constexpr char kCouldNotConnect[] = "Error - Could Not Connect to VH Server.";
constexpr char kCouldNotRead[] = "Error - Could Not Read File from VH Server: ";
constexpr char kNotTheFileAsked[] = "Error - VH Server's file was not the one asked for: ";
constexpr char kNotOnAssistant[] = "File not on Assistant: ";
constexpr char kRevisionNotFound[] = "Error - Update from Revision not found.";
constexpr char kNotEnoughStorage[] = "Error - Not enough free storage!";
constexpr char kNoServerChosen[] = "No update server is set: choose one on the Setup page.";

// What the steps need besides the Net.
struct ServerStepContext {
  Net& net;
  TransferLists& transfer;
  Storage& storage;
  Platform& platform;
  const char* handheldRevision;  /**< from the handheld's announce; empty when unknown */
  bool startUpRan;               /**< the first tick's channel start-up is behind us */
};

// What a run of the steps changed that the page draws.
// kServerPreviewReady: the file previewName is in the download buffer,
// Download::size bytes, FileHeader first; nothing of it was stored.
enum ServerStepEvents : uint8_t { kServerNoEvent = 0, kServerListReady = 1, kServerPreviewReady = 2 };

uint8_t RunServerSteps(const ServerStepContext& c);

// Both leave `message` for the main page, send the steps back to idle and
// drop the download requests; the error also clears the selection.
void ShowServerError(Net& net, TransferLists& t, const char* message);
void ShowServerMessage(Net& net, TransferLists& t, const char* message);

// ---- readers of downloaded files (pure, bounded by `size`) --------------------

// Consecutive zero-terminated names, each cut to 31 characters, at most
// `capacity`; the last may end with the data instead of a zero.
uint16_t ReadListNames(const uint8_t* data, uint32_t size, char (*rows)[kTypeListNameCapacity],
                       uint16_t capacity);

struct UpdateRecord {
  char revision[kUpdateRevisionCapacity];
  char names[kUpdateNameCapacity][kTransferNameCapacity];
  uint8_t nameCount;
};

// An update list: a decimal count of records, then each record's revision
// and up to 32 file names ended by "End Of File Names". Takes the first
// record for `revision`, or the only one when the list has one; false when
// none is taken. A list shorter than its count ends where its data ends.
bool FindUpdateRecord(const uint8_t* data, uint32_t size, const char* revision, UpdateRecord& out);

}  // namespace trelvan
