// Benchmarks of the link and the command cycle against the simulator, with the production waits:
// connect and identify (also through ser2net), an X reading, CPU time, the largest block; then the
// window's figures from window_bench. Prints one Markdown table. Not a test: it asserts nothing
// about speed.
#include "bench/bench_clock.h"
#include "link/command_numbers.h"
#include "link/traffic_format.h"
#include "serial/port_list.h"
#include "serial/port_survey.h"
#include "serial/system.h"
#include "session/command_cycle.h"
#include "session/identification.h"
#include "session/line_check.h"
#include "session/port_monitor.h"
#include "session/printer_finder.h"
#include "session/report_gathering.h"
#include "base/new_file.h"
#include "sim/printer_sim.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = BenchClock;

[[noreturn]] void Die(const std::string& what)
{
    std::fprintf(stderr, "link_bench: %s\n", what.c_str());
    std::exit(1);
}

// The simulator runs in a child process, so that this process's CPU time is the tool's alone.
// Commands over a pipe: 'B' queues one response of a 65,535-byte block, 'S' a silent printer, 'W'
// a printer that keeps answering busy, 'R' one that refuses, 'D' pulls its line; 'Q' ends it. With a line speed, the
// simulator paces its bytes as a wire would.
class SimProcess {
public:
    explicit SimProcess(int baud = 0)
    {
        int toChild[2], toParent[2];
        if (pipe(toChild) != 0 || pipe(toParent) != 0)
            Die("pipe");
        pid = fork();
        if (pid < 0)
            Die("fork");
        if (pid == 0) {
            close(toChild[1]);
            close(toParent[0]);
            Serve(toChild[0], toParent[1], baud);
        }
        close(toChild[0]);
        close(toParent[1]);
        commands = toChild[1];
        replies = toParent[0];
        char buffer[64] = {};
        const ssize_t n = read(replies, buffer, sizeof buffer - 1);
        if (n <= 0)
            Die("the simulator did not start");
        path = std::string(buffer, static_cast<size_t>(n));
    }
    ~SimProcess()
    {
        Ask('Q');
        waitpid(pid, nullptr, 0);
    }
    void Ask(char command)
    {
        char reply = 0;
        if (write(commands, &command, 1) != 1 || (command != 'Q' && read(replies, &reply, 1) != 1))
            Die("the simulator is gone");
    }
    const std::string& SlavePath() const { return path; }
    std::string PortName() const { return path.substr(5); }

private:
    [[noreturn]] static void Serve(int in, int out, int baud)
    {
        PrinterSim::Options options;
        options.baud = baud;
        PrinterSim sim(options);
        if (!sim.Start())
            _exit(1);
        const std::string path = sim.SlavePath();
        if (write(out, path.data(), path.size()) < 0)
            _exit(1);
        char command = 0;
        while (read(in, &command, 1) == 1 && command != 'Q') {
            if (command == 'B')
                sim.QueuePlan(SimPlan::WithBlocks({std::string(65535, 'q')}));
            if (command == 'S')
                sim.QueuePlan(SimPlan::Answer(SimAnswer::Silent));
            if (command == 'W')
                sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}), 100);
            if (command == 'R')
                sim.QueuePlan(SimPlan::Answer(SimAnswer::Refuse, {8, 1}));
            if (command == 'D')
                sim.DropLine();
            if (write(out, "k", 1) != 1)
                break;
        }
        sim.Stop();
        _exit(0);
    }

    pid_t pid = -1;
    int commands = -1;
    int replies = -1;
    std::string path;
};

// Debian's ser2net serving a device on two free loopback ports: raw, and over RFC 2217.
class Ser2netProcess {
public:
    explicit Ser2netProcess(const std::string& device) : raw(FreePort()), rfc2217(FreePort())
    {
        // ser2net reads YAML only from a file named so.
        char pattern[] = "/tmp/link_bench-ser2net-XXXXXX.yaml";
        const int fd = mkstemps(pattern, 5);
        config = pattern;
        const std::string text =
            "connection: &raw\n  accepter: tcp,127.0.0.1," + std::to_string(raw) + "\n  connector: serialdev," +
            device + ",115200n81,local\nconnection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1," +
            std::to_string(rfc2217) + "\n  connector: serialdev," + device + ",115200n81,local\n";
        if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            Die("cannot write the ser2net configuration");
        close(fd);
        std::string program = "/usr/sbin/ser2net", quiet = "-n", file = "-c";
        char* argv[] = {program.data(), quiet.data(), file.data(), config.data(), nullptr};
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
            Die("cannot start ser2net (apt-get install ser2net)");
        for (int tries = 0; !Listening(); ++tries) {
            if (tries == 100) {
                kill(pid, SIGTERM);  // Die skips the destructor
                Die("ser2net did not start");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~Ser2netProcess()
    {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        unlink(config.c_str());
    }
    std::string Url(bool telnet) const
    {
        return (telnet ? "rfc2217://127.0.0.1:" : "socket://127.0.0.1:") + std::to_string(telnet ? rfc2217 : raw);
    }

private:
    static sockaddr_in Loopback(int port)
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        return address;
    }
    static int FreePort()
    {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = Loopback(0);
        socklen_t size = sizeof address;
        bind(fd, reinterpret_cast<sockaddr*>(&address), size);
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
        close(fd);
        return ntohs(address.sin_port);
    }
    bool Listening() const
    {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = Loopback(rfc2217);
        const bool up = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return up;
    }

    const int raw;
    const int rfc2217;
    std::string config;
    pid_t pid = -1;
};

// The window's display as far as time goes: the cycle's pauses slept, as kestro-cli's console
// display does; each block's pause counted.
struct PacedDisplay : CycleDisplay {
    void ShowCmd(int code) override { pauses += code == kShowReceiving || code == kShowPartial; }
    void ShowCmd(int code, bool /*cancelVisible*/) override { ShowCmd(code); }
    void Wait(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
    void SetSt(const std::string& text) override
    {
        status = text;
        shownAt = Clock::now();
    }
    Clock::time_point shownAt;
    void ShowIdentification(const Identification& /*shown*/) override {}
    int pauses = 0;
    std::string status;
};

struct Row {
    std::string what;
    std::string value;
    std::string reference;
    std::string ratio;
};

std::string Fixed(double value, int decimals = 0)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Runs window_bench with its arguments and returns what it printed ("key value" lines).
std::vector<std::pair<std::string, double>> RunWindowBench(const std::vector<std::string>& args)
{
    int out[2];
    if (pipe(out) != 0)
        Die("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    std::string program = KESTRO_WINDOW_BENCH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    // The child measures its start from this moment, on the same clock.
    const std::string t0 = std::to_string(
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count());
    setenv("KESTRO_BENCH_T0", t0.c_str(), 1);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        Die("cannot start " + program);
    close(out[1]);
    std::string text;
    char buffer[512];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Die("window_bench failed: " + text);
    std::vector<std::pair<std::string, double>> values;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        const size_t space = line.find(' ');
        if (space != std::string::npos)
            values.emplace_back(line.substr(0, space), std::atof(line.c_str() + space + 1));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return values;
}

double Value(const std::vector<std::pair<std::string, double>>& values, const std::string& key)
{
    for (const auto& [name, value] : values)
        if (name == key)
            return value;
    Die("window_bench did not report " + key);
}

// The waits that the protocol's own rules prescribe on each path, counted from the code path
// (docs/performance.md explains them): every poll waits one 50 ms step before it looks, a header
// that has arrived is read after one more 50 ms step in which nothing new came, and the display
// pauses 50 ms after each received block.
constexpr double kStep = 50;
constexpr double kOpenWait = 200;
constexpr double kDisplayPause = kReceivedPause.count();
// One command of one block: the acknowledgement's poll, the ENQ's poll, the settling step, the pause.
constexpr double kCommandFloor = 3 * kStep + kDisplayPause;
constexpr double kConnectFloor = kOpenWait + kStep /* SYN answer */ + 3 * kCommandFloor;
constexpr double kXReadingFloor = kCommandFloor;
// The line's true speed: 115,200 bit/s, 8N1, ten bits a byte.
constexpr int kWireBaud = 115200;
constexpr double kWireMsPerByte = 10.0 * 1000 / kWireBaud;
// ENQ, then the block's header, data and trailing byte.
constexpr double kLargestBlockBytes = 2 + 11 + 65535 + 1;

// Counts the bytes that both sides put on the line: what the link sent and what it took in.
TrafficObserver CountBytes(size_t& bytes)
{
    return [&bytes](const TrafficRun& run) {
        if (run.direction == TrafficDirection::kSent || run.direction == TrafficDirection::kReceived)
            bytes += run.length;
    };
}

// Opens a link and identifies the printer as "Conectar" does; returns the wall time.
double Connect(const std::string& port, const LinkPacing& pacing, CommandCycle& cycle, PacedDisplay& display,
               TrafficObserver observer, std::unique_ptr<EcfLink>& link)
{
    const Clock::time_point start = Clock::now();
    link = std::make_unique<EcfLink>(ReadPortName(port), pacing, OpenSerialPort, std::move(observer));
    cycle.SetLink(link.get());
    Identification identification;
    if (!link->online() || !CarregaConfig(cycle, display, identification))
        Die("connecting failed: " + display.status);
    return Ms(Clock::now() - start);
}

// Closes the link that Connect opened; the cycle lets go of it first, as it would of a freed one.
void Hangup(CommandCycle& cycle, std::unique_ptr<EcfLink>& link)
{
    cycle.SetLink(nullptr);
    link.reset();
}

// Asks for a 65,535-byte response and returns the time from the ENQ to the block delivered.
double LargestBlock(SimProcess& sim, EcfLink& link, int& pieces)
{
    sim.Ask('B');
    std::vector<uint8_t> block(EcfLink::kBufferSize);
    link.SetCmd(20, 0);
    link.AddParam(0);
    link.Start();
    if (link.SendCmd() != EcfLink::kAck)
        Die("the large block's command was not accepted");
    pieces = 0;
    int result = EcfLink::kRespMore;
    const Clock::time_point start = Clock::now();
    while (result == EcfLink::kRespMore) {
        result = link.GetResp(block.data());
        ++pieces;
    }
    const double wall = Ms(Clock::now() - start);
    link.End();
    if (result != 65535)
        Die("the large block came short: " + std::to_string(result));
    return wall;
}

// Pseudo-terminals where nothing answers: the far ends stay open, the ports are nobody's.
class SilentPorts {
public:
    explicit SilentPorts(int count)
    {
        for (int i = 0; i < count; ++i) {
            const int master = posix_openpt(O_RDWR | O_NOCTTY);
            if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
                Die("no pseudo-terminal");
            masters.push_back(master);
            paths.push_back(ptsname(master));
        }
    }
    ~SilentPorts()
    {
        for (const int master : masters)
            close(master);
    }
    std::vector<std::string> paths;

private:
    std::vector<int> masters;
};

// find's path: the ports checked, then tried at once; the time to the first printer identified
// and to the end of the search.
void Search(const std::vector<std::string>& paths, double& firstMs, double& wholeMs)
{
    const Clock::time_point start = Clock::now();
    std::vector<PortAddress> ports;
    for (const PortCandidate& port : SurveyPorts(paths).Offered())
        ports.push_back(port.Address());
    PrinterFinder finder;
    firstMs = -1;
    SearchWatch watch;
    watch.finished = [&](const PortProbe& probe) {
        if (probe.identified && firstMs < 0)
            firstMs = Ms(Clock::now() - start);
    };
    finder.Search(ports, PrinterFinder::SearchEnd::kEveryPort, watch);
    wholeMs = Ms(Clock::now() - start);
    if (firstMs < 0)
        Die("the search found no printer");
}

// The X reading through the cycle, as kestro-cli runs it, with the printer's line pulled at a
// different moment of each run while the answer is awaited ('S') or busy is waited out ('W'):
// the times from the pull to the failure on the status line.
std::vector<double> PullsToShown(char printer)
{
    std::vector<double> times;
    for (int run = 0; run < kPullRuns; ++run) {
        SimProcess sim;
        PacedDisplay display;
        CommandCycle cycle(display);
        EcfLink link(ReadPortName(sim.PortName()));
        cycle.SetLink(&link);
        if (!link.Sync())
            Die("no printer to pull");
        sim.Ask(printer);
        Clock::time_point pulledAt;
        std::thread puller([&] {
            std::this_thread::sleep_for(PullDelay(run));
            sim.Ask('D');
            pulledAt = Clock::now();
        });
        link.SetCmd(20, 0);
        link.AddParam(0);
        cycle.ExecCmd();
        puller.join();
        if (display.status != "Porta serial desconectada")
            Die("the pulled line was said as: " + display.status);
        times.push_back(Ms(display.shownAt - pulledAt));
        cycle.SetLink(nullptr);
    }
    return times;
}

// "median (max M)" of the runs' times.
std::string MedianAndMax(double median, double max) { return Fixed(median) + " (max " + Fixed(max) + ")"; }
std::string MedianAndMax(const std::vector<double>& times)
{
    return MedianAndMax(Median(times), *std::max_element(times.begin(), times.end()));
}

// The observer of kestro-cli's --trace-file, writing to /dev/null; keeps the time it spent on the
// block's run (it runs on the link's thread, inside the read).
class NullTrace {
public:
    NullTrace() : sink(std::fopen("/dev/null", "w")) {}
    ~NullTrace() { std::fclose(sink); }
    TrafficObserver Observer()
    {
        return [this](const TrafficRun& run) {
            const Clock::time_point start = Clock::now();
            std::vector<TrafficMessage> messages;
            decoder.Feed(run, messages);
            for (const TrafficMessage& message : messages)
                std::fprintf(sink, "%s\n", TrafficLine(message).c_str());
            std::fflush(sink);
            if (run.length > 65535)
                blockMs = Ms(Clock::now() - start);
        };
    }
    double BlockMs() const { return blockMs; }

private:
    std::FILE* sink;
    TrafficDecoder decoder;
    double blockMs = 0;
};
// kestro-cli ping's display: no pause after a received block, nothing shown.
struct QuietDisplay : CycleDisplay {
    void ShowCmd(int /*code*/) override {}
    void ShowCmd(int /*code*/, bool /*cancelVisible*/) override {}
    void SetSt(const std::string& /*text*/) override {}
    void ShowIdentification(const Identification& /*shown*/) override {}
    void Wait(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
    bool PausesAfterBlocks() const override { return false; }
};

// The process's resident memory now (VmRSS), in KiB.
long ResidentKb()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kb = std::atol(line + 6);
    }
    if (status != nullptr)
        std::fclose(status);
    return kb;
}

// ping on a clean line at `port`: `count` exchanges; the tally, the resident memory after `early` of
// them, and each exchange's time, from one's end to the next's.
LineTally Ping(const std::string& port, const LinkPacing& pacing, long count, long early, long& earlyKb,
               std::vector<double>* times = nullptr)
{
    QuietDisplay display;
    PrinterSession session(display, pacing);
    if (!session.Open(ReadPortName(port)))
        Die("ping: the port did not open");
    LineChecker test(session);
    Clock::time_point last = Clock::now();
    const LineTally tally = test.Run(count, [&](const LineExchange& exchange) {
        if (exchange.result != LineExchange::kOk)
            Die("ping: exchange " + std::to_string(exchange.number) + " failed on a clean line");
        if (exchange.number == early)
            earlyKb = ResidentKb();
        const Clock::time_point now = Clock::now();
        if (times != nullptr && exchange.number > 1)  // the first holds the SYN
            times->push_back(Ms(now - last));
        last = now;
    });
    return tally;
}

// The same through kestro-cli monitor's relay on a pseudo-terminal, every message decoded and
// written out: the exchanges' times, the resident memory after `early` and after all of them,
// and the messages that did not decode whole (none on a clean line).
struct RelayedPing {
    std::vector<double> times;
    long earlyKb = 0, lastKb = 0;
    long notWhole = 0;
};
RelayedPing PingThroughRelay(SimProcess& sim, const LinkPacing& pacing, long count, long early)
{
    RelayedPing result;
    std::FILE* sink = std::fopen("/dev/null", "w");
    PortMonitor monitor([&](const std::vector<TrafficMessage>& messages) {
        for (const TrafficMessage& message : messages) {
            std::fprintf(sink, "%s\n", TrafficLine(message).c_str());
            const bool unexpected = message.meaning.rfind("bytes inesperados", 0) == 0;
            result.notWhole += message.cut || unexpected ? 1 : 0;
        }
    });
    if (!monitor.Start({ReadPortName(sim.PortName()), {}, ""}))
        Die("monitor: " + monitor.FailureText());
    Ping(PortNameForDevicePath(monitor.OtherPort()), pacing, count, early, result.earlyKb, &result.times);
    result.lastKb = ResidentKb();
    monitor.Stop();
    std::fclose(sink);
    return result;
}
}  // namespace

// A busy desktop for the holder look: `processes` children holding `descriptors` descriptors
// each, until destroyed. Each child dies with this process too (a Die, a signal), so that none
// outlives the bench.
class BusyMachine {
public:
    BusyMachine(int processes, int descriptors)
    {
        int ready[2];
        if (pipe(ready) != 0)
            Die("pipe");
        for (int i = 0; i < processes; ++i) {
            const pid_t child = fork();
            if (child < 0) {
                close(ready[0]);
                close(ready[1]);
                Die("fork of the busy machine's processes");
            }
            if (child == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (getppid() == 1)
                    _exit(0);
                for (int fd = 0; fd < descriptors; ++fd)
                    (void)!open("/dev/null", O_RDONLY);
                (void)!write(ready[1], "r", 1);
                for (;;)
                    pause();
            }
            children.push_back(child);
        }
        close(ready[1]);
        // Bounded: a child that never says so is waited for at most ten seconds in all.
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        int started = 0;
        while (started < processes && Clock::now() < deadline) {
            pollfd waiting {ready[0], POLLIN, 0};
            char marks[256];
            if (poll(&waiting, 1, 100) > 0) {
                const ssize_t got = read(ready[0], marks, sizeof marks);
                if (got <= 0)
                    break;
                started += static_cast<int>(got);
            }
        }
        close(ready[0]);
        if (started < processes) {
            End();
            Die("the busy machine's processes did not start");
        }
    }
    ~BusyMachine() { End(); }
    BusyMachine(const BusyMachine&) = delete;
    BusyMachine& operator=(const BusyMachine&) = delete;

private:
    void End()
    {
        for (const pid_t child : children)
            kill(child, SIGKILL);
        for (const pid_t child : children)
            waitpid(child, nullptr, 0);
        children.clear();
    }

    std::vector<pid_t> children;
};

// The median of `runs` timings of one opening and closing of the port.
double OpenMs(const std::string& path, HolderCheck check, int runs)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        if (!OpenSerialPort(DeviceAddress(path), "115200,n,8,1", EcfLink::kBufferSize, check).port)
            Die("the simulator's port did not open");
        times.push_back(Ms(Clock::now() - start));
    }
    return Median(times);
}

// The median of five X readings on the connected link.
double XReadingMs(EcfLink& link, CommandCycle& cycle, PacedDisplay& display)
{
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        const Clock::time_point start = Clock::now();
        link.SetCmd(command::kReadingX, 0);
        link.AddParam(command::kReadingXParam);
        if (cycle.ExecCmd() != CommandCycle::kDone)
            Die("the X reading failed: " + display.status);
        times.push_back(Ms(Clock::now() - start));
    }
    return Median(times);
}

// What the look for a port's holder costs on a busy machine (600 processes with 80 descriptors
// each) against an idle one: a command on a connected link, its open alone, and the connecting
// open that makes the look.
void HolderCheckRows(SimProcess& sim, EcfLink& link, CommandCycle& cycle, PacedDisplay& display,
                     std::vector<Row>& rows)
{
    constexpr int kProcesses = 600;
    constexpr int kDescriptors = 80;
    const std::string path = DevicePathForPortName(sim.PortName());
    const double idleCommand = XReadingMs(link, cycle, display);
    const double idleOpen = OpenMs(path, HolderCheck::kCheap, 20);
    const double idleLook = OpenMs(path, HolderCheck::kLook, 10);
    double busyCommand = 0, busyOpen = 0, busyLook = 0;
    {
        const BusyMachine busy(kProcesses, kDescriptors);
        busyCommand = XReadingMs(link, cycle, display);
        busyOpen = OpenMs(path, HolderCheck::kCheap, 20);
        busyLook = OpenMs(path, HolderCheck::kLook, 10);
    }
    const std::string machine = " (" + std::to_string(kProcesses) + " processes x " +
                                std::to_string(kDescriptors) + " descriptors vs idle)";
    const auto more = [](double busy, double idle, int decimals) {
        return (busy >= idle ? "+" : "") + Fixed(busy - idle, decimals) + " ms";
    };
    rows.push_back({"Busy machine: X reading on a connected link, median (ms)" + machine, Fixed(busyCommand, 1),
                    Fixed(idleCommand, 1) + " (idle)", more(busyCommand, idleCommand, 1)});
    rows.push_back({"Busy machine: a command's port open and close, median (ms)" + machine, Fixed(busyOpen, 2),
                    Fixed(idleOpen, 2) + " (idle)", more(busyOpen, idleOpen, 2)});
    rows.push_back({"Busy machine: connecting open with the holder look, median (ms)" + machine,
                    Fixed(busyLook, 1), Fixed(idleLook, 1) + " (idle)", more(busyLook, idleLook, 1)});
}

// A sysfs tree of 200 USB devices as a busy technician's machine may show: a quarter serial chips
// with their ttys, some without a driver, the rest other devices.
std::string UsbFixture(int count)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("kestro-bench-sysfs-" + std::to_string(getpid()));
    for (int i = 0; i < count; ++i) {
        const std::string name = "1-" + std::to_string(i + 1);
        const fs::path dir = root / "bus/usb/devices" / name;
        const bool serial = i % 4 == 0;
        fs::create_directories(dir / (name + ":1.0"));
        if (serial && i % 8 == 0)
            fs::create_directories(dir / (name + ":1.0") / ("ttyUSB" + std::to_string(i)) / "tty");
        std::ofstream(dir / "uevent") << "DEVTYPE=usb_device\nPRODUCT=" << (serial ? "1a86/7523" : "46d/c077")
                                      << "/254\nTYPE=0/0/0\n";
        std::ofstream(dir / "product") << "USB device " << i << "\n";
    }
    return root.string();
}

// ports --all as it was (the ports checked) beside the same with the adapters of a 200-device tree.
void AdapterListingRow(std::vector<Row>& rows)
{
    constexpr int kDevices = 200;
    const std::string root = UsbFixture(kDevices);
    std::vector<double> before, after;
    for (int run = 0; run < 15; ++run) {
        Clock::time_point start = Clock::now();
        const std::vector<PortReport> ports = CheckPorts(ListCandidatePorts({}));
        before.push_back(Ms(Clock::now() - start));
        start = Clock::now();
        const PortSurvey survey =
            SurveyPorts({}, [&] { return DiagnoseLinuxUsbDevices(ListLinuxUsbDevices(root)); });
        after.push_back(Ms(Clock::now() - start));
        if (survey.adapters.size() < static_cast<size_t>(kDevices / 4) || ports.size() != survey.ports.size())
            Die("the fixture's adapters were not all read");
    }
    std::filesystem::remove_all(root);
    const double ratio = Median(after) / Median(before);
    rows.push_back({"ports --all with 200 USB devices read beside (50 serial chips), median (ms)",
                    Fixed(Median(after), 2), Fixed(Median(before), 2) + " (ports alone)",
                    Fixed(ratio, 2) + " (goal 1.2)"});
}

int main()
{
    SimProcess sim;
    std::vector<Row> rows;
    int polls = 0;
    LinkPacing pacing;  // the production waits, counted
    pacing.wait = [&polls](std::chrono::milliseconds step) {
        ++polls;
        std::this_thread::sleep_for(step);
    };
    PacedDisplay display;
    CommandCycle cycle(display);

    // Connect and identify, as "Conectar" does: the link, then the three identification queries.
    double cpu = CpuMs();
    std::unique_ptr<EcfLink> link;
    double wall = Connect(sim.PortName(), pacing, cycle, display, {}, link);
    double cpuUsed = CpuMs() - cpu;
    rows.push_back({"Connect and identify: wall time (ms)", Fixed(wall), Fixed(kConnectFloor) + " (floor)",
                    Fixed(wall / kConnectFloor, 2)});
    rows.push_back({"Connect and identify: 50 ms polls made", std::to_string(polls), "10 (floor)", ""});
    rows.push_back({"Connect and identify: CPU user+sys (ms)", Fixed(cpuUsed, 1), "", ""});

    // One X reading.
    polls = 0;
    cpu = CpuMs();
    Clock::time_point start = Clock::now();
    link->SetCmd(20, 0);
    link->AddParam(0);
    if (cycle.ExecCmd() != CommandCycle::kDone)
        Die("the X reading failed: " + display.status);
    wall = Ms(Clock::now() - start);
    cpuUsed = CpuMs() - cpu;
    rows.push_back({"X reading: wall time (ms)", Fixed(wall), Fixed(kXReadingFloor) + " (floor)",
                    Fixed(wall / kXReadingFloor, 2)});
    rows.push_back({"X reading: 50 ms polls made", std::to_string(polls), "3 (floor)", ""});
    rows.push_back({"X reading: CPU user+sys (ms)", Fixed(cpuUsed, 1), "", ""});
    HolderCheckRows(sim, *link, cycle, display, rows);
    AdapterListingRow(rows);

    // Idle and connected: between commands the port is closed (End), as the window leaves it.
    constexpr auto kIdle = std::chrono::seconds(5);
    cpu = CpuMs();
    std::this_thread::sleep_for(kIdle);
    rows.push_back(
        {"Idle, connected, port closed between commands: CPU in 5 s (ms)", Fixed(CpuMs() - cpu, 1), "", ""});
    // The same with the port open and the reader thread polling it every 50 ms.
    link->Start();
    cpu = CpuMs();
    std::this_thread::sleep_for(kIdle);
    rows.push_back({"Idle, port open, reader polling: CPU in 5 s (ms)", Fixed(CpuMs() - cpu, 1), "", ""});
    link->End();

    // The largest block, from the ENQ to the whole block in the caller's buffer.
    int pieces = 0;
    wall = LargestBlock(sim, *link, pieces);
    rows.push_back({"65,535-byte block, ENQ to delivered (ms)", Fixed(wall),
                    std::to_string(pieces) + " GetResp call(s)",
                    Fixed(65535.0 / 1024 / (wall / 1000)) + " KiB/s"});

    // The same with the traffic watched as kestro-cli's --trace-file watches it, against the same
    // without, alternating, the median of five runs each.
    NullTrace trace;
    std::vector<double> block[2], connect[2];
    for (int run = 0; run < 5; ++run) {
        for (const bool traced : {false, true}) {
            link->SetTrafficObserver(traced ? trace.Observer() : TrafficObserver());
            block[traced].push_back(LargestBlock(sim, *link, pieces));
        }
    }
    Hangup(cycle, link);
    for (int run = 0; run < 5; ++run) {
        for (const bool traced : {false, true}) {
            connect[traced].push_back(Connect(sim.PortName(), pacing, cycle, display,
                                              traced ? trace.Observer() : TrafficObserver(), link));
            Hangup(cycle, link);
        }
    }
    rows.push_back({"Traced (decoded, written out): 65,535-byte block, ENQ to delivered (ms)",
                    Fixed(Median(block[1])), Fixed(Median(block[0])) + " (not traced)",
                    Fixed(Median(block[1]) / Median(block[0]), 3)});
    rows.push_back({"Traced: connect and identify, wall time (ms)", Fixed(Median(connect[1])),
                    Fixed(Median(connect[0])) + " (not traced)",
                    Fixed(Median(connect[1]) / Median(connect[0]), 3)});
    rows.push_back(
        {"Traced: decoding and writing the 65,535-byte block's run (ms)", Fixed(trace.BlockMs(), 2), "", ""});

    // Through Debian's ser2net on this machine, raw and over RFC 2217, against the simulator's
    // port directly, taking turns, the median of five runs each.
    {
        const Ser2netProcess server(sim.SlavePath());
        const std::string ports[] = {sim.PortName(), server.Url(false), server.Url(true)};
        std::vector<double> times[3];
        for (int run = 0; run < 5; ++run) {
            for (int i = 0; i < 3; ++i) {
                times[i].push_back(Connect(ports[i], pacing, cycle, display, {}, link));
                Hangup(cycle, link);
            }
        }
        const char* names[] = {"", "socket://", "rfc2217://"};
        for (int i = 1; i < 3; ++i) {
            rows.push_back({std::string("Through ser2net, ") + names[i] + ": connect and identify, median (ms)",
                            Fixed(Median(times[i])), Fixed(Median(times[0])) + " (the port directly)",
                            Fixed(Median(times[i]) / Median(times[0]), 3)});
        }
    }

    // kestro-cli ping on a clean line: an exchange against the protocol's floor for one query
    // (the acknowledgement's poll, the ENQ's poll, the settling step), then 10,000 exchanges with
    // 1 ms poll steps for the memory, which the steps do not change.
    {
        long kb = 0, min = 0, median = 0, max = 0;
        Ping(sim.PortName(), LinkPacing(), 50, 1, kb).Times(min, median, max);
        constexpr double kQueryFloor = 3 * kStep;
        rows.push_back({"ping, clean line, 50 exchanges: median exchange (ms)",
                        Fixed(median) + " (min " + Fixed(min) + ", max " + Fixed(max) + ")",
                        Fixed(kQueryFloor) + " (floor)", Fixed(median / kQueryFloor, 3)});
        LinkPacing quick;
        quick.step = std::chrono::milliseconds(1);
        quick.readerPause = std::chrono::milliseconds(1);
        quick.openWait = std::chrono::milliseconds(0);
        long afterHundred = 0;
        Ping(sim.PortName(), quick, 10000, 100, afterHundred);
        const long afterAll = ResidentKb();
        rows.push_back({"ping, 10,000 exchanges: resident memory after 100 and after 10,000 (KiB)",
                        std::to_string(afterHundred) + " / " + std::to_string(afterAll), "",
                        Fixed(static_cast<double>(afterAll) / afterHundred, 3)});

        // kestro-cli monitor between the same host and the printer: 1,000 exchanges with the link's
        // own waits would take minutes, so with 1 ms steps, where the relay's share shows most.
        std::vector<double> direct;
        long unused = 0;
        Ping(sim.PortName(), quick, 1000, 1, unused, &direct);
        const RelayedPing relayed = PingThroughRelay(sim, quick, 1000, 100);
        const double alone = Median(direct), through = Median(relayed.times);
        rows.push_back({"monitor, 1,000 exchanges (1 ms steps): median exchange through the relay (ms)",
                        Fixed(through, 2), Fixed(alone, 2) + " (direct)", Fixed(through / alone, 3)});
        rows.push_back({"monitor: median time the relay adds to an exchange (ms)", Fixed(through - alone, 2),
                        "2 (most)", Fixed((through - alone) / 2, 3)});
        rows.push_back({"monitor: messages not decoded whole; resident memory after 100 and 1,000 (KiB)",
                        std::to_string(relayed.notWhole) + "; " + std::to_string(relayed.earlyKb) + " / " +
                            std::to_string(relayed.lastKb),
                        "0", Fixed(static_cast<double>(relayed.lastKb) / relayed.earlyKb, 3)});
        // With the link's own waits, as a shop's program that polls as this one's link does.
        std::vector<double> directPaced;
        Ping(sim.PortName(), LinkPacing(), 50, 1, unused, &directPaced);
        const RelayedPing paced = PingThroughRelay(sim, LinkPacing(), 50, 1);
        rows.push_back({"monitor, 50 exchanges (the link's 50 ms steps): median exchange through the relay (ms)",
                        Fixed(Median(paced.times), 1), Fixed(Median(directPaced), 1) + " (direct)",
                        Fixed(Median(paced.times) / Median(directPaced), 3)});
    }

    // kestro-cli report with one good printer: its floor is its own printer work, the search's first
    // printer and ten exchanges; the ports' look, the system's facts and the file come on top.
    {
        double firstMs = 0, wholeMs = 0;
        Search({sim.SlavePath()}, firstMs, wholeMs);
        long kb = 0, min = 0, median = 0, max = 0;
        Ping(sim.PortName(), LinkPacing(), ReportGathering::kExchanges, 1, kb).Times(min, median, max);
        const double floor = firstMs + ReportGathering::kExchanges * static_cast<double>(median);
        QuietDisplay quiet;
        PrinterSession session(quiet);
        ReportGathering gathering(session, {});
        ReportRequest request;
        request.program = "link_bench";
        request.extraPaths = {sim.SlavePath()};
        const std::string path = "/tmp/kestro-bench-report-" + std::to_string(getpid()) + ".txt";
        const Clock::time_point start = Clock::now();
        const SupportReport report = gathering.Gather(request);
        std::string code;
        const int written = WriteNewFile(path, SystemTextForm(ReportText(report, code)));
        const double ms = Ms(Clock::now() - start);
        std::remove(path.c_str());
        if (written != 0 || report.tally.Answered() != ReportGathering::kExchanges)
            Die("report: not written, or the line test did not answer every exchange");
        rows.push_back({"report, 1 good printer: the whole report, file written (ms)", Fixed(ms),
                        Fixed(floor) + " (search's first printer + 10 exchanges)", Fixed(ms / floor, 2)});
    }

    // One printer among 30 silent ports: find's first line, and the whole search.
    SilentPorts silent(30);
    std::vector<std::string> among = silent.paths;
    among.push_back(sim.SlavePath());
    double firstMs = 0, wholeMs = 0;
    Search(among, firstMs, wholeMs);
    const double answerWait = kStep * LinkPacing().answerPolls;
    rows.push_back({"find, 1 printer among 30 silent ports: first printer (ms)", Fixed(firstMs),
                    Fixed(kConnectFloor) + " (floor)", Fixed(firstMs / kConnectFloor, 2)});
    rows.push_back({"find, 1 printer among 30 silent ports: whole search (ms)", Fixed(wholeMs),
                    Fixed(answerWait) + " (answer wait)", Fixed(wholeMs / answerWait, 2)});
    {
        // Printers that answer the SYN and then refuse, go silent or stay busy: each gives up at its
        // first query, so that they cost one answer wait as a silent port does.
        SimProcess refusing, silentAfterSyn, busy;
        refusing.Ask('R');
        silentAfterSyn.Ask('S');
        busy.Ask('W');
        Search({refusing.SlavePath(), silentAfterSyn.SlavePath(), busy.SlavePath(), sim.SlavePath()}, firstMs,
               wholeMs);
        rows.push_back({"find, 1 printer and 3 that do not identify themselves: whole search (ms)", Fixed(wholeMs),
                        Fixed(answerWait) + " (answer wait)", Fixed(wholeMs / answerWait, 2)});
    }

    // A pulled cable, said as kestro-cli says it.
    rows.push_back({"Pulled line while the answer is awaited: pull to failure shown, 8 runs, median (ms)",
                    MedianAndMax(PullsToShown('S')), "100 (goal)", ""});
    rows.push_back({"Pulled line while busy is waited out: pull to failure shown, 8 runs, median (ms)",
                    MedianAndMax(PullsToShown('W')), "100 (goal)", ""});

    // The same against a simulator that paces every byte at the line's true speed.
    {
        SimProcess wire(kWireBaud);
        std::unique_ptr<EcfLink> wireLink;
        size_t bytes = 0;
        const double identify = Connect(wire.PortName(), pacing, cycle, display, CountBytes(bytes), wireLink);
        const double identifyFloor = kConnectFloor + bytes * kWireMsPerByte;
        rows.push_back({"At 115,200 bit/s: connect and identify, wall time (ms)", Fixed(identify),
                        Fixed(identifyFloor) + " (floor: " + Fixed(kConnectFloor) + " waits + " +
                            Fixed(bytes * kWireMsPerByte, 1) + " wire, " + std::to_string(bytes) + " bytes)",
                        Fixed(identify / identifyFloor, 3)});
        wireLink->SetTrafficObserver({});
        const double blockWall = LargestBlock(wire, *wireLink, pieces);
        const double blockFloor = kLargestBlockBytes * kWireMsPerByte;
        rows.push_back({"At 115,200 bit/s: 65,535-byte block, ENQ to delivered (ms)", Fixed(blockWall),
                        Fixed(blockFloor) + " (floor: wire, " + Fixed(kLargestBlockBytes) + " bytes)",
                        Fixed(blockWall / blockFloor, 3)});
        cycle.SetLink(nullptr);
    }

#ifdef KESTRO_WINDOW_BENCH
    std::vector<std::string> searchArguments {"search"};
    searchArguments.insert(searchArguments.end(), among.begin(), among.end());
    const auto search = RunWindowBench(searchArguments);
    if (Value(search, "picked") != 1)
        Die("Localizar ECF did not pick the printer");
    rows.push_back({"Window: \"Localizar ECF\", 1 printer among 30 silent ports, picked (ms)",
                    Fixed(Value(search, "search_ms")), Fixed(kConnectFloor) + " (floor)",
                    Fixed(Value(search, "search_ms") / kConnectFloor, 2)});
    const auto bare = RunWindowBench({"bare"});
    const auto window = RunWindowBench({"kestro", sim.SlavePath()});
    // One start is a few tens of milliseconds on a shared machine: the medians of alternating runs.
    std::vector<double> bareShown, shown, listed;
    for (int run = 0; run < 15; ++run) {
        bareShown.push_back(Value(RunWindowBench({"start", "bare"}), "shown_ms"));
        const auto start = RunWindowBench({"start", "kestro"});
        shown.push_back(Value(start, "shown_ms"));
        listed.push_back(Value(start, "listed_ms"));
    }
    rows.push_back({"Start to window shown, median of 15 (ms)", Fixed(Median(shown), 1),
                    Fixed(Median(bareShown), 1) + " (bare window)", Fixed(Median(shown) / Median(bareShown), 2)});
    rows.push_back({"Start to port list filled, median of 15 (ms)", Fixed(Median(listed), 1),
                    Fixed(Median(bareShown), 1) + " (bare window)", Fixed(Median(listed) / Median(bareShown), 2)});
    rows.push_back({"Window: connect and identify through \"Conectar\" (ms)", Fixed(Value(window, "connect_ms")),
                    Fixed(kConnectFloor) + " (floor)", Fixed(Value(window, "connect_ms") / kConnectFloor, 2)});
    rows.push_back({"Window: X reading through \"Emitir LX\" (ms)", Fixed(Value(window, "lx_ms")),
                    Fixed(kXReadingFloor) + " (floor)", Fixed(Value(window, "lx_ms") / kXReadingFloor, 2)});
    rows.push_back(
        {"Window: CPU in connect, identify and X reading (ms)", Fixed(Value(window, "busy_cpu_ms"), 1), "", ""});
    rows.push_back({"Window: idle and connected, CPU in 5 s (ms)", Fixed(Value(window, "idle_cpu_ms"), 1),
                    Fixed(Value(bare, "idle_cpu_ms"), 1) + " (bare window)", ""});
    const auto traffic = RunWindowBench({"traffic"});
    rows.push_back({"Traffic view: a 65,535-byte block decoded and shown (ms)",
                    Fixed(Value(traffic, "block_shown_ms"), 1), "", ""});
    rows.push_back({"Traffic view: the same with 10,000 messages kept (ms)",
                    Fixed(Value(traffic, "full_block_shown_ms"), 1), "", ""});
    const auto pulled = RunWindowBench({"pull"});
    rows.push_back({"Window: pulled line while the answer is awaited, pull to failure shown, median (ms)",
                    MedianAndMax(Value(pulled, "wait_median_ms"), Value(pulled, "wait_max_ms")), "100 (goal)",
                    ""});
    rows.push_back({"Window: pulled line while busy is waited out, pull to failure shown, median (ms)",
                    MedianAndMax(Value(pulled, "busy_median_ms"), Value(pulled, "busy_max_ms")), "100 (goal)",
                    ""});
    rows.push_back({"Peak memory, VmHWM (MiB)", Fixed(Value(window, "vmhwm_kb") / 1024, 1),
                    Fixed(Value(bare, "vmhwm_kb") / 1024, 1) + " (bare window)",
                    Fixed(Value(window, "vmhwm_kb") / Value(bare, "vmhwm_kb"), 2)});
#endif

    std::printf("| Measure | Kestro | Reference | Ratio |\n|---|---:|---:|---:|\n");
    for (const Row& row : rows)
        std::printf("| %s | %s | %s | %s |\n", row.what.c_str(), row.value.c_str(), row.reference.c_str(),
                    row.ratio.c_str());
    return 0;
}
