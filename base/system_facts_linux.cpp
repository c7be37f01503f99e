// The system facts on Linux: os-release, uname, the passwd and group databases.
#include "base/system_facts.h"

#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace {

// PRETTY_NAME from os-release, without its quotes; "" when there is none.
std::string Distribution()
{
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) {
            const std::string key = "PRETTY_NAME=";
            if (line.rfind(key, 0) != 0)
                continue;
            std::string value = line.substr(key.size());
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\''))
                value = value.substr(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

}  // namespace

SystemFacts ReadSystemFacts()
{
    SystemFacts facts;
    utsname names {};
    const bool named = ::uname(&names) == 0;
    const std::string distribution = Distribution();
    facts.system = (distribution.empty() ? "Linux" : distribution) +
                   (named ? std::string("; ") + names.sysname + " " + names.release + " (" + names.machine + ")" : "");
    facts.programBits = static_cast<int>(sizeof(void*) * 8);
    const std::string machine = named ? names.machine : "";
    facts.systemBits = machine.find("64") != std::string::npos ? 64 : machine.empty() ? 0 : 32;
    if (const passwd* user = ::getpwuid(::getuid())) {
        facts.userName = user->pw_name;
        facts.homeFolder = user->pw_dir ? user->pw_dir : "";
    }
    char host[256] = "";
    if (::gethostname(host, sizeof host - 1) == 0)
        facts.computerName = host;
    return facts;
}

DeviceGroup DeviceGroupOf(const std::string& path)
{
    DeviceGroup result;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return result;
    result.known = true;
    const group* entry = ::getgrgid(info.st_gid);
    result.group = entry ? entry->gr_name : std::to_string(info.st_gid);
    if (::getegid() == info.st_gid)
        result.member = true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? static_cast<size_t>(count) : 0);
    if (count > 0 && ::getgroups(count, groups.data()) == count) {
        for (const gid_t id : groups)
            result.member = result.member || id == info.st_gid;
    }
    return result;
}
