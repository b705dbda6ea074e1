// trelvan-headless: runs the assistant on the fake platform from a script and
// takes screenshots, comparing them with reference pictures.
//
//   trelvan-headless [--reference DIR] [--output DIR] [--regenerate]
//                    [--resources DIR] SCRIPT
//
// Script lines (# starts a comment):
//   tick [N]                 N timer messages (default 1)
//   click PAGE ROLE          a hand's click on the image control ROLE of the page
//                            shown, named as in its role enums (click Main Setup for
//                            kMainSetup): button down at the control's middle, held
//                            100 ms (10 ticks), button up there and a tick
//   click Alpha key C        the same on the alphanumeric keyboard's key that now
//                            shows the character C;  click Alpha keys TEXT: one
//                            such click for each character of TEXT (no space)
//   click PAGE ROW R         the same on row R (from 0) of a page's list: Main row,
//                            look (a server row's Show or Play) and selection,
//                            ProjectManager row/edit/remove,
//                            SelectFile folder/file, SelectText line,
//                            Picture row/delete/show,
//                            Sound row/delete/play/slot, Light row/load/delete,
//                            SelectButton button (a picture of the grid),
//                            EditPage name/mode/picture/remove, EditProgram insert and
//                            remove (a row's handles), input and output (the
//                            lists' rows), picker (a kind offered) and box (0 to
//                            2: the operands of the row being built)
//   wheel N PLACE            the wheel turned N notches (above 0: up, away from the
//                            user) over PLACE, named as click names it (wheel -1
//                            SelectText line 3) or given as X Y, and a tick
//   press X Y [right]        button down;  move X Y;  release [X Y] (button up, at
//                            0 0 unless given, and a tick): for places that
//                            matter by position (drags, rows, the screen area)
//   close                    the window's close button
//   repeat N COMMAND         COMMAND (any line above; "A ; B" for several) N times;
//                            {K} in COMMAND counts K, K + 1, ... turn by turn
//                            (repeat 3 click Main row {0}: rows 0, 1 and 2)
//   key VK                   key down and up of a virtual-key code
//   keydown VK / keyup VK
//   type TEXT                the keys that type TEXT (letters, digits, space, "." and "-"),
//                            each capital with shift held
//   enter TEXT               type TEXT, Enter and 4 ticks: the keyboard page hands the
//                            text on and its caller acts on it
//   open N                   page show N and 2 ticks: page N drawn, ready for a hand
//   choose PATH              page chosen PATH and 3 ticks: Select File hands PATH on
//                            and its caller acts on it
//   answer BUTTON TEXT       expect message TEXT, then click Info BUTTON (Exit, Yes or
//                            No): a hand reads the message and answers it
//   clear                    the frame to white
//   fill COLOUR X Y W H      a filled rectangle (COLOUR as 0xRRRR Colour16)
//   text FONT X Y COLOUR TEXT
//   shot NAME.png            write the window's picture; compare with the reference
//   driver                   a serial driver library (one that finds no device) to load
//   storage free N           a filler file leaves about N blocks of 4 KB free; with 0
//                            no further record fits
//   page VERB ...            a page's own test command (page_commands.cpp)
//   expect page N            the current page is N
//   expect state TEXT        what "page state" prints (the open project);  expect
//                            result TEXT: what "page result" prints (a called page's answer)
//   expect message TEXT      the last message shown, on the information page or in a box
//   expect messages N        N message boxes shown since the start
//   expect ended             the program has ended (its exit sequence ran)
//   expect file NAME         a storage file NAME exists;  expect nofile NAME: it does not
//   expect filesize N NAME   the storage file NAME holds N data bytes (its header aside)
//   expect keyboard text R TEXT          the alphanumeric keyboard's result R (0 none,
//   expect keyboard number R VALUE TYPED 1 confirmed, 2 cancelled) and text; the
//                                        numeric one's, its value and what is typed
//                                        (as many of these words as given)
// A failed expect names its line and ends the run with a failure.
// The data folder is TRELVAN_DATA_DIR, else a fresh temporary folder; the
// *.rsc files of --resources DIR are copied into it before the start-up.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/fake/fake_platform.h"
#include "link/d2xx_functions.h"
#include "link/ftdi_link.h"
#include "page_commands.h"
#include "png_file.h"
#include "role_table.h"
#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/whole_file.h"
#include "ui/pages/keyboard_pages.h"

using namespace trelvan;

namespace {

struct Options {
  std::string reference;
  std::string output = ".";
  bool regenerate = false;
  std::string script;
  std::string resources;
};

// The 12 functions of the serial driver library, each failing, so the
// library loads and no device is ever found.
std::map<std::string, void*> NoDeviceDriverLibrary() {
  std::map<std::string, void*> table;
#define TRELVAN_FAILING(name, parameters) \
  table[#name] = reinterpret_cast<void*>(+[] parameters -> FtStatus { return 1; });
  TRELVAN_D2XX_FUNCTIONS(TRELVAN_FAILING)
#undef TRELVAN_FAILING
  return table;
}

void CopyResourceFiles(const std::string& from, const std::string& to) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(from, error)) {
    if (entry.path().extension() != ".rsc") continue;
    std::filesystem::copy_file(entry.path(), std::filesystem::path(to) / entry.path().filename(),
                               std::filesystem::copy_options::overwrite_existing, error);
  }
}

RgbImage WindowPicture(Assistant& a, FakePlatform& platform) {
  MainWindowMessage(a, Message::Paint, 0, 0, 0);
  RgbImage image;
  image.width = kFrameWidth;
  image.height = kFrameHeight;
  image.rgb.resize(static_cast<size_t>(kFrameWidth) * kFrameHeight * 3);
  for (size_t i = 0; i < static_cast<size_t>(kFrameWidth) * kFrameHeight; ++i) {
    image.rgb[i * 3 + 0] = platform.window.lastFrame[i * 4 + 2];
    image.rgb[i * 3 + 1] = platform.window.lastFrame[i * 4 + 1];
    image.rgb[i * 3 + 2] = platform.window.lastFrame[i * 4 + 0];
  }
  return image;
}

// Writes NAME_err.png: the picture with every differing pixel in magenta.
void WriteDifference(const std::string& path, const RgbImage& got, const RgbImage& want) {
  RgbImage diff = got;
  for (size_t i = 0; i + 2 < diff.rgb.size() && i + 2 < want.rgb.size(); i += 3) {
    if (memcmp(&got.rgb[i], &want.rgb[i], 3) != 0) {
      diff.rgb[i] = 255;
      diff.rgb[i + 1] = 0;
      diff.rgb[i + 2] = 255;
    }
  }
  WritePng(path, diff);
}

bool Shot(const Options& o, const std::string& name, const RgbImage& image) {
  const std::string out = o.output + "/" + name;
  if (!WritePng(out, image)) {
    fprintf(stderr, "cannot write %s\n", out.c_str());
    return false;
  }
  if (o.reference.empty()) return true;
  const std::string ref = o.reference + "/" + name;
  if (o.regenerate) return WritePng(ref, image);
  RgbImage want;
  if (!ReadPng(ref, &want)) {
    fprintf(stderr, "missing reference %s (run with --regenerate to make it)\n", ref.c_str());
    return false;
  }
  if (want.width == image.width && want.height == image.height && want.rgb == image.rgb) {
    return true;
  }
  std::string err = out;
  err.insert(err.size() - 4, "_err");
  WriteDifference(err, image, want);
  fprintf(stderr, "%s differs from %s; see %s\n", out.c_str(), ref.c_str(), err.c_str());
  return false;
}

// How many 10 ms ticks a hand holds the button down for a click.
constexpr int kClickHoldTicks = 10;
// The ticks after `enter`'s Enter: the keyboard page answers on the first,
// its caller acts on the answer (a save, a refusal's message) on the next.
constexpr int kEnterTicks = 4;

// The image control `role` of the page with role prefix `page`; null when
// no layout names it.
const RoleName* FindRole(const std::string& page, const std::string& role) {
  for (const RoleName& r : RoleNames()) {
    if (page == r.page && role == r.role) return &r;
  }
  return nullptr;
}

// A box on the screen.
struct Box {
  uint32_t x, y, w, h;
};
template <typename C>
Box BoxOf(const C& c) {
  return {c.x, c.y, c.w, c.h};
}

// The rows of the pages' lists that a script clicks by number.
struct ListRows {
  const char* page;  /**< the role prefix, as click names pages */
  const char* kind;
  int count;
  Box (*box)(const Assistant& a, int r);
};

const ListRows kListRows[] = {
    {"Main", "row", kListScreenRows, [](const Assistant& a, int r) { return BoxOf(a.mainPage.listRows[r].text); }},
    {"Main", "look", kListScreenRows, [](const Assistant& a, int r) { return BoxOf(a.mainPage.lookControls[r]); }},
    {"Main", "selection", kSelectionCapacity,
     [](const Assistant& a, int r) { return BoxOf(a.mainPage.selectionRows[r].text); }},
    {"ProjectManager", "row", kProjectListCapacity,
     [](const Assistant& a, int r) { return BoxOf(a.projects.projectManager.rows[r].text); }},
    {"ProjectManager", "edit", kProjectListCapacity,
     [](const Assistant& a, int r) { return BoxOf(a.projects.projectManager.rows[r].edit); }},
    {"ProjectManager", "remove", kProjectListCapacity,
     [](const Assistant& a, int r) { return BoxOf(a.projects.projectManager.rows[r].remove); }},
    {"SelectFile", "folder", kSelectRows, [](const Assistant& a, int r) { return BoxOf(a.ui.selectFile.FolderRows[r]); }},
    {"SelectFile", "file", kSelectRows, [](const Assistant& a, int r) { return BoxOf(a.ui.selectFile.FileRows[r]); }},
    {"SelectButton", "button", kButtonGridCount,
     [](const Assistant& a, int r) { return BoxOf(a.ui.selectButton.button[r]); }},
    {"SelectText", "line", kSelectTextLines,
     [](const Assistant& a, int r) {
       const TextControl* line = a.ui.selectText.line[r];
       return line ? BoxOf(*line) : Box{0, 0, 0, 0};
     }},
    {"Picture", "row", kMediaListRows, [](const Assistant& a, int r) { return BoxOf(a.media.picturePage.rows[r].name); }},
    {"Picture", "delete", kMediaListRows, [](const Assistant& a, int r) { return BoxOf(a.media.picturePage.rows[r].first); }},
    {"Picture", "show", kMediaListRows, [](const Assistant& a, int r) { return BoxOf(a.media.picturePage.rows[r].second); }},
    {"Sound", "row", kMediaListRows, [](const Assistant& a, int r) { return BoxOf(a.media.soundPage.rows[r].name); }},
    {"Sound", "delete", kMediaListRows, [](const Assistant& a, int r) { return BoxOf(a.media.soundPage.rows[r].first); }},
    {"Sound", "slot", kSoundSlotCount, [](const Assistant& a, int r) { return BoxOf(a.media.soundPage.slots[r]); }},
    {"Sound", "play", kMediaListRows, [](const Assistant& a, int r) { return BoxOf(a.media.soundPage.rows[r].second); }},
    {"Light", "row", kMediaListRows, [](const Assistant& a, int r) { return BoxOf(a.media.lightPage.rows[r].name); }},
    {"Light", "load", kMediaListRows, [](const Assistant& a, int r) { return BoxOf(a.media.lightPage.rows[r].first); }},
    {"Light", "delete", kMediaListRows, [](const Assistant& a, int r) { return BoxOf(a.media.lightPage.rows[r].second); }},
    {"EditPage", "name", kMaxButtons, [](const Assistant& a, int r) { return BoxOf(a.projects.editPage.rows[r].nameBox); }},
    {"EditPage", "picture", kMaxButtons, [](const Assistant& a, int r) { return BoxOf(a.projects.editPage.rows[r].choose); }},
    {"EditPage", "remove", kMaxButtons, [](const Assistant& a, int r) { return BoxOf(a.projects.editPage.rows[r].remove); }},
    {"EditPage", "mode", kMaxButtons, [](const Assistant& a, int r) { return BoxOf(a.projects.editPage.rows[r].mode); }},
    {"EditProgram", "insert", kProgramRows,
     [](const Assistant& a, int r) { return BoxOf(a.projects.editProgram.insertHandle[r]); }},
    {"EditProgram", "remove", kProgramRows,
     [](const Assistant& a, int r) { return BoxOf(a.projects.editProgram.removeHandle[r]); }},
    {"EditProgram", "input", kInputsPerPage,
     [](const Assistant& a, int r) { return BoxOf(a.projects.editProgram.inputRow[r]); }},
    {"EditProgram", "output", kMaxOutputLabels,
     [](const Assistant& a, int r) { return BoxOf(a.projects.editProgram.outputRow[r]); }},
    {"EditProgram", "picker", 4, [](const Assistant& a, int r) { return BoxOf(a.projects.editProgram.picker[r]); }},
    {"EditProgram", "box", 3,
     [](const Assistant& a, int r) {
       const EditProgramPage& m = a.projects.editProgram;
       return BoxOf(r == 0 ? m.boxA : r == 1 ? m.boxB : m.boxC);
     }},
};

// Where `click PAGE ROLE` (or `click Alpha key C`) presses: the middle of the
// control. An error text when the page shown has no such control.
std::string ClickPlace(Assistant& a, std::istringstream& words, uint32_t* x, uint32_t* y) {
  std::string page, role;
  words >> page >> role;
  if (page == "Alpha" && role == "key") {
    std::string label;
    words >> label;
    const KeyboardState& keys = a.ui.keyboards.alpha.state;
    const char* at = label.size() == 1 ? strchr(keys.keySet, label[0]) : nullptr;
    if (a.ui.pages.CurrentPage != kAlphaKeyboardPage || !at) {
      return "no key '" + label + "' on the keyboard shown";
    }
    const int k = static_cast<int>(at - keys.keySet);
    *x = static_cast<uint32_t>(KeyX(k) + kKeyWidth / 2);
    *y = static_cast<uint32_t>(KeyY(k) + kKeyHeight / 2);
    return "";
  }
  for (const ListRows& rows : kListRows) {
    if (page != rows.page || role != rows.kind) continue;
    int r = -1;
    words >> r;
    const RoleName* first = RoleNames().data();
    while (first->page != page) ++first;  // a page with rows has roles too
    if (strcmp(a.ui.controls.CurrentPageName, first->pageFile) != 0 || r < 0 || r >= rows.count) {
      return "no " + role + " " + std::to_string(r) + " on the page shown";
    }
    const Box b = rows.box(a, r);
    *x = b.x + b.w / 2;
    *y = b.y + b.h / 2;
    return "";
  }
  const RoleName* named = FindRole(page, role);
  if (!named) return "no page " + page + " with a control " + role;
  if (strcmp(a.ui.controls.CurrentPageName, named->pageFile) != 0) {
    return "the page shown is \"" + std::string(a.ui.controls.CurrentPageName) + "\", not \"" +
           named->pageFile + "\"";
  }
  const ImageControl& c = a.ui.controls.ImageSlots[named->control];
  *x = c.x + c.w / 2u;
  *y = c.y + c.h / 2u;
  return "";
}

// The virtual-key codes of shift and Enter.
constexpr uint32_t kVkShift = 16;
constexpr uint32_t kVkReturn = 13;

uint32_t KeyForCharacter(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<uint32_t>(c - 'a' + 'A');
  if (c == '.') return 190;  // the period and minus keys' virtual-key codes
  if (c == '-') return 189;
  return static_cast<uint32_t>(static_cast<uint8_t>(c));
}

// A repeat's COMMAND for turn `turn` (from 0): its first {K} made K + turn.
std::string CountedCommand(std::string command, int turn) {
  const size_t from = command.find('{');
  const size_t to = command.find('}', from);
  if (to == std::string::npos || to == from + 1 || command.find_first_not_of("0123456789", from + 1) != to) {
    return command;
  }
  const int k = atoi(command.c_str() + from + 1);
  return command.replace(from, to - from + 1, std::to_string(k + turn));
}

// What the script saw last: a message.
struct Seen {
  std::string message;
  std::string informationText;  // the information page's message, to see it change
};

// What the page command `command` prints (printed still), without its last
// line end.
std::string PageCommandOutput(Assistant& a, const std::string& command) {
  std::istringstream words(command);
  fflush(stdout);
  FILE* capture = tmpfile();
  const int saved = capture ? dup(fileno(stdout)) : -1;
  if (saved < 0) {
    if (capture) fclose(capture);
    return "(the output could not be captured)";
  }
  dup2(fileno(capture), fileno(stdout));
  RunPageCommand(a, words);
  fflush(stdout);
  dup2(saved, fileno(stdout));
  close(saved);
  rewind(capture);
  std::string printed;
  for (int c; (c = fgetc(capture)) != EOF;) printed.push_back(static_cast<char>(c));
  fclose(capture);
  fputs(printed.c_str(), stdout);
  while (!printed.empty() && printed.back() == '\n') printed.pop_back();
  return printed;
}

// Whether `expect WHAT ARG` holds; *got says what was found instead. False
// with an empty *got for an unknown WHAT.
bool Expect(Assistant& a, const FakePlatform& platform, const Seen& seen, const std::string& what,
            const std::string& arg, std::string* got) {
  if (what == "page") {
    *got = "page " + std::to_string(a.ui.pages.CurrentPage);
    return arg == std::to_string(a.ui.pages.CurrentPage);
  }
  if (what == "state" || what == "result" || what == "message") {
    *got = "'" + (what == "message" ? seen.message : PageCommandOutput(a, what)) + "'";
    return *got == "'" + arg + "'";
  }
  if (what == "ended") {
    *got = platform.window.quitPosted ? "ended" : "running";
    return platform.window.quitPosted;
  }
  if (what == "messages") {
    *got = std::to_string(platform.window.messages.size()) + " message boxes";
    return arg == std::to_string(platform.window.messages.size());
  }
  if (what == "file" || what == "nofile") {
    const bool stored = StorageFindFile(a.storage, arg.c_str()) >= 0;
    *got = stored ? "stored" : "not stored";
    return stored == (what == "file");
  }
  if (what == "filesize") {
    std::istringstream words(arg);
    std::string size, name;
    words >> size >> std::ws;
    std::getline(words, name);
    const int index = StorageFindFile(a.storage, name.c_str());
    if (index < 0) {
      *got = "not stored";
      return false;
    }
    const uint16_t i = static_cast<uint16_t>(index);
    *got = std::to_string(StorageFileSize(a.storage, i) - StorageHeaderLength(a.storage, i)) + " bytes";
    return *got == size + " bytes";
  }
  if (what == "keyboard") {
    const KeyboardPages& k = a.ui.keyboards;
    if (arg.compare(0, 6, "number") == 0) {
      std::istringstream want(arg), found("number " + std::to_string(k.numeric.NumberResult) + " " +
                                          std::to_string(k.numeric.NumberValue) + " " +
                                          k.numeric.NumberText);
      got->clear();
      bool same = true;
      for (std::string w; want >> w;) {
        std::string f;
        found >> f;
        *got += (got->empty() ? "" : " ") + f;
        same = same && w == f;
      }
      return same;
    }
    *got = "text " + std::to_string(k.alpha.TextResult) + " " + k.alpha.EnteredText;
    if (got->back() == ' ') got->pop_back();
    return arg == *got;
  }
  got->clear();
  return false;
}

bool RunScript(const Options& o) {
  std::ifstream in(o.script);
  if (!in) {
    fprintf(stderr, "cannot read %s\n", o.script.c_str());
    return false;
  }
  const char* dataDir = getenv("TRELVAN_DATA_DIR");
  FakePlatform platform(dataDir ? dataDir : "");
  auto assistant = std::make_unique<Assistant>(platform);
  Assistant& a = *assistant;
  if (!o.resources.empty()) CopyResourceFiles(o.resources, platform.files.DataFolder());
  MainWindowCreated(a);
  size_t shownMessages = 0;
  Seen seen;
  bool ok = true;
  std::string line;
  int lineNumber = 0;
  std::vector<std::string> repeated;  // the lines a repeat gives, last first
  while (!repeated.empty() || std::getline(in, line)) {
    if (repeated.empty()) {
      ++lineNumber;
    } else {
      line = repeated.back();
      repeated.pop_back();
    }
    std::istringstream words(line);
    std::string verb;
    if (!(words >> verb) || verb[0] == '#') continue;
    if (verb == "repeat") {
      int n = 0;
      std::string command;
      words >> n;
      std::getline(words >> std::ws, command);
      std::vector<std::string> commands;  // "A ; B": one turn of the repeat
      for (size_t at = 0, next; at <= command.size(); at = next + 3) {
        next = command.find(" ; ", at);
        if (next == std::string::npos) next = command.size();
        commands.insert(commands.begin(), command.substr(at, next - at));
      }
      for (int turn = n - 1; turn >= 0; --turn) {  // the last turn deepest: it runs last
        for (const std::string& c : commands) repeated.push_back(CountedCommand(c, turn));
      }
      continue;
    }
    if (verb == "open" || verb == "choose" || verb == "answer") {  // the lines they stand for
      std::string rest, button;
      std::getline(words >> std::ws, rest);
      if (verb == "open") repeated.insert(repeated.end(), {"tick 2", "page show " + rest});
      if (verb == "choose") repeated.insert(repeated.end(), {"tick 3", "page chosen " + rest});
      if (verb == "answer") {
        std::istringstream answer(rest);
        answer >> button >> std::ws;
        std::getline(answer, rest);
        repeated.insert(repeated.end(), {"click Info " + button, "expect message " + rest});
      }
      continue;
    }
    if (verb == "click") {  // click Alpha keys TEXT: a click a character
      std::istringstream rest(line);
      std::string click, page, role, text;
      rest >> click >> page >> role >> text;
      if (page == "Alpha" && role == "keys") {
        for (auto c = text.rbegin(); c != text.rend(); ++c) repeated.push_back("click Alpha key " + std::string(1, *c));
        continue;
      }
    }
    const auto send = [&](Message m, uint32_t key, uint32_t x, uint32_t y) {
      if (m == Message::Timer) ServeScriptServer(a);
      MainWindowMessage(a, m, key, x, y);
    };
    if (verb == "tick") {
      int n = 1;
      words >> n;
      for (int i = 0; i < n && !platform.window.quitPosted; ++i) send(Message::Timer, 0, 0, 0);
    } else if (verb == "press" || verb == "move") {
      uint32_t x = 0, y = 0;
      std::string button;
      words >> x >> y >> button;
      if (verb == "move") {
        send(Message::MouseMove, 0, x, y);
      } else {
        send(button == "right" ? Message::RightButtonDown : Message::LeftButtonDown, 0, x, y);
      }
    } else if (verb == "click") {
      uint32_t x = 0, y = 0;
      const std::string error = ClickPlace(a, words, &x, &y);
      if (!error.empty()) {
        fprintf(stderr, "%s:%d: %s\n", o.script.c_str(), lineNumber, error.c_str());
        return false;
      }
      send(Message::LeftButtonDown, 0, x, y);
      for (int i = 0; i < kClickHoldTicks; ++i) send(Message::Timer, 0, 0, 0);
      send(Message::LeftButtonUp, 0, x, y);
      send(Message::Timer, 0, 0, 0);
    } else if (verb == "close") {
      send(Message::Close, 0, 0, 0);
    } else if (verb == "wheel") {
      int notches = 0;
      uint32_t x = 0, y = 0;
      words >> notches >> std::ws;
      const bool numbers = isdigit(words.peek());
      const std::string error = numbers ? ((words >> x >> y) ? "" : "no place") : ClickPlace(a, words, &x, &y);
      if (!error.empty()) {
        fprintf(stderr, "%s:%d: %s\n", o.script.c_str(), lineNumber, error.c_str());
        return false;
      }
      send(Message::MouseWheel, static_cast<uint32_t>(notches), x, y);
      send(Message::Timer, 0, 0, 0);
    } else if (verb == "release") {
      // A hand takes longer than a tick to press again: the release has its tick.
      uint32_t x = 0, y = 0;
      words >> x >> y;
      send(Message::LeftButtonUp, 0, x, y);
      send(Message::Timer, 0, 0, 0);
    } else if (verb == "key" || verb == "keydown" || verb == "keyup") {
      uint32_t vk = 0;
      words >> vk;
      if (verb != "keyup") send(Message::KeyDown, vk, 0, 0);
      if (verb != "keydown") send(Message::KeyUp, vk, 0, 0);
    } else if (verb == "type" || verb == "enter") {
      std::string text;
      std::getline(words >> std::ws, text);
      for (char c : text) {
        const bool capital = isupper(static_cast<unsigned char>(c));
        if (capital) send(Message::KeyDown, kVkShift, 0, 0);
        send(Message::KeyDown, KeyForCharacter(c), 0, 0);
        send(Message::KeyUp, KeyForCharacter(c), 0, 0);
        if (capital) send(Message::KeyUp, kVkShift, 0, 0);
      }
      if (verb == "enter") {
        send(Message::KeyDown, kVkReturn, 0, 0);
        send(Message::KeyUp, kVkReturn, 0, 0);
        for (int i = 0; i < kEnterTicks; ++i) send(Message::Timer, 0, 0, 0);
      }
    } else if (verb == "clear") {
      ClearFrameBuffer(a.frame);
    } else if (verb == "fill") {
      unsigned colour = 0, x = 0, y = 0, w = 0, h = 0;
      std::string c;
      words >> c >> x >> y >> w >> h;
      colour = static_cast<unsigned>(strtoul(c.c_str(), nullptr, 0));
      a.frame.PenColour = static_cast<uint16_t>(colour);
      FillArea(a.frame, static_cast<uint16_t>(x), static_cast<uint16_t>(y),
               static_cast<uint16_t>(w), static_cast<uint16_t>(h));
    } else if (verb == "text") {
      unsigned font = 0;
      int x = 0, y = 0;
      std::string c, text;
      words >> font >> x >> y >> c;
      std::getline(words >> std::ws, text);
      a.frame.PenColour = static_cast<uint16_t>(strtoul(c.c_str(), nullptr, 0));
      DrawString(a.frame, static_cast<uint8_t>(font), static_cast<uint16_t>(x), y, text.c_str(),
                 0, 0);
    } else if (verb == "driver") {
      platform.libraries.libraries[kFtdiLibraryName] = NoDeviceDriverLibrary();
    } else if (verb == "storage") {
      std::string what;
      uint32_t blocks = 0;
      words >> what >> blocks;
      const uint32_t free = a.storage.fs.header.freeBlocks;
      const uint32_t size = blocks < free ? (free - blocks) * kBlockSize - 64 : 0;
      const std::vector<uint8_t> filler(size, 0x5A);
      if (what != "free" || size == 0 ||
          !StorageWriteRecord(a.storage, "Filler", "", "Test", "1.00", filler.data(), size)) {
        fprintf(stderr, "%s:%d: cannot fill the storage\n", o.script.c_str(), lineNumber);
        return false;
      }
    } else if (verb == "page") {
      if (!RunPageCommand(a, words)) {
        fprintf(stderr, "%s:%d: unknown page command\n", o.script.c_str(), lineNumber);
        return false;
      }
    } else if (verb == "expect") {
      std::string what, arg, got;
      words >> what;
      std::getline(words >> std::ws, arg);
      if (!Expect(a, platform, seen, what, arg, &got)) {
        fprintf(stderr, "%s:%d: %s: %s\n", o.script.c_str(), lineNumber,
                got.empty() ? "unknown expect" : "expected", line.c_str());
        if (!got.empty()) fprintf(stderr, "  found %s\n", got.c_str());
        return false;
      }
    } else if (verb == "shot") {
      std::string name;
      words >> name;
      ok = Shot(o, name, WindowPicture(a, platform)) && ok;
    } else {
      fprintf(stderr, "%s:%d: unknown command '%s'\n", o.script.c_str(), lineNumber, verb.c_str());
      return false;
    }
    for (; shownMessages < platform.window.messages.size(); ++shownMessages) {
      printf("Message: %s\n", platform.window.messages[shownMessages].c_str());
      seen.message = platform.window.messages[shownMessages];
    }
    if (seen.informationText != a.ui.information.MessageText) {
      seen.informationText = seen.message = a.ui.information.MessageText;
    }
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--reference" && i + 1 < argc) {
      o.reference = argv[++i];
    } else if (arg == "--output" && i + 1 < argc) {
      o.output = argv[++i];
    } else if (arg == "--resources" && i + 1 < argc) {
      o.resources = argv[++i];
    } else if (arg == "--regenerate") {
      o.regenerate = true;
    } else if (o.script.empty() && arg[0] != '-') {
      o.script = arg;
    } else {
      o.script.clear();
      break;
    }
  }
  if (o.script.empty()) {
    fprintf(stderr,
            "usage: trelvan-headless [--reference DIR] [--output DIR] [--regenerate] "
            "[--resources DIR] SCRIPT\n");
    return 2;
  }
  return RunScript(o) ? 0 : 1;
}
