// The Linux program whose X server goes away after its exit save, while SDL
// takes the window down: a moment a logout can pick. The one argument is the
// X server's process id; the program's last hook kills it.
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "main/linux/message_box.h"
#include "main/linux/sdl_program.h"

using namespace trelvan;

namespace {

pid_t server = 0;

void KillServer(Assistant&) {
  kill(server, SIGKILL);
  usleep(500 * 1000);  // its end closes the connection
}

}  // namespace

int main(int argc, char** argv) {
  if (const int box = RunMessageBoxIfAsked(argc, argv); box >= 0) return box;
  if (argc != 2) return 2;
  server = static_cast<pid_t>(atoi(argv[1]));
  const SdlProgramHooks hooks{nullptr, KillServer, nullptr};
  return RunSdlProgram(&hooks);
}
