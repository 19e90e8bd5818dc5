// Reading a whole small file (a list or a settings file) into memory. Portable: no Windows header.
#pragma once

#include <string>

// Replaces *out with the bytes of the file at szPath; false, with *out empty, when it cannot be opened.
bool ReadFileBytes(const char* szPath, std::string* out);
