// Listing the stored files of one type: the main page's storage lists and
// the project list read the same FileHeader fields the same way.
#pragma once

#include <cstdint>

#include "storage/storage.h"
#include "storage/text.h"

namespace trelvan {

constexpr int kTypeListNameCapacity = kFileNameCapacity;

// The type field of the user's files, as the handheld knows them.
constexpr const char* kPictureFileType = "Picture";
constexpr const char* kSoundFileType = "Sound";
constexpr const char* kLightEffectFileType = "Light Effect";
constexpr const char* kProjectFileType = "Acc. Project";

// Copies the names of the stored files whose type field equals `type`
// (compared over 32 characters), in storage order, into `names`: at most
// `capacity`, after skipping the first `skip`. Returns how many it copied;
// `total` (may be null) receives how many are stored.
uint16_t ListFilesOfType(const Storage& s, const char* type, char (*names)[kTypeListNameCapacity],
                         uint16_t capacity, uint16_t skip = 0, uint16_t* total = nullptr);

}  // namespace trelvan
