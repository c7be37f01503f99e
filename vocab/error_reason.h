// Why a file could not be opened, read or written, in Portuguese: the C library's own texts
// are English.
#pragma once

#include <string>

// The errno value as a short Windows-1252 reason that says what to check: "disco cheio".
// Values without a text of their own give "erro N do sistema".
std::string ErrorReason(int code);
