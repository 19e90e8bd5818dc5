// Entry of pellarin-publish. On Windows the arguments are taken wide, so that release and
// output paths keep every character whatever the ANSI code page.
#include <atomic>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <vector>

#include "publish/PublishCommand.h"

namespace {

// Set by Ctrl+C: the run stops at the next chunk and removes what it staged.
std::atomic<bool> g_bCancel{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void OnInterrupt(int) { g_bCancel.store(true); }

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
  // Host file names are read in the charset of the user's locale.
  setlocale(LC_CTYPE, "");
  std::signal(SIGTERM, OnInterrupt);
#endif
  std::signal(SIGINT, OnInterrupt);
  std::vector<std::filesystem::path> args(argv + 1, argv + argc);
  return RunPublishCommand(args, stdout, stderr, &g_bCancel);
}
