// The texts of the window's own features.
#include "vocab/window_texts.h"

#include <algorithm>
#include <iterator>

const char* ActivityTip(int code)
{
    const bool known = code >= 0 && code < static_cast<int>(std::size(kActivityTips));
    return known ? kActivityTips[code] : "";
}

const char* SaveFailureText(SaveFailure failure) { return kSaveFailures[static_cast<int>(failure)]; }

std::string TrafficFileName(const std::string& port, const std::tm& when)
{
    char stamp[32] = "";
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &when);
    std::string name = port;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return std::string("/\\:*?\"<>|").find(c) != std::string::npos; },
        '-');
    return "trafego_" + (name.empty() ? "" : name + "_") + stamp + ".txt";
}
