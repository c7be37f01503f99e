// Fuzzes the reader of a port on a serial server ("socket://loja12:3001"): any text. What reads has
// a host without the characters that end one and a port number from 1 to 65535, and written back
// as the texts name it, it reads the same; what does not read is never taken for a server's port.
// Built with libFuzzer, ASan and UBSan.
#include "serial/port_address.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "port_url_fuzzer: %s\n", what);
    std::abort();
}

bool SameAddress(const PortAddress& a, const PortAddress& b)
{
    return a.kind == b.kind && a.host == b.host && a.port == b.port;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string name(reinterpret_cast<const char*>(data), size);
    const PortAddress address = ReadPortName(name);
    if (address.name != name)
        Fail("the name was not kept as given");
    if (!address.OnServer() || address.host.empty()) {
        if (!address.Where().empty() || !address.port.empty())
            Fail("a name that does not read has a server");
        return 0;
    }
    if (!IsPortWord(name))
        Fail("a server's port is no port word");
    if (address.host.find_first_of("/[]@ ?#") != std::string::npos)
        Fail("a host that cannot be");
    const int number = std::atoi(address.port.c_str());
    if (address.port.empty() || address.port.size() > 5 || number < 1 || number > 65535 ||
        address.port.find_first_not_of("0123456789") != std::string::npos)
        Fail("a port number out of range");
    const std::string scheme = address.kind == PortKind::kRfc2217Server ? "rfc2217://" : "socket://";
    if (!SameAddress(ReadPortName(scheme + address.Where()), address))
        Fail("the name written back reads otherwise");
    return 0;
}
