// The simulator's line on Windows, for the window tests under Wine: the far one of two COM ports
// that scripts/test-windows joins, named in KESTRO_WIN_SIM_LINES as FAR:HOST pairs separated by
// commas ("COM50:COM51"), handed out in turn. Read through the serial driver, whose reads wait
// at most 5 ms, so a wait is a short polling loop that also watches the wake-up.
#include "sim/sim_line.h"

#include "serial/port_list.h"
#include "serial/serial_port.h"
#include "serial/system.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <vector>

struct SimLine::System {
    std::unique_ptr<SerialPort> port;
    std::string hostName;
    std::vector<uint8_t> pending;  // read by Wait, handed over by Read
    std::atomic<bool> woken {false};
};

namespace {

constexpr size_t kChunk = 4096;

// The next FAR:HOST pair of the environment; false when none is named.
bool NextPair(std::string& far, std::string& host)
{
    const char* value = std::getenv("KESTRO_WIN_SIM_LINES");
    std::vector<std::string> pairs;
    std::istringstream list(value ? value : "");
    for (std::string item; std::getline(list, item, ',');) {
        if (item.find(':') != std::string::npos)
            pairs.push_back(item);
    }
    if (pairs.empty())
        return false;
    static size_t next = 0;
    const std::string& pair = pairs[next++ % pairs.size()];
    far = pair.substr(0, pair.find(':'));
    host = pair.substr(pair.find(':') + 1);
    return true;
}

}  // namespace

SimLine::SimLine() : system(std::make_unique<System>()) {}

SimLine::~SimLine() = default;

bool SimLine::Open()
{
    std::string far, host;
    if (!NextPair(far, host))
        return false;
    system->port = OpenSerialPort(ReadPortName(far), "115200,n,8,1", 65536).port;
    if (!system->port)
        return false;
    system->pending.clear();
    system->hostName = host;
    hostPath = DevicePathForPortName(host);
    return true;
}

void SimLine::Close() { system->port.reset(); }

bool SimLine::IsOpen() const { return system->port != nullptr; }

std::string SimLine::HostName() const { return system->hostName; }

SimLine::Ready SimLine::Wait(int timeoutMs, bool /*wantRoom: writes never wait for room here*/)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Ready ready;
    while (!system->woken.exchange(false)) {
        if (!system->port) {
            ready.hangup = true;
            return ready;
        }
        uint8_t chunk[kChunk];
        const int n = system->port->Read(chunk, static_cast<int>(sizeof chunk));
        system->pending.insert(system->pending.end(), chunk, chunk + n);
        if (!system->pending.empty()) {
            ready.input = true;
            return ready;
        }
        if (timeoutMs >= 0 && Clock::now() >= end)
            break;
    }
    return ready;
}

long SimLine::Read(uint8_t* destination, size_t size)
{
    const size_t n = std::min(size, system->pending.size());
    std::copy(system->pending.begin(), system->pending.begin() + static_cast<std::ptrdiff_t>(n), destination);
    system->pending.erase(system->pending.begin(), system->pending.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<long>(n);
}

long SimLine::Write(const uint8_t* source, size_t size)
{
    if (!system->port || !system->port->Write(source, static_cast<int>(size)))
        return -1;
    return static_cast<long>(size);
}

void SimLine::Wake() { system->woken = true; }
