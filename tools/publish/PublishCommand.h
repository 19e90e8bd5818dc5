// The command line of pellarin-publish: pellarin-publish <release-dir> <target> <out-dir>.
// Portable: no Windows header.
#pragma once

#include <cstdio>
#include <filesystem>
#include <vector>

// Runs the publisher with args (without the program name): progress and messages to err, the
// one-line summary to out. Returns 0 on success, 1 when nothing was published, 2 for a wrong
// command line.
int RunPublishCommand(const std::vector<std::filesystem::path>& args, FILE* out, FILE* err);
