// Texts that must stop the build (tests/CMakeLists.txt compiles this file and reads the errors):
// a character that Windows-1252 lacks, and a fact that no caller fills in, also in a text kept in UTF-8.
#include "vocab/text.h"

constexpr const char* kArrowText = "porta → impressora"_cp1252;
constexpr const char* kMistypedFactText = "{prot} em uso"_cp1252;
constexpr const char* kMistypedUtf8Text = "Relatório de {dat}"_utf8;
