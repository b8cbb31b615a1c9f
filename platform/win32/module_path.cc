#include "platform/win32/module_path.h"

#include <windows.h>

ModulePathParts SplitModulePath(std::string_view path) {
  path = path.substr(0, path.find('\0'));
  size_t cut = std::string_view::npos;
  for (size_t i = 0; i < path.size();) {
    const auto byte = static_cast<BYTE>(path[i]);
    if (byte == '\\') cut = i;
    // A lead byte with nothing after it is taken as a single byte.
    i += (IsDBCSLeadByte(byte) && i + 1 < path.size()) ? 2 : 1;
  }
  if (cut == std::string_view::npos) return {Text(), Text(path)};
  return {Text(path.substr(0, cut)), Text(path.substr(cut + 1))};
}

Text CurrentDirectoryFor(const Text& directory) {
  if (directory.size() == 2 && directory[1] == ':') return directory + "\\";
  return directory;
}
