// trelvan-catalogue: builds the stand-in update server's folder from a
// catalogue description (resources/server/catalogue.txt).
//
//   trelvan-catalogue CATALOGUE.txt MEDIA_FOLDER OUT_FOLDER
//
// Every file is first stored in a fresh storage in memory by the program's
// own writers (the Picture and Sound Managers' conversions, the light-effect
// and project encoders, the whole-file write), then written out whole,
// header included, as the storage keeps it: OUT_FOLDER/NAME, plus
// OUT_FOLDER/index.txt with the revisions. Status 1, naming the line, when
// a line cannot be made.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "media/conversions.h"
#include "media/light_effect_format.h"
#include "media/media.h"
#include "platform/linux/posix_files.h"
#include "projects/project_file.h"
#include "projects/projects.h"
#include "storage/file_system.h"
#include "storage/text.h"
#include "storage/whole_file.h"

using namespace trelvan;

namespace {

constexpr const char* kCatalogueVersion = "1.00";
constexpr const char* kEndOfNames = "End Of File Names";

std::string Trim(const std::string& t) {
  const size_t a = t.find_first_not_of(" \t\r"), b = t.find_last_not_of(" \t\r");
  return a == std::string::npos ? "" : t.substr(a, b - a + 1);
}

std::vector<std::string> Split(const std::string& t, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(t);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(Trim(part));
  return parts;
}

// Zero-terminated texts one after another.
std::vector<uint8_t> Texts(const std::vector<std::string>& texts) {
  std::vector<uint8_t> data;
  for (const std::string& t : texts) data.insert(data.end(), t.c_str(), t.c_str() + t.size() + 1);
  return data;
}

bool Store(Storage& s, const std::string& name, const char* type, const std::vector<uint8_t>& data) {
  return StorageWriteRecord(s, name.c_str(), "", type, kCatalogueVersion, data.data(),
                            static_cast<uint32_t>(data.size()));
}

// N, then per record its revision, its names and the end mark.
std::vector<uint8_t> UpdateList(const std::string& value) {
  const std::vector<std::string> records = Split(value, '|');
  std::vector<std::string> texts{std::to_string(records.size())};
  for (const std::string& record : records) {
    const size_t colon = record.find(':');
    texts.push_back(Trim(record.substr(0, colon)));
    for (const std::string& name : Split(record.substr(colon + 1), ',')) texts.push_back(name);
    texts.push_back(kEndOfNames);
  }
  return Texts(texts);
}

bool LightEffectFile(Storage& s, const std::string& name, const std::string& generator) {
  std::unique_ptr<LightEffect> e(new LightEffect{});
  NewLightEffect(*e);
  if (generator == "rise") NaturalIncrease(*e, e->sampleCount);
  else if (generator == "fall") NaturalDecrease(*e, e->sampleCount);
  else if (generator == "sine") SineCurve(*e, e->sampleCount);
  else return false;
  return SaveLightEffect(s, name.c_str(), *e) == kStoreDone;
}

bool ProjectFile(Storage& s, const std::string& name, const std::string& model) {
  std::unique_ptr<Projects> ps(new Projects{});
  ClearProject(ps->project);
  Project& p = ps->project;
  const int moduleClass = ModuleClassOfModel(model.c_str());
  if (moduleClass < 0) return false;
  CopyText(name.c_str(), p.name, kProjectNameCapacity);
  CopyText(model.c_str(), p.moduleModel, sizeof p.moduleModel);
  p.moduleClass = static_cast<uint8_t>(moduleClass);
  RebuildIoLabels(p);
  return SaveProject(*ps, s);
}

// One catalogue line into the storage; false when it cannot be made.
bool MakeLine(Storage& s, Files& files, Media& m, const std::string& media, const std::string& kind,
              const std::string& name, const std::string& value, std::string* index) {
  if (name.empty() || name.size() > 31) return false;
  if (kind == "list") return Store(s, name, "List", Texts(Split(value, '|')));
  if (kind == "update") return Store(s, name, "Update List", UpdateList(value));
  if (kind == "text") return Store(s, name, "Text", Texts({value}));
  if (kind == "program") return Store(s, name, "Program", Texts({value}));
  if (kind == "light-effect") return LightEffectFile(s, name, value);
  if (kind == "project") return ProjectFile(s, name, value);
  if (kind == "revision") {
    *index += name + "\t" + value + "\n";
    return true;
  }
  if (kind == "picture") {
    PictureInfo info;
    return ConvertPicture(files, s, (media + "/" + value).c_str(), name.c_str(), m.pictureWork, &info) ==
           kPictureDone;
  }
  if (kind == "sound") {
    std::vector<std::string> paths;
    for (const std::string& wav : Split(value, '|')) paths.push_back(media + "/" + wav);
    if (paths.size() != 1 && paths.size() != 3) return false;
    const char* p[3];
    for (size_t i = 0; i < paths.size(); ++i) p[i] = paths[i].c_str();
    return ConvertSound(files, s, name.c_str(), p, static_cast<uint8_t>(paths.size()), m.soundBuffer,
                        m.resampler) ==
           kWavOk;
  }
  return false;
}

bool WriteFile(const std::string& path, const uint8_t* bytes, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: trelvan-catalogue CATALOGUE.txt MEDIA_FOLDER OUT_FOLDER\n");
    return 2;
  }
  std::ifstream catalogue(argv[1]);
  if (!catalogue) {
    fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  std::unique_ptr<Storage> s(new Storage);
  StartFreshStorage(*s);
  std::unique_ptr<Media> m(new Media{});
  PosixFiles files(argv[2]);
  std::string index;
  int number = 0;
  for (std::string line; std::getline(catalogue, line);) {
    ++number;
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' '), equals = line.find(" = ");
    if (space == std::string::npos || equals == std::string::npos || equals < space) {
      fprintf(stderr, "%s:%d: not KIND NAME = VALUE\n", argv[1], number);
      return 1;
    }
    const std::string kind = line.substr(0, space), name = Trim(line.substr(space, equals - space)),
                      value = Trim(line.substr(equals + 3));
    if (!MakeLine(*s, files, *m, argv[2], kind, name, value, &index)) {
      fprintf(stderr, "%s:%d: %s \"%s\" cannot be made\n", argv[1], number, kind.c_str(), name.c_str());
      return 1;
    }
  }
  const std::string out = argv[3];
  for (uint16_t i = 0; i < s->fs.header.fileCount; ++i) {
    char name[32] = "";
    StorageReadField(*s, i, kFieldName, name);
    std::vector<uint8_t> bytes(StorageFileSize(*s, i));
    StorageReadData(*s, i, 0, bytes.data(), static_cast<uint32_t>(bytes.size()));
    if (!WriteFile(out + "/" + name, bytes.data(), bytes.size())) {
      fprintf(stderr, "cannot write %s/%s\n", out.c_str(), name);
      return 1;
    }
  }
  if (!WriteFile(out + "/index.txt", reinterpret_cast<const uint8_t*>(index.data()), index.size())) return 1;
  printf("%u files in %s\n", s->fs.header.fileCount, out.c_str());
  return 0;
}
