// trelvan-update-server: the stand-in for the maker's update server. Serves
// a folder of raw storage files on a loopback UDP port and prints one line
// per datagram.
//
//   trelvan-update-server FOLDER [--port N] [--drop-every N] [--corrupt-every M] [--stale-once]
//
// Revision texts come from FOLDER/index.txt ("NAME<TAB>REVISION" lines);
// files it does not name are revision "1.00". The folder is read once, at
// the start. SIGINT and SIGTERM end it with status 0.
#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "update_server.h"

using namespace trelvan;

namespace {

constexpr uint16_t kDefaultPort = 4608;
constexpr uint32_t kLargestServed = 64u << 20;  // larger files are left out: no client takes them

volatile sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

int Usage() {
  fprintf(stderr,
          "usage: trelvan-update-server FOLDER [--port N] [--drop-every N] [--corrupt-every M] "
          "[--stale-once]\n");
  return 2;
}

// A regular file of at most 64 MiB, whole.
bool ReadWhole(const std::string& path, std::vector<uint8_t>* out) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<uint64_t>(info.st_size) > kLargestServed) {
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  out->resize(static_cast<size_t>(info.st_size));
  const bool whole = std::fread(out->data(), 1, out->size(), f) == out->size();
  std::fclose(f);
  return whole;
}

// Every regular file but the index; false when the folder does not open.
bool LoadFolder(UpdateServer& server, const std::string& folder) {
  DIR* d = opendir(folder.c_str());
  if (!d) return false;
  std::vector<std::string> names;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] != '.' && std::strcmp(e->d_name, kRevisionIndexName) != 0) names.push_back(e->d_name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    std::vector<uint8_t> bytes;
    if (!ReadWhole(path, &bytes) || !AddServedFile(server, bytes.data(), static_cast<uint32_t>(bytes.size()))) {
      printf("left out %s: not a readable storage file of at most 64 MiB\n", path.c_str());
    }
  }
  std::vector<uint8_t> index;
  if (ReadWhole(folder + "/" + kRevisionIndexName, &index)) {
    const int unused = ApplyRevisionIndex(server, std::string(index.begin(), index.end()));
    if (unused) printf("%s: %d line(s) name no served file\n", kRevisionIndexName, unused);
  }
  return true;
}

bool ParseCount(const char* text, uint32_t limit, uint32_t* out) {
  char* end = nullptr;
  const unsigned long v = std::strtoul(text, &end, 10);
  if (!*text || *end || v > limit) return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  UpdateServer server;
  uint32_t port = kDefaultPort;
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (option == "--stale-once") {
      server.options.staleOnce = true;
    } else if (option == "--port" && hasValue && ParseCount(argv[i + 1], 65535, &port)) {
      ++i;
    } else if (option == "--drop-every" && hasValue &&
               ParseCount(argv[i + 1], 1u << 30, &server.options.dropEvery)) {
      ++i;
    } else if (option == "--corrupt-every" && hasValue &&
               ParseCount(argv[i + 1], 1u << 30, &server.options.corruptEvery)) {
      ++i;
    } else {
      return Usage();
    }
  }
  setvbuf(stdout, nullptr, _IOLBF, 0);
  if (!LoadFolder(server, argv[1])) {
    fprintf(stderr, "cannot read the folder %s\n", argv[1]);
    return 1;
  }

  const int sock = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // loopback only
  local.sin_port = htons(static_cast<uint16_t>(port));
  if (sock < 0 || ::bind(sock, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    fprintf(stderr, "cannot bind 127.0.0.1:%u: %s\n", port, std::strerror(errno));
    return 1;
  }
  socklen_t localLength = sizeof local;
  ::getsockname(sock, reinterpret_cast<sockaddr*>(&local), &localLength);

  // no SA_RESTART: a signal ends the blocking receive
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  printf("serving %zu file(s) from %s on 127.0.0.1:%u\n", server.files.size(), argv[1],
         ntohs(local.sin_port));
  uint8_t in[2048], out[1024];
  while (!gStop) {
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t n = ::recvfrom(sock, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n < 0) {
      if (errno == EINTR) continue;
      fprintf(stderr, "receive failed: %s\n", std::strerror(errno));
      break;
    }
    std::string line;
    const uint32_t length = ServeDatagram(server, in, static_cast<uint32_t>(n), out, &line);
    printf("%s:%u %s\n", inet_ntoa(from.sin_addr), ntohs(from.sin_port), line.c_str());
    if (length != 0 &&
        ::sendto(sock, out, length, 0, reinterpret_cast<sockaddr*>(&from), fromLength) < 0) {
      printf("reply not sent: %s\n", std::strerror(errno));
    }
  }
  ::close(sock);
  printf("stopped after %u datagram(s), %u reply(ies)\n", server.datagrams, server.replies);
  return gStop ? 0 : 1;
}
