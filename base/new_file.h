// A file written whole or not at all: under a temporary name beside it, then given its name, never
// in place of a file that is there; readable by its owner only where the system has owners. One
// implementation per system.
#pragma once

#include <string>

// 0 when the file is there with all of `bytes`; otherwise the C library's errno value for why
// (EEXIST when the name is taken, ENOSPC for a full disk), with nothing left behind.
int WriteNewFile(const std::string& path, const std::string& bytes);
