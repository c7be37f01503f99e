// The one account of the ports that the window, kestro-cli's ports and find and their JSON give:
// every port checked with its adapter, which are offered, which are left out and why, which the
// user named, and the adapters that give no port that opens.
#pragma once

#include "serial/port_status.h"
#include "serial/system.h"
#include "serial/usb_adapters.h"

#include <functional>
#include <string>
#include <vector>

struct PortSurvey {
    std::vector<PortReport> ports;        // every candidate, in order, each with its adapter
    std::vector<AdapterReport> adapters;  // every adapter that the system sees
    std::vector<std::string> named;       // the device paths that the user named

    // A port to offer: a free one.
    static bool Offers(const PortReport& report);
    // The ports to offer, in order.
    std::vector<PortCandidate> Offered() const;
    // The ports left out that a user may look for (LeftOut), counted.
    size_t LeftOutCount() const;
    // A port that the user named by its path.
    bool Named(const PortReport& report) const;
    // A port named by hand and not offered: always said, with why.
    bool NamedAndLeftOut(const PortReport& report) const;
    // The adapters with a problem and the numbers that absent ones keep, in the system's order.
    std::vector<AdapterReport> Troubled() const;
};

// Lists and checks the system's ports, the named paths among them, while its adapters are read
// beside them (ListAdapters, or what the bench gives): they touch other devices, so that reading
// them costs little more than the checks alone. The named ports on serial servers are checked
// as the watch follows them (CheckPorts).
PortSurvey SurveyPorts(const std::vector<std::string>& named,
                       const std::function<std::vector<AdapterReport>()>& adapters = ListAdapters,
                       const ServerCheckWatch& watch = {});
// The same over candidates and adapters given (the window's tests give their own).
PortSurvey SurveyPorts(const std::vector<PortCandidate>& candidates, std::vector<AdapterReport> adapters,
                       const std::vector<std::string>& named, const ServerCheckWatch& watch = {});
