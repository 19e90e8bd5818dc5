#include "publish/PublishCommand.h"

#include <string>

#include "publish/HostNames.h"
#include "publish/NameRules.h"
#include "publish/Publish.h"

namespace {

const char kUsage[] =
    "usage: pellarin-publish <release-dir> <target> <out-dir>\n"
    "  writes <out-dir>/kv9update/<target>/filelist.list and .../release/ from <release-dir>\n";

// The text of arg when it is printable ASCII throughout, as a target must be.
bool AsciiArgument(const std::filesystem::path& arg, std::string* out) {
  for (auto c : arg.native()) {
    if (c < 0x20 || c > 0x7E) return false;
    out->push_back(static_cast<char>(c));
  }
  return true;
}

std::string Count(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

int RunPublishCommand(const std::vector<std::filesystem::path>& args, FILE* out, FILE* err,
                      const std::atomic<bool>* cancel) {
  if (args.size() != 3) {
    fputs(kUsage, err);
    return 2;
  }
  PublishRequest request;
  request.releaseDir = args[0];
  request.outDir = args[2];
  const char* why = AsciiArgument(args[1], &request.target)
                        ? RefuseTarget(request.target)
                        : "the target may hold only ASCII letters, digits, \"_\", \"-\" and \".\"";
  if (why != nullptr) {
    fprintf(err, "pellarin-publish: bad target: %s\n%s", why, kUsage);
    return 2;
  }
  request.progress = err;
  request.progressTerminal = IsTerminal(err);
  request.progressAlways = request.progressTerminal;
  request.cancel = cancel;

  PublishSummary summary;
  std::vector<std::string> errors;
  bool ok = PublishRelease(request, &summary, &errors);
  for (const std::string& w : summary.warnings) fprintf(err, "pellarin-publish: warning: %s\n", w.c_str());
  if (!ok) {
    for (const std::string& e : errors) fprintf(err, "pellarin-publish: %s\n", e.c_str());
    fprintf(err, "pellarin-publish: nothing published\n");
    return 1;
  }
  fprintf(out, "pellarin-publish: published %s and %s (%llu bytes) to %s\n",
          Count(summary.nFiles, "file", "files").c_str(),
          Count(summary.nDirectories, "directory", "directories").c_str(),
          static_cast<unsigned long long>(summary.nBytes), DisplayPath(summary.published).c_str());
  return 0;
}
