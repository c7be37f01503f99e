// The reading of a port's name: the schemes of server ports, their host and port number.
#include "serial/port_address.h"

#include "serial/port_list.h"
#include "serial/system.h"

#include <algorithm>
#include <optional>

namespace {

struct Scheme {
    const char* prefix;
    PortKind kind;
};
constexpr Scheme kSchemes[] = {{"socket://", PortKind::kRawServer}, {"rfc2217://", PortKind::kRfc2217Server}};

std::optional<Scheme> SchemeOf(const std::string& name)
{
    for (const Scheme& scheme : kSchemes) {
        if (name.rfind(scheme.prefix, 0) == 0)
            return scheme;
    }
    return std::nullopt;
}

bool IsPortNumber(const std::string& text)
{
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const long number = std::stol(text);
    return number >= 1 && number <= 65535;
}

// "HOST:PORT" after the scheme, the host bracketed when it is an IPv6 literal; false, with
// nothing kept, for anything else.
bool ReadServer(const std::string& rest, PortAddress& address)
{
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos || !IsPortNumber(rest.substr(colon + 1)))
        return false;
    std::string host = rest.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const bool bad = host.empty() || host.find_first_of("/[]@ ?#") != std::string::npos ||
                     (host.find(':') != std::string::npos && rest.front() != '[');
    if (bad)
        return false;
    address.host = host;
    address.port = rest.substr(colon + 1);
    return true;
}

}  // namespace

std::string PortAddress::Where() const
{
    if (!OnServer() || host.empty())
        return {};
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + port;
}

PortAddress ReadPortName(const std::string& name)
{
    const std::optional<Scheme> scheme = SchemeOf(name);
    if (!scheme)
        return {PortKind::kDevice, name, DevicePathForPortName(name), {}, {}};
    PortAddress address {scheme->kind, name, name, {}, {}};
    ReadServer(name.substr(std::string(scheme->prefix).size()), address);
    return address;
}

PortAddress DeviceAddress(const std::string& path)
{
    return {PortKind::kDevice, PortNameForDevicePath(path), path, {}, {}};
}

PortAddress PortCandidate::Address() const
{
    return kind == PortKind::kDevice ? PortAddress {kind, name, path, {}, {}} : ReadPortName(path);
}

bool IsPortWord(const std::string& word) { return IsDevicePathArgument(word) || SchemeOf(word).has_value(); }
