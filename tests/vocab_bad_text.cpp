// Texts that must stop the build (tests/CMakeLists.txt compiles this file and reads the errors):
// a character that Windows-1252 lacks, and a fact that no caller fills in.
#include "vocab/text.h"

constexpr const char* kArrowText = "porta → impressora"_cp1252;
constexpr const char* kMistypedFactText = "{prot} em uso"_cp1252;
