// The inspector's media commands: pictures and sounds added from BMP and
// WAV files through the managers' own conversions, and stored pictures,
// sounds and light effects exported as PNG, WAV and CSV.
#pragma once

#include "platform/files.h"
#include "storage/storage.h"

namespace trelvan {

struct Media;

// Each returns the process status: 0 when everything was stored or
// written, 1 after a refusal (its message printed).
int AddPictures(Storage& s, Files& p, Media& m, char** files, int count);
int AddSound(Storage& s, Files& p, Media& m, const char* name, char** files, int count);
int ExportFile(const Storage& s, const char* name, const char* out);

}  // namespace trelvan
