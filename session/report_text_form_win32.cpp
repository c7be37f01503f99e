// The report's text on Windows: the UTF-8 mark and CR LF, so that Notepad shows the accents and
// the lines of any version.
#include "session/support_report.h"

std::string SystemTextForm(const std::string& text)
{
    std::string form = "\xEF\xBB\xBF";
    form.reserve(text.size() + text.size() / 40 + 3);
    for (const char c : text) {
        if (c == '\n')
            form += '\r';
        form += c;
    }
    return form;
}
