// The launcher role: stop a shadow that still runs, copy the running executable to the shadow
// file and start it with the same argument. Main thread, before any window exists.
#pragma once

#include <string>

// Stops the first process whose first module is strShadowPath, copies strExePath over it and
// starts it with strArgument; returns InitInstance's result: -1 when the running shadow cannot
// be opened for termination, 0 otherwise.
int RunLauncher(const std::string& strExePath, const std::string& strShadowPath,
                const std::string& strArgument);

// Writes a failure text to standard output, or to the parent's console when there is one.
void WriteLauncherText(const char* szText);
