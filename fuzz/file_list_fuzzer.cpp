// Any byte string as a downloaded file list: the parse must end, take only well-formed rows,
// and the comparison must accept whatever it produced.
#include <cstdint>
#include <cstdlib>

#include "engine/FileList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FileList remote;
  ParseFileList(reinterpret_cast<const char*>(data), size, remote);
  for (const FileEntry& e : remote) {
    if (e.m_strDir.empty() || e.m_strName.empty() || e.m_strDir.size() > kMaxListField ||
        e.m_strName.size() > kMaxListField || e.m_strDir.find(':') != std::string::npos ||
        e.m_strName.find('\n') != std::string::npos)
      abort();
  }
  FileList local(remote.begin(), remote.begin() + remote.size() / 2);
  FileList work;
  CompareFileLists(remote, local, work);
  return 0;
}
