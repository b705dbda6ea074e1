// The stand-in update server's protocol: one request datagram in, at most
// one reply datagram out, on byte buffers. The socket loop and the folder
// reading live in server_main.cpp, so a test drives this without sockets.
//
// Files are whole storage files (FileHeader, then data) served under the
// name in their header. A file-information request answers status 1, the
// name, the file's revision text and its size, or status 0 when no file has
// that name; a file-data request answers status 1 and up to 400 bytes from
// its offset (fewer at the end of the file), or status 0 for an unknown
// name, an offset past the end or a count over 400. Every reply ends with
// the request's sequence number and the sum of the bytes before it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trelvan {

constexpr const char* kDefaultServedRevision = "1.00";  // files the index does not name
constexpr const char* kRevisionIndexName = "index.txt";

struct ServedFile {
  std::string name;             /**< the name in its FileHeader */
  std::string revision;         /**< from the index, else "1.00" */
  std::vector<uint8_t> bytes;   /**< the whole storage file */
};

struct ServeOptions {
  uint32_t dropEvery = 0;     /**< every Nth datagram gets no answer (0: none) */
  uint32_t corruptEvery = 0;  /**< every Mth reply carries a spoilt sum (0: none) */
  bool staleOnce = false;     /**< the first reply answers the sequence before the request's */
};

struct UpdateServer {
  std::vector<ServedFile> files;
  ServeOptions options;
  uint32_t datagrams = 0;  /**< datagrams received so far */
  uint32_t replies = 0;    /**< replies sent so far */
  bool staleSent = false;
};

// Adds a storage file; false (nothing added) when it does not begin with a
// complete FileHeader. A file of a name already served replaces it.
bool AddServedFile(UpdateServer& server, const uint8_t* bytes, uint32_t size);
// Applies an index of "NAME<TAB>REVISION" lines; blank lines and lines
// starting with '#' are skipped. Returns the number of lines that named no
// served file or had no tab.
int ApplyRevisionIndex(UpdateServer& server, const std::string& text);

// Answers one datagram of n bytes (magic included). Returns the reply's
// length in `out` (at least 512 bytes), 0 when nothing is to be sent;
// `line` receives what was done, for the log.
uint32_t ServeDatagram(UpdateServer& server, const uint8_t* datagram, uint32_t n, uint8_t* out,
                       std::string* line);

}  // namespace trelvan
