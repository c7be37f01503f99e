// The option reader's errors, filled in.
#include "vocab/usage_words.h"

#include "vocab/filling.h"

std::string NeedsValueText(const std::string& option, const std::string& needs)
{
    return FillInUtf8(FillIn(kNeedsValueText, {{"needs", needs}}), {{"option", option}});
}

std::string BadValueText(const std::string& option, const std::string& value)
{
    return FillInUtf8(kBadValueText, {{"option", option}, {"value", value}});
}
