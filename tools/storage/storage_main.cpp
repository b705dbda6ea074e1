// trelvan-storage: looks inside a storage file (a copy of the user's
// "Trelvan Assistant Storage 400") with the program's own storage code.
//
//   trelvan-storage IMAGE info          the current header copy
//   trelvan-storage IMAGE ls            index, name, type, version, size, blocks
//   trelvan-storage IMAGE cat NAME      the file's data, after its header, to stdout
//   trelvan-storage IMAGE put FILE.rsc  stores a resource file as the start-up does
//   trelvan-storage IMAGE rm NAME       deletes a file
//   trelvan-storage IMAGE check         every invariant; status 1 when one fails
//   trelvan-storage IMAGE add-picture FILE.bmp...    each BMP as a picture, named as the
//                                                     Picture Manager names it
//   trelvan-storage IMAGE add-sound NAME FILE.wav    a single sound NAME~
//   trelvan-storage IMAGE add-sound NAME START.wav LOOP.wav STOP.wav
//   trelvan-storage IMAGE export NAME OUT  a picture as a PNG, a sound as a 22,050 Hz WAV
//                                       per segment, a light effect as CSV
//   trelvan-storage IMAGE project NAME  the project: model, picture, buttons, variables,
//                                       constants and its program as numbered rows;
//                                       status 1 when NAME is not a readable project
//
// info, ls, cat and check never write (check applies the start-up's rules
// to the file as it is, then finishes an interrupted compaction in memory,
// as the next start would, and applies those of an idle storage; a file of
// the legacy size is converted in memory first). put and rm finish an interrupted
// compaction first and save the image as the program's exit does: only the
// changed blocks, in place, with a journal beside the file while they are
// written (or the whole file through a temporary); put, add-picture and
// add-sound on a missing IMAGE start from a freshly formatted storage. The
// commands that change IMAGE take the program's single-instance lock of
// IMAGE's folder first, so they refuse while the program runs on it (its
// exit save would overwrite their work), and while a journal of changes not
// yet saved lies beside it. Pictures and sounds go through the
// managers' own conversions; a refusal prints the page's message and the
// status is 1.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "media/media.h"
#include "platform/linux/posix_files.h"
#include "platform/linux/socket_instance.h"
#include "projects/program_logic.h"
#include "projects/program_text.h"
#include "projects/project_file.h"
#include "storage/file_system.h"
#include "storage/journal_save.h"
#include "storage/resource_files.h"
#include "storage/storage_check.h"
#include "storage/storage_image.h"
#include "storage/text.h"
#include "storage/whole_file.h"
#include "media_commands.h"

using namespace trelvan;

namespace {

int Usage() {
  fprintf(stderr,
          "usage: trelvan-storage IMAGE info|ls|check\n"
          "       trelvan-storage IMAGE cat NAME|rm NAME|put FILE.rsc|project NAME\n"
          "       trelvan-storage IMAGE add-picture FILE.bmp...\n"
          "       trelvan-storage IMAGE add-sound NAME FILE.wav | NAME START.wav LOOP.wav STOP.wav\n"
          "       trelvan-storage IMAGE export NAME OUT\n");
  return 2;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The image as a new process sees it, a legacy file converted. False when
// the file does not open. `size` receives the file's size.
bool Load(Storage& s, Files& p, const char* path, uint64_t* size) {
  PrepareKey(s);
  CopyText(path, s.path, kPathCapacity);
  PathInfo info{};
  *size = p.PathAttributes(path, &info) ? info.size : 0;
  // Mapped, a change touches only the pages it reads and writes.
  const bool mapped = !info.folder && *size == kImageSize && p.MapFileCopy(path, s.image, kImageSize);
  if (!mapped && !ReadImageFile(s, p, path)) return false;
  s.imageLoaded = *size == kImageSize;
  if (*size == kLegacyImageSize) {  // the front of an image: the rest is erased
    for (uint32_t b = kLegacyImageSize / kBlockSize; b < kBlockCount; ++b) {
      EraseBlock(s, static_cast<uint16_t>(b));
    }
    ConvertLegacyImage(s);
  }
  StorageMount(s);
  return true;
}

int Info(const Storage& s) {
  StorageHeader h;
  const int block = SelectHeader(s, &h);
  if (block < 0) {
    printf("no valid header copy: the storage counts as empty\n");
    return 0;
  }
  printf("header copy     block %d\n", block);
  printf("validMark       0x%02X\nwrittenMark     0x%02X\n", h.validMark, h.writtenMark);
  printf("activeTable     %u (block %u)\n", h.activeTable, h.activeTable == 0 ? 2u : 3u);
  printf("freeBlocks      %u\nfileCount       %u\n", h.freeBlocks, h.fileCount);
  printf("movePending     %u\nmoveNextBlock   %u\nmoveBlocksLeft  %u\nmoveGap         %u\n",
         h.movePending, h.moveNextBlock, h.moveBlocksLeft, h.moveGap);
  printf("free storage    %llu bytes\n", static_cast<unsigned long long>(h.freeBlocks) * kBlockSize);
  return 0;
}

int List(const Storage& s) {
  for (uint16_t i = 0; i < s.fs.header.fileCount; ++i) {
    char name[128] = "", type[128] = "", version[128] = "";
    StorageReadField(s, i, kFieldName, name);
    StorageReadField(s, i, kFieldType, type);
    StorageReadField(s, i, kFieldVersion, version);
    const uint32_t size = StorageFileSize(s, i);
    printf("%3u  %-31s  %-14s  %-6s  %9u  %5u\n", i, name, type, version, size, BlocksFor(size));
  }
  return 0;
}

int Cat(const Storage& s, const char* name) {
  const int index = StorageFindFile(s, name);
  if (index < 0) {
    fprintf(stderr, "no file named \"%s\"\n", name);
    return 1;
  }
  const uint16_t i = static_cast<uint16_t>(index);
  const uint32_t size = StorageFileSize(s, i);
  uint8_t unit[kUnitSize];
  for (uint32_t at = StorageHeaderLength(s, i); at < size;) {
    const uint32_t n = size - at < kUnitSize ? size - at : kUnitSize;
    StorageReadData(s, i, at, unit, n);
    fwrite(unit, 1, n, stdout);
    at += n;
  }
  return 0;
}

// One line per broken rule.
void PrintBroken(const char* lines) {
  for (const char* line = lines; *line;) {
    const char* end = strchr(line, '\n');
    const int n = end ? static_cast<int>(end - line) : static_cast<int>(strlen(line));
    printf("storage broken: %.*s\n", n, line);
    line += n + (end ? 1 : 0);
  }
}

// The rules the start-up applies to the file as it is, then, once an
// interrupted compaction is finished in memory, those of an idle storage.
int Check(Storage& s, uint64_t size) {
  if (size != kImageSize && size != kLegacyImageSize) {
    printf("storage broken: the file has %llu bytes, expected %u (or %u for the older file)\n",
           static_cast<unsigned long long>(size), kImageSize, kLegacyImageSize);
    return 1;
  }
  char message[4096];
  if (CheckStorageAtStartUp(s, message, sizeof message) != 0) {
    PrintBroken(message);
    printf("the program would set this file aside at its start\n");
    return 1;
  }
  if (s.fs.header.movePending && s.fs.header.moveGap && s.fs.header.moveBlocksLeft) {
    printf("a compaction was interrupted; finishing it in memory as the next start would\n");
  }
  RunStorageToIdle(s);
  if (CheckStorage(s, message, sizeof message) != 0) {
    PrintBroken(message);
    return 1;
  }
  printf("storage ok\n");
  return 0;
}

// The journal's base: the file as loaded. Its changes from here on are
// what the save writes in place; without a journal it writes the whole file.
void BeginChanges(Storage& s, Journal& j, Files& p) {
  if (!s.imageLoaded) return;
  TakeJournalBase(s, j, kJournalBaseFile);
  StartJournal(s, j, p, nullptr);
}

// A command that stores nothing leaves the file as it was: the journal it
// began holds no commit and goes, or it would stop the next command.
int Refused(Journal& j, Files& p, int status) {
  RemoveJournal(j, p);
  return status;
}

int Save(Storage& s, Journal& j, Files& p) {
  SaveFailure why = kSaveDone;
  if (!SaveWithJournal(s, j, p, &why)) {
    fprintf(stderr, "cannot write %s: %s\n", s.path, SaveFailureText(why));
    return 1;
  }
  return 0;
}

int Put(Storage& s, Journal& j, Files& p, const std::string& resource) {
  static const char* const kProblems[] = {"", "does not fit (too few free blocks or 512 files)",
                                          "does not open", "has no known size",
                                          "gave fewer bytes than its size",
                                          "is larger than the whole storage",
                                          "does not begin with a complete file header"};
  const int r = ImportResourceFile(s, p, resource.c_str(), NameOf(resource).c_str());
  if (r != kImportStored) {
    fprintf(stderr, "%s %s\n", resource.c_str(), kProblems[r]);
    return Refused(j, p, 1);
  }
  return Save(s, j, p);
}

int Remove(Storage& s, Journal& j, Files& p, const char* name) {
  if (!StorageDeleteNamedFile(s, name)) {
    fprintf(stderr, "no file named \"%s\"\n", name);
    return Refused(j, p, 1);
  }
  return Save(s, j, p);
}

// True when a stored file of that name has that type.
bool StoredAs(const Storage& s, const char* name, const char* type) {
  const int i = StorageFindFile(s, name);
  char field[kProjectTextCapacity];
  return i >= 0 && StorageReadField(s, static_cast<uint16_t>(i), kFieldType, field) &&
         CompareText(field, type, kProjectTextCapacity) == 0;
}

int ShowProject(const Storage& s, const char* name) {
  std::unique_ptr<Project> p(new Project{});
  ClearProject(*p);
  CopyText(name, p->name, kProjectNameCapacity);
  if (!StoredAs(s, name, kProjectFileType)) {
    fprintf(stderr, "%s is not a stored project\n", name);
    return 1;
  }
  if (LoadProject(*p, s) != LoadResult::kLoaded) {
    fprintf(stderr, "%s can not be read\n", name);
    return 1;
  }
  printf("project %s\nmodel %s (class %d)\n", p->name, p->moduleModel, p->moduleClass);
  printf("picture %s\n", p->pictureCount ? p->pictureName : "(none)");
  printf("buttons %d\n", p->buttonCount);
  for (int i = 0; i < p->buttonCount; ++i) {
    const ProjectButton& b = p->buttons[i];
    char picture[16] = "own";
    if (b.imageIndex != kOwnButtonPicture) FormatText(picture, "%u", b.imageIndex);
    printf("  %d %-12s at %u,%u  mode %u  picture %s\n", i + 1, b.name, b.x, b.y, b.buttonMode, picture);
  }
  printf("variables %d\n", p->variableCount);
  for (int i = 0; i < p->variableCount; ++i) printf("  %s\n", p->variableNames[i]);
  printf("constant integers %d:", p->constIntCount);
  for (int i = 0; i < p->constIntCount; ++i) printf(" %d", p->constInts[i]);
  printf("\nconstant texts %d:", p->constTextCount);
  for (int i = 0; i < p->constTextCount; ++i) printf(" %s", p->constTexts[i]);
  printf("\nprogram %d bytes, %d rows\n", p->programLength, p->instructionCount);
  char row[128];
  for (uint16_t k = 0; k < p->instructionCount; ++k) {
    InstructionText(*p, k, row, sizeof row);
    printf("%4u  %s\n", k, row);
  }
  // Names the handheld will look for: sounds, light effects and the picture.
  if (p->pictureCount && p->pictureName[0] && !StoredAs(s, p->pictureName, "Picture")) {
    printf("warning: picture %s is not a stored picture\n", p->pictureName);
  }
  for (uint16_t k = 0; k < p->instructionCount; ++k) {
    const uint8_t* b = p->program + PositionOfInstruction(*p, k);
    if (b[0] != kOpTask || (b[1] != kTaskPlaySound && b[1] != kTaskLightEffect)) continue;
    if (OperandKindOf(b[2]) != kOperandConstText || OperandIndexOf(b[2]) >= p->constTextCount) continue;
    const char* text = p->constTexts[OperandIndexOf(b[2])];
    const bool sound = b[1] == kTaskPlaySound;
    if (!StoredAs(s, text, sound ? "Sound" : "Light Effect")) {
      printf("warning: row %u: %s %s is not a stored %s\n", k, sound ? "sound" : "light effect", text,
             sound ? "sound" : "light effect");
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const char* image = argv[1];
  const std::string command = argv[2];
  const bool takesArgument =
      command == "cat" || command == "rm" || command == "put" || command == "project";
  const bool known = takesArgument || command == "info" || command == "ls" || command == "check";
  const bool media = (command == "add-picture" && argc >= 4) ||
                     (command == "add-sound" && (argc == 5 || argc == 7)) ||
                     (command == "export" && argc == 5);
  if (!media && (!known || argc != (takesArgument ? 4 : 3))) return Usage();
  const bool changes = command == "put" || command == "rm" || command == "add-picture" ||
                       command == "add-sound";

  PosixFiles files(FolderOf(image));
  SocketInstance instance(FolderOf(image));
  if (changes && !instance.AcquireSingleInstance("TrelvanAssistantGlobalMutex")) {
    fprintf(stderr, "the program is running on %s: close it first, its exit save would undo this\n",
            FolderOf(image).c_str());
    return 1;
  }
  PathInfo journal;
  if (changes && files.PathAttributes((std::string(image) + ".journal").c_str(), &journal)) {
    // Changes a run left beside the file (perhaps in the middle of a save in
    // place) are applied by the program's start, and only there.
    fprintf(stderr, "%s.journal holds changes not yet saved into %s: start the program on %s first\n",
            image, image, FolderOf(image).c_str());
    return 1;
  }
  std::unique_ptr<Storage> s(new Storage);
  uint64_t size = 0;
  if (!Load(*s, files, image, &size)) {
    if (!changes || command == "rm") {
      fprintf(stderr, "cannot open %s\n", image);
      return 1;
    }
    StartFreshStorage(*s);
  }
  if (command == "info") return Info(*s);
  if (command == "ls") return List(*s);
  if (command == "cat") return Cat(*s, argv[3]);
  if (command == "check") return Check(*s, size);
  if (command == "export") return ExportFile(*s, argv[3], argv[4]);
  if (command == "project") return ShowProject(*s, argv[3]);
  std::unique_ptr<Journal> j(new Journal);  // its ring is used only as far as it is filled
  BeginChanges(*s, *j, files);
  RunStorageToIdle(*s);  // an interrupted compaction finishes first
  if (command == "put") return Put(*s, *j, files, argv[3]);
  if (command == "rm") return Remove(*s, *j, files, argv[3]);
  std::unique_ptr<Media> m(new Media{});
  const uint16_t filesBefore = s->fs.header.fileCount;
  const int status = command == "add-picture"
                         ? AddPictures(*s, files, *m, argv + 3, argc - 3)
                         : AddSound(*s, files, *m, argv[3], argv + 4, argc - 4);
  // adds never replace a file: a count that did not change means nothing was stored
  const int saved = s->fs.header.fileCount != filesBefore ? Save(*s, *j, files) : Refused(*j, files, 0);
  return status != 0 ? status : saved;
}
