// The Linux entry point: the program, or one of its message boxes.
#include "main/linux/message_box.h"
#include "main/linux/sdl_program.h"

int main(int argc, char** argv) {
  if (const int box = trelvan::RunMessageBoxIfAsked(argc, argv); box >= 0) return box;
  return trelvan::RunSdlProgram(nullptr);
}
