// The Linux entry point.
#include "main/linux/sdl_program.h"

int main(int, char**) { return trelvan::RunSdlProgram(nullptr); }
