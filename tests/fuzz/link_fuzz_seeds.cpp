// Writes the link fuzz seeds: a pull and a push as the handheld makes them,
// each packet a length byte and the packet with its checksum.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Add(Bytes& out, Bytes packet) {
  uint8_t sum = 0;
  for (uint8_t b : packet) sum = static_cast<uint8_t>(sum + b);
  packet.push_back(sum);
  out.push_back(static_cast<uint8_t>(packet.size()));
  out.insert(out.end(), packet.begin(), packet.end());
}

bool Write(const std::string& path, const Bytes& b) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: link_fuzz_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  Bytes pull;
  Add(pull, {0x29, 'T', 0, 'A', 0, 'I', 'V', 'T', '1', 0, '1', '.', '2', 'a', 0});
  Add(pull, {0x2A});
  Add(pull, {0x13});
  Add(pull, {0x14, 1, 0});
  Add(pull, {0x15, 1, 0, 0x10, 0, 0, 0, 200, 0});
  Add(pull, {0x12, 'B', 'e', 't', 'a', '~', 0});
  Add(pull, {0x11});
  Bytes push;
  Add(push, {0x16, 40, 0, 0, 0});
  Bytes piece = {0x17, 20};
  for (int i = 0; i < 20; ++i) piece.push_back(static_cast<uint8_t>(i == 0 ? 2 : 'a' + i));
  Add(push, piece);
  Add(push, piece);
  Add(push, {0x20});
  const Bytes datagram = {0x83, 0x74, 0x23, 0x91, 1, 2, 3, 0, 6, 0};
  const Bytes frame = {4, 0, 0x11, 0x11, 5, 0, 0x11};
  return Write(folder + "/pull", pull) && Write(folder + "/push", push) &&
                 Write(folder + "/datagram", datagram) && Write(folder + "/frame", frame)
             ? 0
             : 1;
}
