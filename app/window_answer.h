// What the window program answers on its command line without opening a window: kestro.exe and its
// console companion kestro.com (Windows) give the same text.
#pragma once

#include <string>
#include <vector>

// What --help and --version print, UTF-8; empty when the command line opens the window. They need
// no window, so they answer where there is no display too.
std::string WindowAnswer(const std::vector<std::string>& arguments);
