// The server list file "updatelist.ini" and the random choice of one server of a line type.
// Portable: no Windows header. Runs on the user-interface thread, once per process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One row "nId;nLineType;szName;szHost;nPort" of the server list.
struct ServerEntry {
  int32_t nId = 0;        // rows with 0 are not kept
  int32_t nLineType = 0;  // network line; the key of the choice
  char szName[260] = {};  // not interpreted
  char szHost[64] = {};   // handed unchanged to the connection
  int32_t nPort = 0;      // TCP port; its low 16 bits are used
};

using ServerList = std::vector<ServerEntry>;

// Longest line the list may hold; a longer line drops its row.
constexpr size_t kMaxServerLine = 1299;

// Replaces list with the rows of the list text, read as the file's text-mode line reader does:
// blank runs between lines vanish, "#" starts a comment, an empty read ends the list, and a
// row keeps the fields that parsed. A row whose name or host would not fit is dropped.
void ParseUpdateList(const char* data, size_t len, ServerList& list);

// Replaces list with the rows of the file at szPath; a missing file leaves it empty.
void ReadUpdateListFile(const char* szPath, ServerList& list);

// Index of the row the choice walk lands on for the random value r (0..32767), or -1: the
// target ordinal is (r + n) mod 2n, the ordinal starts at -1 and counts only rows of
// nLineType, and the walk wraps round the list for at most 1001 row visits.
int ChooseServerIndex(const ServerList& list, int32_t nLineType, int r);
