#pragma once

// Tags as a device keeps them: packed text, six bits a character, which holds the blank,
// the capitals, the digits and the signs from '!' to '_'. Small letters a-z are sent as
// their capitals; any other character would reach the device as another one.

#include <string>

#include "runtime/Langue.h"

// True when every character of the Windows-1252 text can be sent as it stands or as its
// capital.
bool IsPackedText(const std::string& text);

// a-z to A-Z; every other character as it is.
std::string AsciiUpperCase(const std::string& text);

// What the user is told of a tag with a character packed text has not (UTF-8).
const char* TagCharacterText(TLangue langue);
