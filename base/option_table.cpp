// The one reader of both programs' option tables.
#include "base/option_table.h"

namespace {

// The rule that word names, with "--name=VALUE" only for options that take a value.
const OptionRule* RuleFor(const std::string& word, const std::vector<OptionRule>& rules)
{
    for (const OptionRule& rule : rules) {
        if (word == rule.name || (rule.needs && word.rfind(rule.name + "=", 0) == 0))
            return &rule;
    }
    return nullptr;
}

}  // namespace

OptionRule SwitchRule(const std::string& name, bool& flag)
{
    return {name, kSwitch, [&flag](const std::string&) {
                flag = true;
                return true;
            }};
}

bool ParseOptions(const std::vector<std::string>& words, const std::vector<OptionRule>& rules,
                  const OtherWord& other, const OptionWording& wording, std::string& error)
{
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const OptionRule* rule = RuleFor(word, rules);
        if (!rule) {
            if (!other(word, error))
                return false;
            continue;
        }
        if (!rule->needs) {
            rule->take({});
            continue;
        }
        const bool joined = word.size() > rule->name.size();
        if (!joined && i + 1 == words.size()) {
            error = wording.missing(rule->name, rule->needs);
            return false;
        }
        const std::string value = joined ? word.substr(rule->name.size() + 1) : words[++i];
        if (!rule->take(value)) {
            error = value.empty() ? wording.missing(rule->name, rule->needs) : wording.refused(rule->name, value);
            return false;
        }
    }
    return true;
}
