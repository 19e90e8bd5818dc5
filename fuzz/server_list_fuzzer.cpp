// Any byte string as "updatelist.ini": rows must fit their fields and the choice walk must
// land on a row of the requested type or on none.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/ServerList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ServerList list;
  ParseUpdateList(reinterpret_cast<const char*>(data), size, list);
  for (const ServerEntry& e : list) {
    if (e.nId == 0 || memchr(e.szName, 0, sizeof e.szName) == nullptr ||
        memchr(e.szHost, 0, sizeof e.szHost) == nullptr)
      abort();
  }
  int r = size > 0 ? data[0] * 128 + (size > 1 ? data[1] % 128 : 0) : 0;
  int i = ChooseServerIndex(list, 1, r);
  if (i != -1 && (i < 0 || static_cast<size_t>(i) >= list.size() || list[i].nLineType != 1)) abort();
  return 0;
}
