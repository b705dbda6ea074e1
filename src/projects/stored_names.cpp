#include "projects/stored_names.h"

#include "storage/file_system.h"
#include "storage/text.h"
#include "ui/limits.h"
#include "ui/page_context.h"
#include "ui/pages/information_page.h"
#include "ui/pages/select_text_page.h"

namespace trelvan {

namespace {

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Letters to add, remove or change to turn a into b (case aside).
int EditDistance(const char* a, const char* b) {
  int row[kTypeListNameCapacity + 1];
  const int n = TextLength(b) < kTypeListNameCapacity ? TextLength(b) : kTypeListNameCapacity;
  for (int j = 0; j <= n; ++j) row[j] = j;
  for (int i = 0; a[i] && i < kTypeListNameCapacity; ++i) {
    int diagonal = row[0];
    row[0] = i + 1;
    for (int j = 1; j <= n; ++j) {
      const int above = row[j];
      const int change = diagonal + (Folded(a[i]) == Folded(b[j - 1]) ? 0 : 1);
      const int shorter = (above < row[j - 1] ? above : row[j - 1]) + 1;
      row[j] = change < shorter ? change : shorter;
      diagonal = above;
    }
  }
  return row[n];
}

}  // namespace

int NearestName(const char* typed, const char (*names)[kTypeListNameCapacity], uint16_t count) {
  int best = -1, bestDistance = 0;
  for (uint16_t i = 0; i < count; ++i) {
    const int d = EditDistance(typed, names[i]);
    if (best < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

void OfferStoredNames(PageContext& a, const StoredKind& kind, int32_t page) {
  char names[kSelectTextEntryCount][kTypeListNameCapacity];
  const uint16_t count = ListFilesOfType(a.storage, kind.type, names, kSelectTextEntryCount);
  if (count == 0) {
    char text[kMessageTextCapacity];
    FormatText(text, "No %s is stored yet: make one on the %s first.", kind.what, kind.manager);
    RequestInformation(a, text, 0, page);
    return;
  }
  for (uint16_t i = 0; i < count; ++i) AddSelectText(a, i, names[i]);
  RequestSelectText(a, kind.title, page, true);
}

bool CheckTypedName(const Storage& s, const StoredKind& kind, const char* typed, char* message,
                    uint16_t capacity) {
  char names[kSelectTextEntryCount][kTypeListNameCapacity];
  const uint16_t count = ListFilesOfType(s, kind.type, names, kSelectTextEntryCount);
  for (uint16_t i = 0; i < count; ++i) {
    if (CompareText(typed, names[i], kTypeListNameCapacity) == 0) return true;
  }
  const int nearest = NearestName(typed, names, count);
  if (nearest < 0) {
    FormatText(message, capacity, "No %s is stored yet: make one on the %s first.", kind.what, kind.manager);
  } else if (TextLength(kind.what) + TextLength(typed) + TextLength(names[nearest]) + 40 < capacity) {
    FormatText(message, capacity, "No %s \"%s\" is stored. The nearest is \"%s\".", kind.what, typed,
               names[nearest]);
  } else {  // the nearest name whole rather than both cut
    FormatText(message, capacity, "No such %s is stored. The nearest is \"%s\".", kind.what, names[nearest]);
  }
  return false;
}

}  // namespace trelvan
