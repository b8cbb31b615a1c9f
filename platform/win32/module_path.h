// Splitting the program's own path into its directory and file name.
#pragma once

#include <string_view>

#include "values/text.h"

struct ModulePathParts {
  Text directory;  // without a trailing backslash; empty when the path has none
  Text fileName;
};

// Cuts `path` at its last backslash. Double-byte characters of the ANSI code page are stepped over whole,
// so a GBK trail byte of 0x5C is never taken for a separator.
ModulePathParts SplitModulePath(std::string_view path);

// The directory to make current for `directory`: a bare drive ("C:") would mean that drive's current
// directory, so its root ("C:\") is given instead.
Text CurrentDirectoryFor(const Text& directory);
