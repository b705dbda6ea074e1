#include "page_commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>
#include <string>

#include "link/handheld_protocol.h"
#include "media/sound_format.h"
#include "datagram/datagrams.h"
#include "net/file_requests.h"
#include "update_server.h"
#include "storage/file_system.h"
#include "platform/fake/fake_services.h"
#include "platform/fake/fake_udp.h"

#include "projects/project_file.h"
#include "storage/bytes.h"
#include "storage/text.h"
#include "storage/whole_file.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"
#include "ui/pages/select_button_page.h"
#include "ui/pages/select_file_page.h"
#include "ui/pages/select_text_page.h"

using namespace trelvan;

// Commands:
//   page show N          CurrentPage = N (drawn at the next tick)
//   page control image|text SLOT       prints the slot's box: "x y w h"
//   page keyboard MAX MIN              the alphanumeric keyboard called from page 1
//   page numeric MIN MAX PROMPT...     the numeric keyboard called from page 1
//   page setup layout N                keyboardLayout = N
//   page selectfile PATH EXT           Select File called from page 1, opening in PATH
//                                      (kept as given, so a relative PATH shows the same
//                                      path line on every machine)
//   page chosen PATH                   Select File goes back to its caller with PATH chosen
//   page message TEXT...               ShowMessage(TEXT)
//   page yes | page no                 AddYesButton / AddNoButton
//   page info                          the information page called from page 1
//   page selecttext TITLE|A|B|C...     the select-text page called from page 1
//   page selectbutton                  the select-button page called from page 1
//   page store NAME TYPE               a small storage file NAME of type TYPE ("Picture", ...);
//   page store NAME|TYPE               the same for a NAME or TYPE with blanks
//   page stores N PREFIX TYPE          N such files, PREFIX01~, PREFIX02~ ...
//   page project NAME MODEL [PICTURE]  a new project NAME for MODEL (showing the stored picture
//                                      PICTURE) saved as the editors save it
//   page picture NAME                  a stored 240 x 90 picture NAME: a sky over green land
//   page file NAME PATH                the raw storage file at PATH (FileHeader included) as NAME
//   page result                        prints "info B text R I ENTRY button N COUNT"
//   page state                         prints the open project: "changed C buttons N X,Y ...
//                                      program HEX..." (each button's place, the program bytes)
//   page key C                         prints the box "x y w h" of the key that enters C
//                                      on the open keyboard page (a letter in either case)
//   page serverlist NAME|ROW|ROW...    the script's update server offers the list NAME (it
//                                      is the run's server, 127.0.0.1:4608, given before the
//                                      first tick)
//   page serverfile NAME|SIZE          ... and a picture file NAME of SIZE data bytes
//                                      (SIZE "picture": the sky over green land of
//                                      page picture; "sound": a short stored sound)
//   page announce                      the handheld announces a transfer (on the main page)

namespace {

// The script's update server: the stand-in server's own answers, given
// before each tick once it offers any file.
struct ScriptServer {
  UpdateServer server;
  size_t seen = 0;
};
ScriptServer& Server() {
  static ScriptServer server;
  return server;
}

std::vector<std::string> SplitBars(std::istringstream& words) {
  std::string rest;
  std::getline(words >> std::ws, rest);
  std::vector<std::string> parts;
  size_t at = 0;
  for (size_t bar; (bar = rest.find('|', at)) != std::string::npos; at = bar + 1) {
    parts.push_back(rest.substr(at, bar - at));
  }
  parts.push_back(rest.substr(at));
  return parts;
}

// The script's server is the update server of the run unless the script
// chose another before the first tick.
void Offer(Assistant& a, const std::string& name, const char* type, const std::vector<uint8_t>& data) {
  static_cast<FakeSettings&>(a.platform.settings).values.emplace("TRELVAN_SERVER", "127.0.0.1:4608");
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, name.c_str(), "", type, "1.00");
  std::vector<uint8_t> file(header, header + (h > 0 ? h : 0));
  file.insert(file.end(), data.begin(), data.end());
  AddServedFile(Server().server, file.data(), static_cast<uint32_t>(file.size()));
}

}  // namespace

void ServeScriptServer(Assistant& a) {
  ScriptServer& script = Server();
  if (script.server.files.empty()) return;
  FakeUdp& udp = static_cast<FakeUdp&>(a.platform.udp);
  const size_t count = udp.SentCount();
  if (count == script.seen) return;
  script.seen = count;
  const std::vector<uint8_t> d = udp.LastSent().bytes;
  uint8_t reply[kMagicLength + kServerReceiveCapacity];
  std::string line;
  const uint32_t length = ServeDatagram(script.server, d.data(), static_cast<uint32_t>(d.size()), reply, &line);
  if (length <= kMagicLength) return;
  // as the receive thread leaves it: without the magic
  ServerChannel& c = a.net.server;
  std::memcpy(c.serverReply, reply + kMagicLength, length - kMagicLength);
  c.serverReplyLength.store(static_cast<uint16_t>(length - kMagicLength));
  c.serverReplyArrived.store(1);
}

namespace {

bool ShowPage(Assistant& a, std::istringstream& words) {
  int32_t page = 0;
  words >> page;
  a.ui.pages.CurrentPage = page;
  return true;
}

bool StoreFile(Assistant& a, std::istringstream& words) {
  std::string name, type;
  const std::streampos start = words.tellg();
  const std::vector<std::string> parts = SplitBars(words);
  if (parts.size() == 2) {
    name = parts[0];
    type = parts[1];
  } else {
    words.clear();
    words.seekg(start);
    words >> name >> type;
  }
  const uint8_t data[4] = {1, 2, 3, 4};
  return StorageWriteRecord(a.storage, name.c_str(), "", type.c_str(), "1.00", data, sizeof data);
}

bool StoreNumbered(Assistant& a, std::istringstream& words) {
  int count = 0;
  std::string prefix, type;
  words >> count >> prefix >> type;
  const uint8_t data[4] = {1, 2, 3, 4};
  bool stored = count > 0;
  for (int i = 1; i <= count && stored; ++i) {
    char name[kFileNameCapacity];
    FormatText(name, "%s%02d~", prefix.c_str(), i);
    stored = StorageWriteRecord(a.storage, name, "", type.c_str(), "1.00", data, sizeof data);
  }
  return stored;
}

bool StoreProject(Assistant& a, std::istringstream& words) {
  std::string name, model, picture;
  words >> name >> model >> picture;
  Project& p = a.projects.project;
  ClearProject(p);
  CopyText(name.c_str(), p.name, kProjectNameCapacity);
  CopyText(model.c_str(), p.moduleModel, kModelCapacity);
  CopyText(picture.c_str(), p.pictureName, kProjectTextCapacity);
  const int moduleClass = ModuleClassOfModel(p.moduleModel);
  p.moduleClass = static_cast<uint8_t>(moduleClass < 0 ? 0 : moduleClass);
  RebuildIoLabels(p);
  return SaveProject(a.projects, a.storage);
}

// A 240 x 90 picture record: a sky over green land.
const std::vector<uint8_t>& SamplePicture() {
  static std::vector<uint8_t> record;
  if (!record.empty()) return record;
  record.resize(4 + 240 * 90 * 2);
  WriteU16LE(record.data(), 240);
  WriteU16LE(record.data() + 2, 90);
  for (uint32_t r = 0; r < 90; ++r) {
    for (uint32_t k = 0; k < 240; ++k) {
      // Colour16: red bits 0-4, green 5-10, blue 11-15.
      const uint16_t sky = static_cast<uint16_t>((31u << 11) | ((40 + r / 3) << 5) | (12 + r / 8));
      const uint16_t land = static_cast<uint16_t>((4u << 11) | ((36 + (k % 40) / 8) << 5) | 6);
      WriteU16LE(record.data() + 4 + 2 * (r * 240 + k), r < 60 ? sky : land);
    }
  }
  return record;
}

bool StorePicture(Assistant& a, std::istringstream& words) {
  std::string name;
  words >> name;
  const std::vector<uint8_t>& record = SamplePicture();
  return StorageWriteRecord(a.storage, name.c_str(), "", "Picture", "1.00", record.data(),
                            static_cast<uint32_t>(record.size()));
}

bool StoreRawFile(Assistant& a, std::istringstream& words) {
  std::string name, path;
  words >> name >> path;
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  return in.good() || in.eof()
             ? StorageWriteWholeFile(a.storage, name.c_str(), bytes.data(),
                                     static_cast<uint32_t>(bytes.size()), nullptr, 0)
             : false;
}

bool PrintControl(Assistant& a, std::istringstream& words) {
  std::string kind;
  int slot = -1;
  words >> kind >> slot;
  if (kind == "image" && slot >= 0 && slot < kImageSlotCount) {
    const ImageControl& c = a.ui.controls.ImageSlots[slot];
    printf("%u %u %u %u\n", c.x, c.y, c.w, c.h);
    return true;
  }
  if (kind == "text" && slot >= 0 && slot < kTextSlotCount) {
    const TextControl& c = a.ui.controls.TextSlots[slot];
    printf("%u %u %u %u\n", c.x, c.y, c.w, c.h);
    return true;
  }
  return false;
}

bool OpenKeyboard(Assistant& a, std::istringstream& words) {
  int maxLength = 23, minLength = 2;
  words >> maxLength >> minLength;
  RequestText(a, "Headless", static_cast<uint8_t>(maxLength), static_cast<uint8_t>(minLength),
              kMainPage);
  return true;
}

bool OpenNumeric(Assistant& a, std::istringstream& words) {
  int32_t min = 0, max = 0;
  words >> min >> max;
  std::string prompt;
  std::getline(words >> std::ws, prompt);
  char minText[kNumberLimitCapacity], maxText[kNumberLimitCapacity];
  NumberToText(min, minText);
  NumberToText(max, maxText);
  RequestNumber(a, "Headless", prompt.c_str(), min, minText, max, maxText, 0, kMainPage);
  return true;
}

bool OpenSelectFile(Assistant& a, std::istringstream& words) {
  std::string path, extension;
  words >> path >> extension;
  SelectFilePage& f = a.ui.selectFile;
  const char separator = a.platform.files.PathSeparator();
  if (!path.empty() && path.back() != separator) path += separator;
  if (path.empty() || path.size() >= kSelectedPathCapacity) return false;
  CopyText(path.c_str(), f.SelectedPath, kSelectedPathCapacity);
  SaveLastPath(a);  // the page opens in the remembered folder
  CopyText(extension.c_str(), f.SelectFileExtension, kSelectFileExtensionCapacity);
  f.SelectFileReturnPage = kMainPage;
  a.ui.pages.CurrentPage = kSelectFilePage;
  return true;
}

bool ChooseFile(Assistant& a, std::istringstream& words) {
  std::string path;
  words >> path;
  SelectFilePage& f = a.ui.selectFile;
  if (path.empty() || path.size() >= kSelectedPathCapacity) return false;
  CopyText(path.c_str(), f.SelectedPath, kSelectedPathCapacity);
  f.SelectFileResult = kSelectFileChosen;
  ReturnToCaller(a.ui.pages, f.answer, kCallConfirmed, f.SelectFileReturnPage);
  return true;
}

bool ShowMessageLine(Assistant& a, std::istringstream& words) {
  std::string text;
  std::getline(words >> std::ws, text);
  ShowMessage(a, text.c_str());
  return true;
}

bool YesButton(Assistant& a, std::istringstream&) {
  AddYesButton(a);
  return true;
}

bool NoButton(Assistant& a, std::istringstream&) {
  AddNoButton(a);
  return true;
}

bool OpenInformation(Assistant& a, std::istringstream&) {
  a.ui.information.InfoReturnPage = kMainPage;
  a.ui.pages.CurrentPage = kInformationPage;
  return true;
}

bool OpenSelectText(Assistant& a, std::istringstream& words) {
  std::string rest;
  std::getline(words >> std::ws, rest);
  size_t bar = rest.find('|');
  CopyText(rest.substr(0, bar).c_str(), a.ui.selectText.SelectTextTitle, kSelectTextTitleCapacity);
  for (int k = 0; bar != std::string::npos; ++k) {
    const size_t next = rest.find('|', bar + 1);
    const size_t length = next == std::string::npos ? next : next - bar - 1;
    AddSelectText(a, k, rest.substr(bar + 1, length).c_str());
    bar = next;
  }
  a.ui.selectText.SelectTextReturnPage = kMainPage;
  a.ui.pages.CurrentPage = kSelectTextPage;
  return true;
}

bool OpenSelectButton(Assistant& a, std::istringstream&) {
  a.ui.selectButton.SelectButtonReturnPage = kMainPage;
  a.ui.pages.CurrentPage = kSelectButtonPage;
  return true;
}

bool PrintKey(Assistant& a, std::istringstream& words) {
  char c = 0;
  words >> c;
  const auto lower = [](char k) { return k >= 'A' && k <= 'Z' ? static_cast<char>(k + 32) : k; };
  if (a.ui.pages.CurrentPage == kAlphaKeyboardPage) {
    const char* keys = a.ui.keyboards.alpha.state.keySet;
    for (int k = 0; k < kKeyCount && keys[k]; ++k) {
      if (lower(keys[k]) != lower(c)) continue;
      printf("%d %d %d %d\n", KeyX(k), KeyY(k), kKeyWidth, kKeyHeight);
      return true;
    }
  } else if (a.ui.pages.CurrentPage == kNumericKeyboardPage && c >= '0' && c <= '9') {
    const ImageControl* key = a.ui.keyboards.numeric.image[kNumericDigit0 + (c - '0')];
    if (!key) return false;
    printf("%u %u %u %u\n", key->x, key->y, key->w, key->h);
    return true;
  }
  return false;
}

bool PrintResult(Assistant& a, std::istringstream&) {
  printf("info %u text %u %u %s button %u %u\n", a.ui.information.InfoButtons,
         a.ui.selectText.SelectTextResult, a.ui.selectText.SelectedTextIndex,
         a.ui.selectText.SelectTextEntries[0], a.ui.selectButton.SelectedButton,
         a.ui.selectButton.ButtonCount);
  return true;
}

bool PrintProjectState(Assistant& a, std::istringstream&) {
  const Project& p = a.projects.project;
  printf("changed %d buttons %u", p.modified ? 1 : 0, p.buttonCount);
  for (int i = 0; i < p.buttonCount; ++i) printf(" %u,%u", p.buttons[i].x, p.buttons[i].y);
  printf(" program");
  for (int i = 0; i < p.programLength; ++i) printf(" %02X", p.program[i]);
  printf("\n");
  return true;
}

bool OfferList(Assistant& a, std::istringstream& words) {
  const std::vector<std::string> parts = SplitBars(words);
  std::vector<uint8_t> rows;
  for (size_t i = 1; i < parts.size(); ++i) {
    rows.insert(rows.end(), parts[i].begin(), parts[i].end());
    rows.push_back(0);
  }
  Offer(a, parts[0], "List", rows);
  return true;
}

bool OfferFile(Assistant& a, std::istringstream& words) {
  const std::vector<std::string> parts = SplitBars(words);
  if (parts.size() != 2) return false;
  if (parts[1] == "picture") {
    Offer(a, parts[0], "Picture", SamplePicture());
    return true;
  }
  if (parts[1] == "sound") {
    // one segment of 400 values: its table, then a rising tone's groups
    const uint32_t count = 400;
    std::vector<uint8_t> data(1 + 8 + count / 4 * kSoundGroupBytes);
    WriteSoundTable(&count, 1, data.data());
    for (uint32_t g = 0; g < count / 4; ++g) {
      const uint16_t v[4] = {static_cast<uint16_t>(312 + g), 712, static_cast<uint16_t>(312 + g), 712};
      PackSoundGroup(v, data.data() + 9 + g * kSoundGroupBytes);
    }
    Offer(a, parts[0], "Sound", data);
    return true;
  }
  std::vector<uint8_t> data(std::strtoul(parts[1].c_str(), nullptr, 10));
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  Offer(a, parts[0], "Picture", data);
  return true;
}

bool Announce(Assistant& a, std::istringstream&) {
  uint8_t packet[] = {kReqAnnounce, 'T', 'X', 0, 'T', 'X', '-', '9', 'b', 0, 0};
  packet[sizeof packet - 1] = PacketSum(packet, sizeof packet - 1);
  ProcessHandheldPacket(a.link.handheld, a.link.transfer, a.storage, a.ui.pages.CurrentPage == kMainPage,
                        packet, sizeof packet);
  return true;
}

bool SetSetup(Assistant& a, std::istringstream& words) {
  std::string what;
  int value = 0;
  words >> what >> value;
  if (what != "layout") return false;
  a.setup.keyboardLayout = static_cast<uint8_t>(value);
  return true;
}

struct PageVerb {
  const char* name;
  bool (*run)(Assistant& a, std::istringstream& words);
};

const PageVerb kPageVerbs[] = {
    {"show", ShowPage},
    {"store", StoreFile},
    {"stores", StoreNumbered},
    {"project", StoreProject},
    {"picture", StorePicture},
    {"file", StoreRawFile},
    {"control", PrintControl},
    {"keyboard", OpenKeyboard},
    {"numeric", OpenNumeric},
    {"selectfile", OpenSelectFile},
    {"chosen", ChooseFile},
    {"message", ShowMessageLine},
    {"yes", YesButton},
    {"no", NoButton},
    {"info", OpenInformation},
    {"selecttext", OpenSelectText},
    {"selectbutton", OpenSelectButton},
    {"key", PrintKey},
    {"state", PrintProjectState},
    {"result", PrintResult},
    {"serverlist", OfferList},
    {"serverfile", OfferFile},
    {"announce", Announce},
    {"setup", SetSetup},
};

}  // namespace

bool RunPageCommand(Assistant& a, std::istringstream& words) {
  std::string command;
  words >> command;
  for (const PageVerb& v : kPageVerbs) {
    if (command == v.name) return v.run(a, words);
  }
  return false;
}
