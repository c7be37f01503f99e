// The ports' account: the checks' statuses joined to the adapters that give the ports.
#include "serial/port_survey.h"

#include <algorithm>
#include <future>

bool PortSurvey::Offers(const PortReport& report) { return report.status.state == PortState::kFree; }

std::vector<PortCandidate> PortSurvey::Offered() const { return FreePorts(ports); }

size_t PortSurvey::LeftOutCount() const
{
    return static_cast<size_t>(std::count_if(ports.begin(), ports.end(),
                                             [](const PortReport& report) { return LeftOut(report.status); }));
}

bool PortSurvey::Named(const PortReport& report) const
{
    return std::find(named.begin(), named.end(), report.port.path) != named.end();
}

bool PortSurvey::NamedAndLeftOut(const PortReport& report) const { return !Offers(report) && Named(report); }

std::vector<AdapterReport> PortSurvey::Troubled() const
{
    std::vector<AdapterReport> troubled;
    std::copy_if(adapters.begin(), adapters.end(), std::back_inserter(troubled),
                 [](const AdapterReport& adapter) { return adapter.kind != AdapterProblem::kNone; });
    return troubled;
}

namespace {

// The checked ports joined to the adapters that give them.
PortSurvey Joined(std::vector<PortReport> ports, std::vector<AdapterReport> adapters,
                  const std::vector<std::string>& named)
{
    PortSurvey survey {std::move(ports), std::move(adapters), named};
    for (PortReport& report : survey.ports) {
        const AdapterReport* adapter = AdapterGiving(survey.adapters, report.port.name);
        if (adapter == nullptr)
            continue;
        report.adapter = *adapter;
        if (report.port.description.empty())
            report.port.description = adapter->description;
    }
    return survey;
}

}  // namespace

PortSurvey SurveyPorts(const std::vector<std::string>& named,
                       const std::function<std::vector<AdapterReport>()>& adapters, const ServerCheckWatch& watch)
{
    std::future<std::vector<AdapterReport>> read = std::async(std::launch::async, adapters);
    std::vector<PortReport> ports = CheckPorts(ListCandidatePorts(named), watch);
    return Joined(std::move(ports), read.get(), named);
}

PortSurvey SurveyPorts(const std::vector<PortCandidate>& candidates, std::vector<AdapterReport> adapters,
                       const std::vector<std::string>& named, const ServerCheckWatch& watch)
{
    return Joined(CheckPorts(candidates, watch), std::move(adapters), named);
}
