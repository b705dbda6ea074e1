// Names the editors pick rather than type: the stored pictures, sounds and
// light effects offered on the select-text page, and a typed name held
// against them, so a project never points at a file that is not there.
#pragma once

#include <cstdint>

#include "storage/storage.h"
#include "storage/type_list.h"

namespace trelvan {

struct PageContext;

// One kind of stored file as the editors name it.
struct StoredKind {
  const char* type;     /**< the storage type field: kSoundFileType, ... */
  const char* what;     /**< in messages: "sound" */
  const char* title;    /**< the select-text page's title */
  const char* manager;  /**< the page that makes them */
};

constexpr StoredKind kStoredPictures{kPictureFileType, "picture", "Select Picture", "Picture Manager"};
constexpr StoredKind kStoredSounds{kSoundFileType, "sound", "Select Sound", "Sound Manager"};
constexpr StoredKind kStoredLightEffects{kLightEffectFileType, "light effect", "Select Light Effect",
                                         "Light Effect Manager"};

// Opens the select-text page on the stored files of the kind (with "Type
// Name"), returning to `page`. When none is stored it says where to make
// one instead, on the information page.
void OfferStoredNames(PageContext& a, const StoredKind& kind, int32_t page);

// True when `typed` names a stored file of the kind. Otherwise `message`
// says so and names the stored one nearest to it.
bool CheckTypedName(const Storage& s, const StoredKind& kind, const char* typed, char* message,
                    uint16_t capacity);

// The index of the name that takes the fewest letters added, removed or
// changed (case aside) to become `typed`; the first of equals; -1 for none.
int NearestName(const char* typed, const char (*names)[kTypeListNameCapacity], uint16_t count);

}  // namespace trelvan
