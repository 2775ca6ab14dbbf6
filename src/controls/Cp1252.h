#pragma once

// Windows-1252 byte strings, as the model and the wire hold them, to and from the UTF-16
// text that the screen shows.

#include <string>

std::u16string Cp1252ToUtf16(const std::string& bytes);

// Characters without a Windows-1252 byte become '?'.
std::string Utf16ToCp1252(const std::u16string& text);
