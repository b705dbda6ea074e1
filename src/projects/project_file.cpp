#include "projects/project_file.h"

#include "projects/program_logic.h"
#include "projects/projects.h"
#include "storage/bytes.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "storage/type_list.h"
#include "storage/whole_file.h"

namespace trelvan {

namespace {

struct ModuleModel {
  const char* model;
  uint8_t moduleClass;
};
constexpr ModuleModel kModels[] = {{"KQ-4", 0}, {"KQ-4S", 0}, {"ZR-5", 1},
                                   {"ZR-5S", 1}, {"ZR-6", 2}, {"ZR-6S", 2}};

void ClearButton(ProjectButton& b) {
  b = ProjectButton{};
  b.imageIndex = kOwnButtonPicture;
  b.y = 25;
}

// Copies a whole fixed text array and keeps it terminated whatever the file holds.
void ReadText(const uint8_t* from, char* to, int capacity) {
  CopyBytes(from, to, static_cast<uint16_t>(capacity));
  to[capacity - 1] = 0;
}

void WriteText(const char* from, uint8_t* to, int capacity) {
  CopyBytes(from, to, static_cast<uint16_t>(capacity));
}

}  // namespace

int ModuleClassOfModel(const char* model) {
  for (const ModuleModel& m : kModels) {
    if (CompareText(model, m.model, kModelCapacity) == 0) return m.moduleClass;
  }
  return -1;
}

void ClearProject(Project& p) {
  const bool modified = p.modified;  // the callers set or clear it themselves
  p = Project{};
  p.modified = modified;
  p.pictureCount = 1;
  for (ProjectButton& b : p.buttons) ClearButton(b);
  p.program[0] = kOpStart;
  p.program[1] = kOpEnd;
  p.programLength = 2;
  p.instructionCount = 2;
}

uint32_t ProjectDataSize(const Project& p) {
  return kProjectFixedData + 32u * p.pictureCount + 19u * p.buttonCount + 32u * p.variableCount +
         2u * p.constIntCount + 32u * p.constTextCount + p.programLength;
}

uint32_t EncodeProject(const Project& p, uint8_t* out) {
  WriteText(p.moduleModel, out, kModelCapacity);
  out[13] = p.moduleClass;
  out[14] = p.pictureCount;
  out[15] = p.buttonCount;
  out[16] = p.variableCount;
  out[17] = p.constIntCount;
  out[18] = p.constTextCount;
  out[19] = p.programLength;
  uint32_t at = kProjectFixedData;
  for (int i = 0; i < p.pictureCount; ++i, at += 32) WriteText(p.pictureName, out + at, 32);
  const int b = p.buttonCount;
  for (int i = 0; i < b; ++i) out[at++] = p.buttons[i].imageIndex;
  for (int i = 0; i < b; ++i, at += 2) WriteU16LE(out + at, p.buttons[i].x);
  for (int i = 0; i < b; ++i, at += 2) WriteU16LE(out + at, p.buttons[i].y);
  for (int i = 0; i < b; ++i) out[at++] = p.buttons[i].buttonMode;
  for (int i = 0; i < b; ++i, at += kButtonNameCapacity) {
    WriteText(p.buttons[i].name, out + at, kButtonNameCapacity);
  }
  for (int i = 0; i < p.variableCount; ++i, at += 32) WriteText(p.variableNames[i], out + at, 32);
  for (int i = 0; i < p.constIntCount; ++i, at += 2) {
    WriteU16LE(out + at, static_cast<uint16_t>(p.constInts[i]));
  }
  for (int i = 0; i < p.constTextCount; ++i, at += 32) WriteText(p.constTexts[i], out + at, 32);
  CopyBytes(p.program, out + at, p.programLength);
  return at + p.programLength;
}

bool DecodeProject(const uint8_t* data, uint32_t size, Project& p) {
  if (size < kProjectFixedData) return false;
  Project n = p;
  ClearProject(n);
  CopyText(p.name, n.name, kProjectNameCapacity);
  ReadText(data, n.moduleModel, kModelCapacity);
  n.moduleClass = data[13];
  n.pictureCount = data[14];
  n.buttonCount = data[15];
  n.variableCount = data[16];
  n.constIntCount = data[17];
  n.constTextCount = data[18];
  n.programLength = data[19];
  if (n.pictureCount > kMaxPictures || n.buttonCount > kMaxButtons ||
      n.variableCount > kMaxVariables || n.constIntCount > kMaxConstInts ||
      n.constTextCount > kMaxConstTexts || ProjectDataSize(n) > size) {
    return false;
  }
  uint32_t at = kProjectFixedData;
  for (int i = 0; i < n.pictureCount; ++i, at += 32) ReadText(data + at, n.pictureName, 32);
  const int b = n.buttonCount;
  for (int i = 0; i < b; ++i) n.buttons[i].imageIndex = data[at++];
  for (int i = 0; i < b; ++i, at += 2) n.buttons[i].x = ReadU16LE(data + at);
  for (int i = 0; i < b; ++i, at += 2) n.buttons[i].y = ReadU16LE(data + at);
  for (int i = 0; i < b; ++i) n.buttons[i].buttonMode = data[at++];
  for (int i = 0; i < b; ++i, at += kButtonNameCapacity) {
    ReadText(data + at, n.buttons[i].name, kButtonNameCapacity);
  }
  for (int i = 0; i < n.variableCount; ++i, at += 32) ReadText(data + at, n.variableNames[i], 32);
  for (int i = 0; i < n.constIntCount; ++i, at += 2) {
    n.constInts[i] = static_cast<int16_t>(ReadU16LE(data + at));
  }
  for (int i = 0; i < n.constTextCount; ++i, at += 32) ReadText(data + at, n.constTexts[i], 32);
  for (int i = 0; i < kProgramCapacity; ++i) n.program[i] = 0;
  CopyBytes(data + at, n.program, n.programLength);
  if (!ProgramIsWellFormed(n)) return false;
  n.instructionCount = CountInstructions(n);
  RebuildIoLabels(n);
  p = n;
  return true;
}

bool SaveProject(Projects& ps, Storage& s) {
  Project& p = ps.project;
  ComputeSkips(p);
  uint8_t data[kMaxProjectData];
  const uint32_t size = EncodeProject(p, data);
  RunStorageToIdle(s);
  const bool existed = StorageFindFile(s, p.name) >= 0;
  if (!StorageWriteRecord(s, p.name, kProjectFileExtra, kProjectFileType, kProjectFileVersion, data,
                          size)) {
    return false;
  }
  p.modified = false;
  if (!existed && ps.projectCount < 255) ++ps.projectCount;
  return true;
}

LoadResult LoadProject(Project& p, const Storage& s) {
  const int i = StorageFindFile(s, p.name);
  if (i < 0) return LoadResult::kNoFile;
  const uint16_t index = static_cast<uint16_t>(i);
  const uint32_t header = StorageHeaderLength(s, index);
  const uint32_t fileSize = StorageFileSize(s, index);
  if (header == 0 || header > fileSize) return LoadResult::kDamaged;
  uint8_t data[kMaxProjectData];
  const uint32_t wanted = fileSize - header < kMaxProjectData ? fileSize - header : kMaxProjectData;
  const uint32_t got = StorageReadData(s, index, header, data, wanted);
  return DecodeProject(data, got, p) ? LoadResult::kLoaded : LoadResult::kDamaged;
}

uint8_t ListProjects(Projects& ps, const Storage& s) {
  ps.projectCount = static_cast<uint8_t>(
      ListFilesOfType(s, kProjectFileType, ps.projectList, kProjectListCapacity));
  return ps.projectCount;
}

uint8_t PhysicalInputCount(const Project& p) {
  switch (p.moduleClass) {
    case 0: return 8;
    case 1: return 2;
    case 2: return 1;
    default: return 0;
  }
}

void RebuildIoLabels(Project& p) {
  // A class this program does not know has no physical inputs or outputs;
  // starting from zero keeps repeated rebuilds from adding the buttons twice.
  const uint8_t inputs = PhysicalInputCount(p);
  for (uint8_t i = 0; i < inputs; ++i) FormatText(p.inputLabels[i], "Input %d", i + 1);
  p.inputCount = inputs;
  p.outputCount = 0;
  if (p.moduleClass <= 2) {
    CopyText("Motor 1", p.outputLabels[0], kProjectTextCapacity);
    if (p.moduleClass == 0) {
      CopyText("Motor 2", p.outputLabels[1], kProjectTextCapacity);
      // The accessory module's plain outputs are numbered 5 to 8.
      for (int i = 0; i < 4; ++i) FormatText(p.outputLabels[2 + i], "Output %d", 5 + i);
      p.outputCount = 6;
    } else {
      for (int i = 0; i < 6; ++i) FormatText(p.outputLabels[1 + i], "Output %d", 1 + i);
      p.outputCount = 7;
    }
  }
  for (int i = 0; i < p.buttonCount && p.inputCount < kMaxInputLabels; ++i) {
    CopyText(p.buttons[i].name, p.inputLabels[p.inputCount++], kProjectTextCapacity);
  }
}

bool IsNameInUse(const Project& p, const char* text) {
  for (int i = 0; i < p.variableCount; ++i) {
    if (CompareText(text, p.variableNames[i], kProjectTextCapacity) == 0) return true;
  }
  for (int i = 0; i < p.buttonCount; ++i) {
    if (CompareText(text, p.buttons[i].name, kProjectTextCapacity) == 0) return true;
  }
  for (int i = 0; i < p.inputCount; ++i) {
    if (CompareText(text, p.inputLabels[i], kProjectTextCapacity) == 0) return true;
  }
  for (int i = 0; i < p.outputCount; ++i) {
    if (CompareText(text, p.outputLabels[i], kProjectTextCapacity) == 0) return true;
  }
  return false;
}

void KeepButtonOnScreen(int32_t* x, int32_t* y) {
  *x = *x < kDragMinX ? kDragMinX : *x > kDragMaxX ? kDragMaxX : *x;
  *y = *y < kDragMinY ? kDragMinY : *y > kDragMaxY ? kDragMaxY : *y;
}

int16_t AddButton(Project& p) {
  if (p.buttonCount >= kMaxButtons) return -1;
  ProjectButton& b = p.buttons[p.buttonCount];
  b.buttonMode = 0;
  FormatText(b.name, "Button %d", p.buttonCount + 1);
  ++p.buttonCount;
  RebuildIoLabels(p);
  return p.buttonCount;
}

int16_t RemoveButton(Project& p, uint8_t i) {
  if (i >= p.buttonCount) return -1;
  for (int k = i; k + 1 < p.buttonCount; ++k) p.buttons[k] = p.buttons[k + 1];
  --p.buttonCount;
  ClearButton(p.buttons[p.buttonCount]);
  RebuildIoLabels(p);
  return p.buttonCount;
}

}  // namespace trelvan
