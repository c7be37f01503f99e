// The Portuguese text that explains an error pair: the printer's classes 1 to 17, the link's
// own class 255, and a raw form for any other class.
#pragma once

#include <string>

// Returns Windows-1252 bytes (Cp1252ToUtf8 turns them into UTF-8 for display). Class 0 and the
// cleared link condition give the empty text; any pair of integers gives some text.
std::string ErrorText(int errClass, int errDetail);
