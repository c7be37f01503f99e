// Showing the printer's identification.
#include "session/identification.h"

namespace {

std::string Slice(const std::string& text, size_t position, size_t count)
{
    return position < text.size() ? text.substr(position, count) : std::string();
}

}  // namespace

std::string FormatSb(const std::string& sb)
{
    // A version not read shows nothing, like the other items, rather than its two dots alone.
    if (sb.empty())
        return {};
    return Slice(sb, 0, 2) + "." + Slice(sb, 2, 2) + "." + Slice(sb, 4, 2);
}
