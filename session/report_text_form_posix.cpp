// The report's text on POSIX systems: UTF-8 with "\n", as their editors read it.
#include "session/support_report.h"

std::string SystemTextForm(const std::string& text) { return text; }
