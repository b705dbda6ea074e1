// libhidapi-hidraw stand-in, loaded with LD_PRELOAD in the tests in place of
// the system's: it presents one device, 0x04D8:0xF320, while
// TRELVAN_FAKE_HID_PORTS ("own port:handheld port") is set and the stand-in
// handheld holds its port (the device is plugged in while it runs), and carries
// every report over loopback datagrams to the stand-in handheld in its HID
// mode. Output reports go out whole (id, code, payload); each datagram that
// comes back is an input report, handed to the reader without its id as
// hidraw does for unnumbered reports. TRELVAN_FAKE_HID_LOG names a file
// where opens, closes and reads that ran out (with the wait asked) are
// written, one line each.
#include <arpa/inet.h>
#include <hidapi.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

struct hid_device_ {
  int socket = -1;
  uint16_t handheldPort = 0;
};

namespace {

constexpr unsigned short kVendor = 0x04D8;
constexpr unsigned short kProduct = 0xF320;
char kPath[] = "fake-hid";
hid_device_ device;

bool Ports(uint16_t* own, uint16_t* handheld) {
  const char* ports = std::getenv("TRELVAN_FAKE_HID_PORTS");
  unsigned a = 0, b = 0;
  if (!ports || std::sscanf(ports, "%u:%u", &a, &b) != 2 || a > 65535 || b > 65535) return false;
  *own = static_cast<uint16_t>(a);
  *handheld = static_cast<uint16_t>(b);
  return true;
}

void Log(const char* line, int ms = -1) {
  const char* path = std::getenv("TRELVAN_FAKE_HID_LOG");
  if (!path) return;
  if (FILE* f = std::fopen(path, "a")) {
    if (ms >= 0) std::fprintf(f, "%s %d ms\n", line, ms);
    else std::fprintf(f, "%s\n", line);
    std::fclose(f);
  }
}

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

// True while a socket holds the handheld's port.
bool HandheldRuns(uint16_t port) {
  const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const sockaddr_in at = Loopback(port);
  const bool taken = s >= 0 && ::bind(s, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0;
  if (s >= 0) ::close(s);
  return taken;
}

}  // namespace

FAKE_EXPORT int hid_init(void) { return 0; }
FAKE_EXPORT int hid_exit(void) { return 0; }

FAKE_EXPORT hid_device_info* hid_enumerate(unsigned short vendor, unsigned short product) {
  uint16_t own, handheld;
  if (!Ports(&own, &handheld) || !HandheldRuns(handheld)) return nullptr;
  if ((vendor && vendor != kVendor) || (product && product != kProduct)) return nullptr;
  hid_device_info* d = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
  d->path = kPath;
  d->vendor_id = kVendor;
  d->product_id = kProduct;
  return d;
}

FAKE_EXPORT void hid_free_enumeration(hid_device_info* list) { std::free(list); }

FAKE_EXPORT hid_device* hid_open_path(const char* path) {
  uint16_t own, handheld;
  if (std::strcmp(path, kPath) != 0 || device.socket >= 0 || !Ports(&own, &handheld)) return nullptr;
  // not inherited by a process the program starts, which would hold the port
  const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const sockaddr_in at = Loopback(own);
  if (s < 0 || ::bind(s, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0) {
    if (s >= 0) ::close(s);
    return nullptr;
  }
  device.socket = s;
  device.handheldPort = handheld;
  Log("open");
  return &device;
}

FAKE_EXPORT int hid_write(hid_device* d, const unsigned char* data, size_t length) {
  const sockaddr_in to = Loopback(d->handheldPort);
  const ssize_t n = ::sendto(d->socket, data, length, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  return n < 0 ? -1 : static_cast<int>(n);
}

FAKE_EXPORT int hid_read_timeout(hid_device* d, unsigned char* data, size_t length, int ms) {
  pollfd p{d->socket, POLLIN, 0};
  const int ready = ::poll(&p, 1, ms);
  if (ready < 0) return -1;
  if (ready == 0) {
    Log("read ran out after", ms);
    return 0;
  }
  unsigned char report[256];
  const ssize_t n = ::recv(d->socket, report, sizeof report, 0);
  if (n < 1) return -1;
  const size_t copied = static_cast<size_t>(n) - 1 < length ? static_cast<size_t>(n) - 1 : length;
  std::memcpy(data, report + 1, copied);
  return static_cast<int>(copied);
}

FAKE_EXPORT int hid_read(hid_device* d, unsigned char* data, size_t length) {
  return hid_read_timeout(d, data, length, -1);
}

FAKE_EXPORT void hid_close(hid_device* d) {
  if (d->socket >= 0) ::close(d->socket);
  d->socket = -1;
  Log("close");
}
