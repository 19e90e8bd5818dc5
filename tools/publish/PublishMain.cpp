// Entry of pellarin-publish. On Windows the arguments are taken wide, so that release and
// output paths keep every character whatever the ANSI code page.
#include <clocale>
#include <filesystem>
#include <vector>

#include "publish/PublishCommand.h"

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
  // Host file names are read in the charset of the user's locale.
  setlocale(LC_CTYPE, "");
#endif
  std::vector<std::filesystem::path> args(argv + 1, argv + argc);
  return RunPublishCommand(args, stdout, stderr);
}
