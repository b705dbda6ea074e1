// The project record and its storage file: defaults, the file layout, save,
// load, the project list, the derived input and output labels and the button
// list. Pure: the storage is reached only through the whole-file write and
// the file system's reads.
//
// The file is a FileHeader (name, "User", "Acc. Project", "1.00") followed
// by the project data:
//   0  13       moduleModel
//   13 1 each   moduleClass, P pictures, B buttons, V variables,
//               I constant integers, T constant texts, L program bytes
//   20 32 x P   pictureName
//      B, 2B, 2B, B, 13B   the button fields column by column: all image
//               indexes, all x, all y, all modes, all names
//      32 x V   variable names, 2 x I constant integers, 32 x T texts
//      L        the program with its skip bytes filled in
// Texts are whole fixed arrays; numbers are little-endian.
#pragma once

#include <cstdint>

#include "projects/project_model.h"
#include "storage/storage.h"
#include "storage/type_list.h"

namespace trelvan {

struct Projects;

constexpr const char* kProjectFileExtra = "User";
constexpr const char* kProjectFileVersion = "1.00";
constexpr uint32_t kProjectFixedData = 20;

// Module classes: 0 accessory module (KQ-4, KQ-4S), 1 ZR-5(S), 2 ZR-6(S).
// -1 for a text that names no model.
int ModuleClassOfModel(const char* model);

// The new-project defaults: empty texts, one (empty) picture name, every
// button slot at (0, 25) with the page editor's own picture, no buttons,
// variables, constants or labels, and the program OpStart OpEnd.
void ClearProject(Project& p);

// Bytes of project data the record stores as.
uint32_t ProjectDataSize(const Project& p);
// Writes the project data (skip bytes as they stand) into `out`, which holds
// at least kMaxProjectData bytes. Returns its size.
uint32_t EncodeProject(const Project& p, uint8_t* out);
// Reads project data into `p` (the derived fields rebuilt). False, with `p`
// unchanged, when the data is damaged: counts beyond the record's limits,
// fewer bytes than the counts imply, or a program that does not step from
// OpStart to an OpEnd ending exactly at its length.
bool DecodeProject(const uint8_t* data, uint32_t size, Project& p);

enum class LoadResult { kLoaded, kNoFile, kDamaged };
// Fills skips, writes the file named p.name and clears `modified`. Adds one
// to projectCount when no file of that name existed. False when the storage
// refused the file (too little room): the old file then stays as it was.
bool SaveProject(Projects& ps, Storage& s);
// Reads the file named p.name. The record is unchanged unless it loads.
LoadResult LoadProject(Project& p, const Storage& s);
// Rebuilds projectList and projectCount from the stored files of the project
// type, in storage order; the first 18 when more are stored.
uint8_t ListProjects(Projects& ps, const Storage& s);

uint8_t PhysicalInputCount(const Project& p);
// The class's input and output labels, then the button names as inputs.
void RebuildIoLabels(Project& p);
// True when `text` equals a variable, button, input or output name.
bool IsNameInUse(const Project& p, const char* text);
// Where a button may be dragged, relative to the screen area's corner: the
// screen's top bar stays free and the 60 x 40 button stays on the screen.
constexpr int32_t kDragMinX = 1, kDragMaxX = 260, kDragMinY = 25, kDragMaxY = 200;
void KeepButtonOnScreen(int32_t* x, int32_t* y);
// The new buttonCount, or -1 at 8 buttons.
int16_t AddButton(Project& p);
// The new buttonCount, or -1 when i is not a button. The freed slot gets the
// new-project defaults. The caller has already renumbered the program.
int16_t RemoveButton(Project& p, uint8_t i);

}  // namespace trelvan
