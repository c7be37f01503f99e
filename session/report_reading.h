// Opening a support report on the support desk: the file checked against its code, its summary,
// and its traffic as the messages that the traffic view shows.
#pragma once

#include "link/traffic_decoder.h"

#include <string>
#include <vector>

struct OpenedReport {
    std::string code;
    std::vector<std::string> summary;  // the "Resumo" lines, UTF-8
    std::vector<TrafficMessage> traffic;
};

enum class ReportRead {
    kRead,
    kNotAReport,  // the file does not start as a report does
    kDamaged,     // `why` says how: the code does not match, a traffic line does not read
};

// Reads the file's bytes, in any of the forms that it travels in (the UTF-8 mark, CR LF).
ReportRead ReadReport(const std::string& bytes, OpenedReport& report, std::string& why);
