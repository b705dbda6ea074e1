// The Linux program with a keyboard page open from the start: the same
// window, events and start-up, with the alphanumeric keyboard ("alpha") or
// the numeric keyboard ("numeric", 0 to 1000) called from the main page. When
// the program ends it prints what the keys entered, so a test can click keys
// in the real window and read the result.
#include <cstdio>
#include <cstring>

#include "main/linux/message_box.h"
#include "main/linux/sdl_program.h"
#include "shell/assistant.h"

using namespace trelvan;

namespace {

bool numeric = false;

void OpenKeyboard(Assistant& a) {
  if (numeric) {
    RequestNumber(a, "Probe", "Number", 0, "0", 1000, "1000", 0, kMainPage);
  } else {
    RequestText(a, "Probe", 23, 0, kMainPage);
  }
}

void PrintEntry(Assistant& a) {
  printf("%s\n", numeric ? a.ui.keyboards.numeric.NumberText : a.ui.keyboards.alpha.EnteredText);
}

}  // namespace

int main(int argc, char** argv) {
  if (const int box = RunMessageBoxIfAsked(argc, argv); box >= 0) return box;
  if (argc != 2 || (strcmp(argv[1], "alpha") != 0 && strcmp(argv[1], "numeric") != 0)) {
    fprintf(stderr, "usage: keyboard_probe alpha|numeric\n");
    return 2;
  }
  numeric = strcmp(argv[1], "numeric") == 0;
  const SdlProgramHooks hooks{OpenKeyboard, PrintEntry, nullptr};
  return RunSdlProgram(&hooks);
}
