#pragma once
// Conversions at the file boundary: files written for people or other programs are
// Windows-1252; text inside the program is UTF-8.
#include <string>
#include <string_view>

namespace tv::encoding {
// Characters with no Windows-1252 form become '?'.
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view cp1252);
// True when the bytes are valid UTF-8 (used when reading files of unknown origin).
bool IsValidUtf8(std::string_view bytes);
// Reads a text file that may be Windows-1252 or UTF-8 and returns UTF-8.
std::string DecodeFileText(std::string_view bytes);
}  // namespace tv::encoding
