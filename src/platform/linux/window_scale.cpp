#include "platform/linux/window_scale.h"

#include <cstdlib>

namespace trelvan {

namespace {

// The number `text` is whole, or 0 when it is none or out of 1 to 4.
double Factor(const char* text, bool wholeOnly) {
  if (!text || !*text) return 0;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (*end || !(v >= 1.0 && v <= kLargestWindowScale)) return 0;
  if (wholeOnly && !WholeScale(v)) return 0;
  return v;
}

}  // namespace

double ChooseWindowScale(const char* trelvanScale, const char* gdkScale, int xftDpi) {
  if (const double v = Factor(trelvanScale, false)) return v;
  if (const double v = Factor(gdkScale, true)) return v;
  if (xftDpi > 96) {
    const double v = xftDpi / 96.0;
    return v > kLargestWindowScale ? kLargestWindowScale : v;
  }
  return 1.0;
}

}  // namespace trelvan
