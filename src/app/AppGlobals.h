// Process-wide texts of start-up, read by the dialog and the hand-off. Main thread only.
#pragma once

#include <string>

// The command-line argument: "plat" (the default) or "<game>,<number>".
extern std::string g_strArgument;
// Directory of the skin pictures, relative to the installation directory: "Patch\".
extern std::string g_strSkinDir;
