// The rules that every text of the vocabulary is filled in by: {name} placeholders, a count with
// its word in the count's number, and numbers grouped by thousands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

// Puts each value in place of its {key}; keys that it does not name stay as they are. Values are
// never read for keys, so that a holder's name cannot change the text around it.
std::string FillIn(const std::string& text, std::initializer_list<std::pair<const char*, std::string>> values);

// The vocabulary's text turned into UTF-8 and the values, UTF-8 already (names that the system
// gives: ports, paths), put in as they are.
std::string FillInUtf8(const std::string& cp1252,
                       std::initializer_list<std::pair<const char*, std::string>> values);

// A word in the count's number: "porta tentada" for 1, "portas tentadas" for the rest.
struct CountedWords {
    const char* one;
    const char* many;
};
const char* InNumber(size_t count, const CountedWords& words);
// The count and its word: "1 porta tentada", "3 portas tentadas".
std::string Counted(size_t count, const CountedWords& words);

// Digits grouped by thousands with dots, as Brazilian texts write them: "12.000", "-1.250".
std::string GroupedDigits(int64_t value);
