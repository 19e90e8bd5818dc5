// The command line of pellarin-publish: pellarin-publish <release-dir> <target> <out-dir>.
// Portable: no Windows header.
#pragma once

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <vector>

// Runs the publisher with args (without the program name): progress and messages to err, the
// one-line summary to out. Stops, leaving nothing, when *cancel turns true. Returns 0 on
// success, 1 when nothing was published, 2 for a wrong command line.
int RunPublishCommand(const std::vector<std::filesystem::path>& args, FILE* out, FILE* err,
                      const std::atomic<bool>* cancel = nullptr);
