// The Linux entry point.
#include "platform/linux/sdl_program.h"

int main(int, char**) { return trelvan::RunSdlProgram(nullptr); }
