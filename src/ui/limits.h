// The UI's capacities, in one place: every fixed pool and text buffer of the
// controls and pages, each with the reason for its bound. Nothing in the UI
// is allocated while the program runs.
#pragma once

#include <cstdint>

#include "storage/text.h"

namespace trelvan {

// ---- controls ----------------------------------------------------------------
constexpr int kImageSlotCount = 78;   // the Select Button page's grid of 78 buttons is the largest need
constexpr int kTextSlotCount = 20;    // no page uses more than 20 text controls
constexpr int kPageNameCapacity = kFileNameCapacity;
constexpr uint32_t kPictureRowCapacity = 65535;  // the widest picture a 16-bit width can declare

// ---- keyboards ---------------------------------------------------------------
constexpr int kEnteredTextCapacity = 128;  // the longest text a caller asks for: a typed path, 127 characters
constexpr int kKeyCount = 27;              // rows of 10, 10 and 7 keys
constexpr int kKeySetCapacity = kKeyCount + 1;
constexpr int kNumberTextCapacity = 9;     // "-32768" and room to type past it: 8 characters
constexpr int kNumberPromptCapacity = 28;  // the prompt box holds 27 characters of font 1
constexpr int kNumberLimitCapacity = 8;    // "-32768" and its zero, with a spare
constexpr int kRequestTagCapacity = 25;    // field names of the callers: 24 characters

// ---- information page --------------------------------------------------------
constexpr int kMessageTextCapacity = 100;  // messages are at most 99 characters
constexpr int kMessageLineCount = 3;       // three lines fit between the title and the buttons
constexpr int kMessageLineCapacity = 36;   // 35 characters of font 1 fill a line
constexpr int kButtonLabelCapacity = 25;   // a button caption: 24 characters

// ---- select pages ------------------------------------------------------------
constexpr int kSelectTextLines = 17;          // the page shows 17 entries at once
constexpr int kSelectTextEntryCount = 100;    // a list of stored names: the 100 a listing keeps
constexpr int kSelectTextEntryCapacity = kFileNameCapacity;  // an entry: a whole stored name
constexpr int kSelectTextTitleCapacity = 28;  // the title box holds 27 characters
constexpr int kButtonGridCount = 78;          // the handheld's buttons, 13 rows of 6
constexpr int kSelectedPathCapacity = 128;    // a chosen path: 127 characters, as stored
constexpr int kSelectFileExtensionCapacity = 48;  // ".wav", or the pictures' in both cases
constexpr int kSelectListCapacity = 100;      // names kept per folder listing
constexpr int kSelectRows = 16;               // rows shown per block
constexpr int kSelectRowNameCapacity = 32;    // a row shows at most 31 characters

}  // namespace trelvan
