// The profile (INI) file format as GetPrivateProfileStringA and WritePrivateProfileStringA read and
// write it, over the bytes of one file held in memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "values/text.h"

// The value of `key` in the first section named `section`, or nothing when the section, the key or
// its '=' is missing. Names are compared without case and without surrounding white space; a value
// enclosed in matching quotes loses them; the result is cut to fit a buffer of `bufferSize` bytes
// with its closing zero, never in the middle of a double-byte character.
std::optional<Text> ReadProfileValue(std::string_view content, std::string_view section, std::string_view key,
                                     size_t bufferSize);

// Sets `key` in the first section named `section`, editing `content` in place: the first line of the
// key is rewritten, a new key goes after the last line of its section, a new section is appended at
// the end of the file. Lines are ended with CR LF; the value's leading white space is dropped.
void WriteProfileValue(Text& content, std::string_view section, std::string_view key, std::string_view value);
