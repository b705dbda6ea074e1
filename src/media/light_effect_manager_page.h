// The Light Effect Manager page (page 12): the stored light effects in
// pages of 17 rows with load and delete buttons, and the editor: the two
// channel graphs drawn with the pointer, the section and value fields on
// the numeric keyboard, the generators, Undo and Redo, and saving.
#pragma once

#include <cstdint>

#include "media/light_effect_play.h"
#include "media/media_model.h"
#include "ui/pages.h"
#include "ui/pages/roles/light_effect_manager_roles.h"

namespace trelvan {

struct PageContext;
struct Media;

struct LightEffectManagerPage {
  ImageControl* image[kLightImageCount];
  TextControl* text[kLightTextCount];
  MediaRow rows[kMediaListRows];
  uint8_t drawingChannel;  /**< 1 + the channel a held press draws on; 0 when none is held */
  uint16_t lastSample;     /**< where the held pointer drew last */
  uint8_t lastValue;
  LightPlay play;          /**< the effect played on the page's lamps */
};

// The graphs: sample k at x 392 + k; brightness b of channel 1 at y 249 - b
// (y 149..248 take clicks), of channel 2 at y 393 - b (y 293..392).
constexpr uint16_t kGraphX = 392;
constexpr uint16_t kGraph1Top = 149;
constexpr uint16_t kGraph2Top = 293;
constexpr uint16_t kGraphRows = 100;

constexpr const char* kMsgEffectNotSaved = "Light Effect Not Saved! Save now?";

// Leaving the page (its Main Page control, or closing the window:
// kGoOnToEnd) at once when the effect holds nothing unsaved, otherwise after
// the question: "Yes" saves (an effect without a name through Save As) and
// goes on, "No" drops the changes and goes on.
void LightGoOn(PageContext& a, Media& media, int32_t destination);

// The page's handler record for the page table.
extern const PageUnit<PageContext, Media> kLightEffectManagerRecord;

}  // namespace trelvan
