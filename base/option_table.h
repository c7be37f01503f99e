// Long options read from a table: each program lists its options and what each one sets, and
// this one reader gives them the same syntax; the caller words its errors.
#pragma once

#include <functional>
#include <string>
#include <vector>

// One option: a switch ("--trace") or one with a value ("--port NAME" or "--port=NAME").
struct OptionRule {
    std::string name;   // "--port"; "-h" works as well
    const char* needs;  // what the value is, Windows-1252, for the missing value's error; nullptr for a switch
    std::function<bool(const std::string& value)> take;  // false: the value is refused
};

inline constexpr const char* kSwitch = nullptr;

// A switch that sets flag.
OptionRule SwitchRule(const std::string& name, bool& flag);

// Words that are no rule's option; may refuse one with its own error.
using OtherWord = std::function<bool(const std::string& word, std::string& error)>;

// The two errors' texts, from the option's name and what it needs, or the value refused.
struct OptionWording {
    std::string (*missing)(const std::string& name, const std::string& needs);
    std::string (*refused)(const std::string& name, const std::string& value);
};

// Reads words in order; options may come anywhere. A value is the rest after "=" or the next
// word, whatever it looks like. False on the first error: a missing value, or an empty one that
// is refused, is worded as missing; another refused value as refused.
bool ParseOptions(const std::vector<std::string>& words, const std::vector<OptionRule>& rules,
                  const OtherWord& other, const OptionWording& wording, std::string& error);
