// kestro-cli as a technician runs it: the real program against the printer simulator on a
// pseudo-terminal, judged by its output, its exit status and its log.
#include "serial/network_port.h"
#include "serial/serial_port.h"
#include "session/port_texts.h"
#include "sim/printer_sim.h"
#include "tests/support/link_test_support.h"
#include "tests/support/port_holder.h"
#include "tests/support/pty_pair.h"
#include "tests/support/stalled_server.h"
#include "tests/support/wait_for.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

const std::string kCli = KESTRO_CLI_PATH;
const std::string kMissingPort = "ttyKESTRO-none";

struct CliRun {
    int status = -1;  // the exit status; -1 when the program did not exit by itself
    std::string out;
    std::string err;
    std::chrono::steady_clock::duration outAt {}, took {};  // first output, and the end, after start
};

// A program and its arguments as execv takes them, made before the fork: the child only execs.
class ExecArgs {
public:
    ExecArgs(const std::string& program, const std::vector<std::string>& arguments) : words {program}
    {
        words.insert(words.end(), arguments.begin(), arguments.end());
        for (auto& word : words)
            pointers.push_back(word.data());
        pointers.push_back(nullptr);
    }
    ExecArgs(const ExecArgs&) = delete;
    ExecArgs& operator=(const ExecArgs&) = delete;
    char* const* Argv() const { return pointers.data(); }

private:
    std::vector<std::string> words;
    std::vector<char*> pointers;  // into words, closed by a null pointer
};

// Runs kestro-cli with the arguments in folder (or here), collecting both streams until it ends.
// With interruptWhen, SIGINT goes to it once the condition holds; with outFile, its standard
// output goes there; inChild runs in the child before the program starts (to change user).
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& folder = {},
              const std::function<bool()>& interruptWhen = {}, const std::string& outFile = {},
              const std::function<void()>& inChild = {})
{
    const ExecArgs argv(kCli, arguments);

    int outPipe[2], errPipe[2];
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = outFile.empty() ? outPipe[1] : ::open(outFile.c_str(), O_WRONLY);
        ::dup2(out, 1);
        ::dup2(errPipe[1], 2);
        // Only the pipes: the simulator's pseudo-terminal and the held ports stay ours.
        for (int fd = 3; fd < 1024; ++fd)
            ::close(fd);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0)
            ::_exit(127);
        if (inChild)
            inChild();
        ::execv(argv.Argv()[0], argv.Argv());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);

    CliRun run;
    const auto start = std::chrono::steady_clock::now();
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int open = 2;
    bool interrupted = !interruptWhen;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (!interrupted && interruptWhen()) {
            ::kill(child, SIGINT);
            interrupted = true;
        }
        if (::poll(fds, 2, 20) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(fds[i].fd, chunk, sizeof chunk);
            if (n > 0) {
                if (i == 0 && run.out.empty())
                    run.outAt = std::chrono::steady_clock::now() - start;
                sinks[i]->append(chunk, static_cast<size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    run.took = std::chrono::steady_clock::now() - start;
    if (open > 0)
        ::kill(child, SIGKILL);  // hung: fail the test rather than the suite
    for (const pollfd& fd : fds) {
        if (fd.fd >= 0)
            ::close(fd.fd);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (open == 0 && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

// A fresh folder for one run, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/kestro-cli-XXXXXX";
        path = ::mkdtemp(pattern) ? pattern : "";
    }
    ~TempFolder()
    {
        if (!path.empty())
            fs::remove_all(path);
    }
    std::string path;
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// True when `wanted` occur in `messages` in this order, other messages between them allowed.
bool InOrder(const std::vector<std::string>& messages, const std::vector<std::string>& wanted)
{
    auto at = messages.begin();
    for (const auto& message : wanted) {
        at = std::find(at, messages.end(), message);
        if (at == messages.end())
            return false;
        ++at;
    }
    return true;
}

// The printer's text for the pair 2/1, as a UTF-8 terminal shows it.
const std::string kBadParameterText =
    "<< Erro em par\u00e2metro do comando >>\n\nConte\u00fado de par\u00e2metro inv\u00e1lido no comando.\n";

class CliTest : public ::testing::Test {
protected:
    // Starts the simulator with an identity whose model holds a Windows-1252 letter.
    void StartPrinter(const std::string& sb = "010203")
    {
        PrinterSim::Options options;
        options.identity.model = "KS-2000 \xC7";  // "Ç"
        options.identity.ns = "KS010000000000000042";
        options.identity.sb = sb;
        sim = std::make_unique<PrinterSim>(options);
        ASSERT_TRUE(sim->Start());
    }

    std::unique_ptr<PrinterSim> sim;
};

const std::string kIdentified = "Modelo: KS-2000 \u00c7\nNS MF: KS010000000000000042\nSB: 01.02.03\n";

TEST_F(CliTest, IdentifyPrintsModelSerialAndDottedVersion)
{
    StartPrinter();
    const CliRun run = RunCli({"--port", sim->PortName(), "identify"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kIdentified);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(sim->Counts().frames, 3u);

    // The port's full path names the same port.
    const CliRun byPath = RunCli({"identify", "--port=" + sim->SlavePath()});
    EXPECT_EQ(byPath.status, 0);
    EXPECT_EQ(byPath.out, kIdentified);
}

TEST_F(CliTest, IdentifyWithoutVersionFailsAndShowsWhatWasRead)
{
    StartPrinter("");
    const CliRun run = RunCli({"--port", sim->PortName(), "identify"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Modelo: KS-2000 \u00c7\nNS MF: KS010000000000000042\n");
    EXPECT_EQ(run.err, "Erro ao ler ECF\n");
}

TEST_F(CliTest, RefusedQueriesShowThePrinterTextOnceThenTheIdentificationError)
{
    StartPrinter();
    sim->SetDefaultPlan(SimPlan::Answer(SimAnswer::Refuse, {2, 1}));
    const CliRun run = RunCli({"--port", sim->PortName(), "identify"});
    EXPECT_EQ(run.status, 1);
    // All three queries were tried; the same refusal is reported once, with console line ends.
    EXPECT_EQ(sim->Counts().frames, 3u);
    EXPECT_EQ(run.err, kBadParameterText + "Erro ao ler ECF\n");
    EXPECT_EQ(run.out, "");
}

TEST_F(CliTest, PortThatDoesNotExistFailsWithTheLinkText)
{
    for (const char* command : {"identify", "lx"}) {
        const CliRun run = RunCli({"--port", kMissingPort, command});
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.out, "") << command;
        EXPECT_EQ(run.err.rfind("Erro ao abrir Porta Serial! (", 0), 0u) << run.err;
    }
}

TEST_F(CliTest, ReadingXAfterTheIdentification)
{
    StartPrinter();
    const CliRun run = RunCli({"--port", sim->PortName(), "lx"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kIdentified + "Leitura X emitida.\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(sim->Counts().frames, 4u);
}

TEST_F(CliTest, RefusedReadingXShowsThePrinterTextThenErro)
{
    StartPrinter();
    sim->QueuePlan(SimPlan(), 3);
    sim->QueuePlan(SimPlan::Answer(SimAnswer::Refuse, {2, 1}));
    const CliRun run = RunCli({"--port", sim->PortName(), "lx"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kIdentified);
    EXPECT_EQ(run.err, kBadParameterText + "Erro!\n");
}

TEST_F(CliTest, ReadingXIsNotSentWhenTheIdentificationFails)
{
    StartPrinter("");
    const CliRun run = RunCli({"--port", sim->PortName(), "lx"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Erro ao ler ECF\n");
    EXPECT_EQ(run.out.find("Leitura X"), std::string::npos);
    EXPECT_EQ(sim->Counts().frames, 3u);
}

TEST_F(CliTest, FindListsBothPrintersInAboutOneAnswerWait)
{
    StartPrinter();
    PrinterSim other;
    ASSERT_TRUE(other.Start());
    PtyPair silent;
    silent.ReleasePort();  // a port this process held open would be in use elsewhere
    const auto start = std::chrono::steady_clock::now();
    const CliRun run =
        RunCli({"find", "--verbose", "--trace", sim->SlavePath(), silent.Path(), other.SlavePath()});
    // Ports are tried at once: less than one and a half answer waits of 6 s.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(9000));
    EXPECT_EQ(run.status, 0);
    const auto lines = Lines(run.out);
    const std::string identity = "\tNS MF: KS010000000000000042\tSB: 01.02.03";
    for (const std::string& line : {sim->PortName() + "\tModelo: KS-2000 \u00c7" + identity,
                                    other.PortName() + "\tModelo: KS-2000 SIM" + identity})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << run.out;
    EXPECT_NE(run.err.find(silent.Path().substr(5) + ": ECF n\u00e3o respondeu\n"), std::string::npos) << run.err;
    // Traced: every port's SYN on a whole line of its own that starts with the port.
    const auto errLines = Lines(run.err);
    for (const std::string& port : {sim->PortName(), silent.Path().substr(5), other.PortName()}) {
        const bool syn = std::any_of(errLines.begin(), errLines.end(), [&](const std::string& line) {
            return line.rfind(port + ": ", 0) == 0 && line.find("SYN: pede") != std::string::npos;
        });
        EXPECT_TRUE(syn) << port << "\n" << run.err;
    }
}

TEST_F(CliTest, SendOfTheXReadingGoesOutAsLxSendsItAndPrintsFields)
{
    StartPrinter();
    ASSERT_EQ(RunCli({"--port", sim->PortName(), "lx"}).status, 0);
    const Bytes lx = sim->Received();
    sim->ClearReceived();
    sim->SetNextSequence(3);  // the number that lx's X reading went out with
    const CliRun run = RunCli({"--port", sim->PortName(), "send", "20", "0", "0"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out + run.err, "");
    // SYN, then the very frame and block request that ended lx.
    const Bytes sent = sim->Received();
    ASSERT_TRUE(sent.size() > 1 && sent.size() <= lx.size());
    EXPECT_EQ(sent, Concat({{0x16}, Bytes(lx.end() - static_cast<long>(sent.size() - 1), lx.end())}));

    EXPECT_EQ(RunCli({"--port", sim->PortName(), "send", "26", "0", "15", "14"}).out, "010203\n");
    EXPECT_EQ(RunCli({"--port", sim->PortName(), "send", "--raw", "26", "0", "15", "14"}).out,
              "30 31 30 32 30 33 7C\n");
    const CliRun refused = RunCli({"--port", sim->PortName(), "send", "26", "0", "15", "99"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, kBadParameterText);
}

TEST_F(CliTest, SendEchoesTheCommandToATerminalInUtf8)
{
    StartPrinter();
    PtyPair terminal;  // standard error on a terminal, where the echo is shown
    const CliRun run = RunCli({"--port", sim->PortName(), "send", "26", "0", "15", "14"}, {}, {}, {},
                              [&terminal] { ::dup2(::open(terminal.Path().c_str(), O_WRONLY | O_NOCTTY), 2); });
    EXPECT_EQ(run.status, 0);
    const std::string echo =
        "Enviando para " + sim->PortName() + ": comando 26, extens\u00e3o 0, par\u00e2metros 15 14\n";
    const std::vector<uint8_t> shown = terminal.Receive(echo.size(), std::chrono::seconds(5));
    EXPECT_EQ(std::string(shown.begin(), shown.end()), echo);
}

TEST_F(CliTest, SendRefusesBadNumbersBeforeAnythingIsSent)
{
    StartPrinter();
    std::vector<std::string> tooLong {"20", "0"};
    tooLong.resize(2 + 6000, "-2147483648");  // more than one frame holds
    const std::vector<std::vector<std::string>> rows = {
        {"20"},
        {"256", "0"},
        {"20", "-1"},
        {"20", "0", "2147483648"},
        {"20", "0", "-2147483649"},
        {"20", "0", "0x10"},
        {"20", "0", "1.5"},
        {"20", "0", ""},
        {"20", "0", "+1"},
        tooLong,
    };
    for (const auto& row : rows) {
        std::vector<std::string> arguments {"--port", sim->PortName(), "send"};
        arguments.insert(arguments.end(), row.begin(), row.end());
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.status, 2) << row.back();
        EXPECT_EQ(run.out, "") << row.back();
    }
    EXPECT_EQ(RunCli({"--port", sim->PortName(), "send", "256", "0"})
                  .err.rfind("kestro-cli: CMD deve ser um n\u00famero inteiro de 0 a 255, n\u00e3o '256'.", 0),
              0u);
    EXPECT_TRUE(sim->Received().empty());
}

TEST_F(CliTest, CtrlCEndsTheCommandAndLeavesThePortFreeForEveryone)
{
    StartPrinter();
    sim->SetDefaultPlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}));
    const CliRun run =
        RunCli({"--port", sim->PortName(), "identify"}, {}, [&] { return sim->Counts().frames > 0; });
    EXPECT_EQ(run.status, 128 + SIGINT);
    EXPECT_EQ(sim->Counts().frames, 1u);  // the connection ended with its first query
    // No exclusive mark is left behind to refuse the next ordinary user.
    const int fd = ::open(sim->SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    int exclusive = -1;
    EXPECT_EQ(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(fd);
}

TEST_F(CliTest, PrinterTextsReachTheTerminalEscapedAndUnwritableOutputFails)
{
    PrinterSim::Options options;
    options.identity.model = "A\x1b]0;owned\x07\nSB: 99";
    sim = std::make_unique<PrinterSim>(options);
    ASSERT_TRUE(sim->Start());
    const CliRun run = RunCli({"--port", sim->PortName(), "identify"});
    EXPECT_EQ(Lines(run.out).front(), "Modelo: A\\x1b]0;owned\\x07\\x0aSB: 99");

    const CliRun full = RunCli({"--port", sim->PortName(), "identify"}, {}, {}, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "kestro-cli: a sa\u00edda n\u00e3o p\u00f4de ser escrita: disco cheio\n");
}

TEST_F(CliTest, TraceShowsEveryMessageAsItHappensAndAppendsTheSameToAFile)
{
    StartPrinter();
    TempFolder folder;
    const std::string file = folder.path + "/trace.txt";
    const mode_t mask = ::umask(027);
    const CliRun run = RunCli({"--port", sim->PortName(), "--trace", "--trace-file", file, "lx"});
    const CliRun again = RunCli({"--trace-file=" + file, "--port", sim->PortName(), "identify"});
    ::umask(mask);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kIdentified + "Leitura X emitida.\n");
    EXPECT_EQ(again.err, "");
    // The link's note, SYN and its answer, then for each of the four commands its frame, the
    // ACK, the ENQ, the block's header and its data.
    const auto lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 3u + 4 * 5) << run.err;
    EXPECT_NE(lines[0].find(" ms  \u00b7  Conectado"), std::string::npos);
    EXPECT_NE(lines[1].find(" ms  \u2192  SYN: pede o n\u00famero de sequ\u00eancia  [16]"), std::string::npos);
    const char* queries[] = {"\"15|2|\"", "\"15|4|\"", "\"15|14|\"", "\"0|\""};
    for (size_t i = 0; i < 4; ++i) {
        const auto command = lines.begin() + 3 + 5 * static_cast<long>(i);
        EXPECT_NE(command[0].find("quadro: sequ\u00eancia"), std::string::npos) << command[0];
        EXPECT_NE(command[0].find(queries[i]), std::string::npos) << command[0];
        EXPECT_NE(command[1].find("\u2190  ACK"), std::string::npos) << command[1];
        EXPECT_NE(command[2].find("\u2192  ENQ: pede o bloco 1  [05 00]"), std::string::npos) << command[2];
        EXPECT_NE(command[3].find("cabe\u00e7alho do bloco 1:"), std::string::npos) << command[3];
        EXPECT_NE(command[4].find("dados do bloco 1"), std::string::npos) << command[4];
    }
    // The file has the header, the same text, then the second run's appended after its own
    // header, and the user's umask.
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string header = "# kestro-trace 1; kestro-cli v";
    EXPECT_EQ(text.rfind(header, 0), 0u) << text;
    EXPECT_NE(Lines(text)[0].find("; port " + sim->PortName() + "; "), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.find('\n') + 1, run.err.size()), run.err);
    EXPECT_EQ(Lines(text).size(), 1 + lines.size() + 1 + 3 + 3 * 5);
    EXPECT_EQ(Lines(text)[1 + lines.size()].rfind(header, 0), 0u);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// ---- Saved traces played back by kestro-sim --replay -------------------------------------

// kestro-sim as a program; its output goes to files in `folder`.
class SimProgram {
public:
    SimProgram(const std::vector<std::string>& arguments, const std::string& folder)
        : out(folder + "/sim.out"),
          err(folder + "/sim.err")
    {
        const ExecArgs argv(KESTRO_SIM_PATH, arguments);
        pid = ::fork();
        if (pid == 0) {
            ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            for (int fd = 3; fd < 1024; ++fd)
                ::close(fd);
            ::execv(argv.Argv()[0], argv.Argv());
            ::_exit(127);
        }
        // Its first line is the device path.
        WaitFor([this] { return Out().find('\n') != std::string::npos || Ended(); });
    }
    ~SimProgram()
    {
        if (!Ended())
            ::kill(pid, SIGTERM);
        Status();
    }
    std::string Port() const { return Out().substr(5, Out().find('\n') - 5); }  // "/dev/pts/4" -> "pts/4"
    // The exit status once it has ended by itself, -1 when it has not.
    int Status()
    {
        WaitFor([this] { return Ended(); });
        if (!Ended())
            ::kill(pid, SIGKILL);
        if (status == -2 && ::waitpid(pid, &status, 0) != pid)
            status = -1;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Out() const { return Read(out); }
    std::string Err() const { return Read(err); }

private:
    bool Ended()
    {
        if (!ended && ::waitpid(pid, &status, WNOHANG) == pid)
            ended = true;
        return ended;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    const std::string out, err;
    pid_t pid = -1;
    int status = -2;
    bool ended = false;
};

const std::string kTraces = KESTRO_TRACES;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// ---- monitor: another program's conversation relayed and decoded --------------------------

// Each message line of a trace as its direction and its bytes: "→ 16".
std::vector<std::string> WireOf(const std::string& trace)
{
    std::vector<std::string> wire;
    for (const std::string& line : Lines(trace)) {
        for (const char* arrow : {"\u2192", "\u2190"}) {
            if (line.find(std::string(" ms  ") + arrow + "  ") != std::string::npos)
                wire.push_back(arrow + (" " + line.substr(line.rfind("  [") + 3)));
        }
    }
    return wire;
}

TEST_F(CliTest, MonitorRelaysAnotherProgramByteForByteDecodesItAndItsTraceReplays)
{
    StartPrinter();
    TempFolder folder;
    const std::string link = folder.path + "/ecf", hostTrace = folder.path + "/host.trace";
    const std::string monitorTrace = folder.path + "/monitor.trace";
    CliRun identify, lx;
    std::atomic<bool> hostDone {false};
    // The other program: kestro-cli itself, pointed at the link, as a shop's program would be.
    std::thread host([&] {
        if (WaitFor([&] { return fs::is_symlink(link); })) {
            identify = RunCli({"--port", link, "identify"});
            lx = RunCli({"--port", link, "lx", "--trace-file", hostTrace});
        }
        hostDone = true;
    });
    const CliRun monitor =
        RunCli({"monitor", "--port", sim->PortName(), "--link", link, "--trace-file", monitorTrace}, {},
               [&] { return hostDone.load(); });
    host.join();
    EXPECT_EQ(identify.out, kIdentified);
    EXPECT_EQ(lx.out, kIdentified + "Leitura X emitida.\n");
    EXPECT_EQ(monitor.status, 128 + SIGINT);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    // Every byte both ways, in order, as the host's own trace has them; decoded, with the time each
    // answer took.
    const std::vector<std::string> all = WireOf(monitor.out), ofLx = WireOf(ReadFile(hostTrace));
    // identify's SYN and answer and three commands of five messages, then lx's.
    ASSERT_EQ(all.size(), 2 + 3 * 5 + ofLx.size()) << monitor.out;
    EXPECT_EQ(std::vector<std::string>(all.end() - static_cast<long>(ofLx.size()), all.end()), ofLx);
    EXPECT_NE(monitor.out.find("  \u2190  ACK: comando aceito; resposta em "), std::string::npos);
    EXPECT_NE(monitor.out.find("par\u00e2metros: \"0|\""), std::string::npos);
    EXPECT_NE(monitor.err.find("Aponte o outro programa para a porta " + link + " (ou /dev/pts/"),
              std::string::npos);
    EXPECT_NE(monitor.err.find("Resumo: 7 comandos vistos, 0 recusados, 0 sem resposta, resposta mais longa: "),
              std::string::npos)
        << monitor.err;
    EXPECT_EQ(ReadFile(monitorTrace).substr(ReadFile(monitorTrace).find('\n') + 1), monitor.out);

    // The saved trace is the printer's side for the same host.
    const SimProgram replay({"--replay", monitorTrace, "--fast"}, folder.path);
    EXPECT_EQ(RunCli({"--port", replay.Port(), "identify"}).out, kIdentified);
    EXPECT_EQ(RunCli({"--port", replay.Port(), "lx"}).status, 0);
}

TEST(CliMonitor, EitherSideLostMidExchangeIsSaidAndEndsTheRelay)
{
    for (const bool printerLost : {true, false}) {
        PtyPair printer, other;
        printer.ReleasePort();
        other.ReleasePort();
        const std::vector<uint8_t> cut {0x01, 0x00, 0x14, 0x00};  // a frame's start
        std::vector<uint8_t> every(256);
        for (size_t i = 0; i < every.size(); ++i)
            every[i] = static_cast<uint8_t>(i);
        std::vector<uint8_t> toPrinter, toOther;
        std::thread sides([&] {
            other.Send(cut);
            toPrinter = printer.Receive(cut.size(), std::chrono::seconds(10));
            printer.Send(every);
            toOther = other.Receive(every.size(), std::chrono::seconds(10));
            (printerLost ? printer : other).Drop();
        });
        const std::string printerPort = printer.Path().substr(5), otherPort = other.Path().substr(5);
        const CliRun run = RunCli({"monitor", "--port", printerPort, "--relay", otherPort});
        sides.join();
        EXPECT_EQ(toPrinter, cut);
        EXPECT_EQ(toOther, every);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.out.find("quadro incompleto, 4 de"), std::string::npos) << run.out;
        const std::string lost = printerLost ? "A porta da impressora (" + printerPort + ") foi perdida"
                                             : "A porta do outro programa (" + otherPort + ") foi perdida";
        EXPECT_NE(run.out.find("  \u00b7  " + lost), std::string::npos) << run.out;
        EXPECT_NE(run.err.find(lost + ": o monitor parou."), std::string::npos) << run.err;
    }
}

TEST(CliReplay, EachSavedTraceAnswersAsTheSimulatorItWasSavedFromDid)
{
    // How each fixture was made: kestro-sim with these options, kestro-cli --trace-file with this command.
    struct Fixture {
        const char* file;
        std::vector<std::string> sim;
        const char* command;
    };
    const std::string longModel = "KS-LONGO-" + [] {
        std::string digits;
        for (int i = 0; i < 150; ++i)
            digits += "0123456789";
        return digits;
    }();
    const Fixture fixtures[] = {
        {"x-reading.trace", {}, "lx"},
        {"identify-refused.trace", {"--refuse", "1,1"}, "identify"},
        {"busy.trace", {"--busy", "2,0,1"}, "lx"},
        {"long-block.trace", {"--model", longModel, "--split", "4,20"}, "identify"},
    };
    for (const Fixture& fixture : fixtures) {
        SCOPED_TRACE(fixture.file);
        TempFolder live, played;
        SimProgram printer(fixture.sim, live.path);
        const CliRun expected = RunCli({"--port", printer.Port(), fixture.command});
        // Recorded gaps for the plain X reading, at once for the rest.
        std::vector<std::string> replay {"--replay", kTraces + "/" + fixture.file};
        if (fixture.sim.size() > 0)
            replay.push_back("--fast");
        SimProgram replayed(replay, played.path);
        const CliRun run = RunCli({"--port", replayed.Port(), fixture.command});
        EXPECT_EQ(run.out, expected.out);
        EXPECT_EQ(run.err, expected.err);
        EXPECT_EQ(run.status, expected.status);
        EXPECT_EQ(replayed.Status(), 0) << replayed.Err();
        EXPECT_NE(replayed.Out().find(" trocas reproduzidas\n"), std::string::npos) << replayed.Out();
    }
}

TEST(CliReplay, AnAnswerEditedIntoANakShowsThatPairsTextAndNeedsNoHeader)
{
    // The X reading's own ACK becomes NAK 1/7, the lines after it dropped, the header too, as a
    // trace copied from a terminal has none.
    const std::string trace = ReadFile(kTraces + "/x-reading.trace");
    const size_t lastAck = trace.rfind("ACK: command accepted  [06]");
    const size_t from = trace.rfind('\n', lastAck) + 1;
    const std::string edited = trace.substr(trace.find('\n') + 1, from - trace.find('\n') - 1) +
                               "    726 ms  \u2190  NAK: command refused  [15 01 07]\n";
    TempFolder folder;
    WriteFile(folder.path + "/edited.trace", edited);
    SimProgram replayed({"--replay", folder.path + "/edited.trace", "--fast"}, folder.path);
    const CliRun run = RunCli({"--port", replayed.Port(), "lx"});
    EXPECT_EQ(run.status, 1);
    std::string text = Cp1252ToUtf8(ErrorText(1, 7));
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    EXPECT_EQ(run.err, text + "\nErro!\n");
    EXPECT_EQ(replayed.Status(), 0) << replayed.Err();
}

TEST(CliReplay, WritesThatFailedArePassedOverInEitherWording)
{
    // The fixtures were saved when the meanings were English; a write that failed says so in
    // either language, and is no exchange to wait for.
    const std::string trace = ReadFile(kTraces + "/x-reading.trace");
    const size_t firstFrame = trace.rfind('\n', trace.find("\u2192  frame:")) + 1;
    const std::string failed = "     50 ms  \u2192  not sent, the write failed  [01 00 1A]\n"
                               "     50 ms  \u2192  n\u00e3o enviado, a escrita falhou  [01 00 1A]\n";
    TempFolder folder;
    WriteFile(folder.path + "/failed.trace", trace.substr(0, firstFrame) + failed + trace.substr(firstFrame));
    SimProgram replayed({"--replay", folder.path + "/failed.trace", "--fast"}, folder.path);
    const CliRun run = RunCli({"--port", replayed.Port(), "lx"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(replayed.Status(), 0) << replayed.Err();
}

TEST(CliReplay, AHostThatSendsSomethingElseIsShownWithTheTraceLine)
{
    TempFolder folder;
    SimProgram replayed({"--replay", kTraces + "/x-reading.trace", "--fast"}, folder.path);
    // The first query asks for the model (line 5); this host asks for the serial number.
    RunCli({"--port", replayed.Port(), "send", "26", "0", "15", "4"});
    EXPECT_EQ(replayed.Status(), 1);
    const std::string err = replayed.Err();
    EXPECT_EQ(err.rfind("kestro-sim: linha 5 da grava\u00e7\u00e3o: o computador enviou outra coisa\n", 0), 0u)
        << err;
    EXPECT_NE(err.find("esperado:      57 ms  \u2192  frame: sequence 0, command 26, extension 0"),
              std::string::npos);
    EXPECT_NE(err.find("par\u00e2metros \"15|4|\"  [01 00 1A 00 05 00 31 35 7C 34 7C B1]"), std::string::npos)
        << err;
}

TEST(CliReplay, ALineThatDoesNotReadIsRefusedBeforeThePortOpens)
{
    TempFolder folder;
    const std::string trace = ReadFile(kTraces + "/x-reading.trace");
    // Line 4 loses the closing bracket of its bytes.
    size_t end = 0;
    for (int line = 0; line < 4; ++line)
        end = trace.find('\n', end + 1);
    WriteFile(folder.path + "/broken.trace", trace.substr(0, end - 1) + trace.substr(end));
    SimProgram replayed({"--replay", folder.path + "/broken.trace"}, folder.path);
    EXPECT_EQ(replayed.Status(), 2);
    EXPECT_EQ(replayed.Out(), "");
    EXPECT_NE(replayed.Err().find("broken.trace: linha 4: "), std::string::npos) << replayed.Err();
}

// Every line of standard output as one object; a line that is no JSON fails the test.
std::vector<Json> JsonLines(const CliRun& run)
{
    std::vector<Json> objects;
    for (const std::string& line : Lines(run.out)) {
        objects.push_back(Json::parse(line, nullptr, false));
        EXPECT_FALSE(objects.back().is_discarded()) << line;
    }
    return objects;
}

// The object has these keys and is of format 1 and of this command.
void ExpectKeys(const Json& object, const std::string& command, const std::vector<std::string>& keys)
{
    EXPECT_EQ(object.value("format", 0), 1) << object;
    EXPECT_EQ(object.value("command", ""), command) << object;
    for (const std::string& key : keys)
        EXPECT_TRUE(object.contains(key)) << key << " in " << object;
}

TEST_F(CliTest, JsonOfEveryCommandHasTheDocumentedKeys)
{
    StartPrinter();
    const std::string port = sim->PortName();
    const std::vector<std::string> session {"port", "ok", "error", "messages"};
    const auto one = [](const std::vector<std::string>& arguments, int status) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.status, status) << run.err;
        const std::vector<Json> objects = JsonLines(run);
        EXPECT_EQ(objects.size(), 1u) << run.out;
        return objects.empty() ? Json() : objects.front();
    };

    const Json identify = one({"--json", "--port", port, "identify"}, 0);
    ExpectKeys(identify, "identify", session);
    EXPECT_EQ(identify["printer"], Json({{"model", "KS-2000 \u00c7"},
                                         {"serial", "KS010000000000000042"},
                                         {"version", "01.02.03"},
                                         {"version_raw", "010203"}}));
    EXPECT_TRUE(identify["error"].is_null());
    const Json lx = one({"--port", port, "lx", "--json"}, 0);
    ExpectKeys(lx, "lx", session);
    EXPECT_EQ(lx["reading_x"], true);
    EXPECT_EQ(one({"--json", "--port", port, "send", "26", "0", "15", "14"}, 0)["response"]["fields"],
              Json::array({"010203"}));
    const Json raw = one({"--json", "--port", port, "send", "--raw", "26", "0", "15", "14"}, 0);
    ExpectKeys(raw, "send", session);
    EXPECT_EQ(raw["request"], Json({{"command", 26}, {"extension", 0}, {"params", {15, 14}}}));
    EXPECT_EQ(raw["response"], Json({{"length", 7}, {"truncated", false}, {"hex", "30 31 30 32 30 33 7C"}}));

    const Json ports = one({"--json", "ports", sim->SlavePath(), "/dev/null"}, 0);
    ExpectKeys(ports, "ports", {"all", "ports", "left_out", "rejected", "adapters"});
    const Json notSerial = Json::parse(R"({"name":"null","path":"/dev/null","adapter":null,"state":"not_serial",
        "reason":"n\u00e3o \u00e9 uma porta serial","code":null,"group":null,"holder":null,"usb":null,"problem":null})");
    EXPECT_EQ(ports["rejected"], Json::array({notSerial}));
    const auto listed = std::find_if(ports["ports"].begin(), ports["ports"].end(),
                                     [&](const Json& entry) { return entry.value("name", "") == port; });
    ASSERT_NE(listed, ports["ports"].end()) << ports;
    EXPECT_EQ(*listed, Json::parse(R"({"name":")" + port + R"(","path":")" + sim->SlavePath() +
                                   R"(","adapter":null,"state":"free","reason":"livre","code":null,"group":null,
                                      "holder":null,"usb":null,"problem":null})"));

    // The printer's line, then the summary, which accounts for every port tried.
    const CliRun find = RunCli({"find", "--json", sim->SlavePath()});
    EXPECT_EQ(find.status, 0);
    const std::vector<Json> lines = JsonLines(find);
    ASSERT_EQ(lines.size(), 2u) << find.out;
    ExpectKeys(lines[0], "find", {"type", "port", "identified", "printer", "messages"});
    EXPECT_EQ(lines[0]["port"], port);
    EXPECT_EQ(lines[0]["printer"], identify["printer"]);
    ExpectKeys(lines[1], "find", {"type", "found", "tried", "skipped", "message", "ports"});
    EXPECT_EQ(lines[1]["type"], "summary");
    EXPECT_EQ(lines[1]["found"], 1);
    EXPECT_EQ(lines[1]["tried"].get<size_t>() + lines[1]["skipped"].get<size_t>(), lines[1]["ports"].size());

    // Failures: the error pair with its title and sentence, and the open error with its code.
    sim->SetDefaultPlan(SimPlan::Answer(SimAnswer::Refuse, {2, 1}));
    const Json refused = one({"--json", "--port", port, "send", "26", "0", "15", "99"}, 1);
    EXPECT_TRUE(refused["response"].is_null());
    EXPECT_EQ(refused["error"]["pair"], Json::parse(R"({"class":2,"detail":1,
        "title":"<< Erro em par\u00e2metro do comando >>",
        "sentence":"Conte\u00fado de par\u00e2metro inv\u00e1lido no comando."})"));
    EXPECT_EQ(refused["messages"], Json::array({kBadParameterText.substr(0, kBadParameterText.size() - 1)}));
    EXPECT_EQ(refused["error"]["outcome"], "refused");
    const Json missing = one({"--json", "--port", kMissingPort, "identify"}, 1);
    EXPECT_EQ(missing["error"]["outcome"], "not_opened");
    EXPECT_EQ(missing["error"]["open"]["state"], "gone");
    EXPECT_EQ(missing["error"]["open"]["code"], 2);
}

TEST_F(CliTest, FindCountsOnlyThePrintersThatIdentifiedThemselves)
{
    StartPrinter();
    // Each answers the SYN, then refuses, stays silent or stays busy; the last is busy at the SYN.
    const struct {
        SimPlan plan;
        SimReply syn;
        std::string why;
    } kinds[] = {{SimPlan::Answer(SimAnswer::Refuse, {8, 1}), {}, "recusou: 8/1"},
                 {SimPlan::Answer(SimAnswer::Silent), {}, "sem resposta"},
                 {SimPlan::Answer(SimAnswer::Busy, {1, 0}), {}, "ocupado"},
                 {SimPlan(), {SimAnswer::Busy, {1, 0}}, "ocupado"}};
    std::vector<std::unique_ptr<PrinterSim>> others;
    std::vector<std::string> arguments = {"find", sim->SlavePath()};
    for (const auto& kind : kinds) {
        others.push_back(std::make_unique<PrinterSim>());
        ASSERT_TRUE(others.back()->Start());
        others.back()->SetDefaultPlan(kind.plan);
        others.back()->QueueSynReply(kind.syn);
        arguments.push_back(others.back()->SlavePath());
    }
    const CliRun run = RunCli(arguments);
    // One answer wait of 6 s and the identification, not one wait per query: each stopped at the
    // first query that failed.
    EXPECT_LT(run.took, std::chrono::seconds(11));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.out).size(), 1u) << run.out;
    for (size_t i = 0; i < others.size(); ++i) {
        const std::string line =
            others[i]->PortName() + ": responde, mas n\u00e3o se identificou (" + kinds[i].why;
        EXPECT_NE(run.err.find(line + ")\n"), std::string::npos) << run.err;
        EXPECT_LE(others[i]->Counts().frames, i == 2 ? 200u : 1u);
    }
    EXPECT_NE(run.err.find("\n1 ECF encontrado, 4 responderam sem se identificar; "), std::string::npos)
        << run.err;

    // Without a printer that identified itself nothing is found.
    const CliRun refused = RunCli({"find", "--json", others[0]->SlavePath()});
    EXPECT_EQ(refused.status, 1);
    const std::vector<Json> lines = JsonLines(refused);
    ASSERT_EQ(lines.size(), 2u) << refused.out;
    EXPECT_EQ(lines[0]["messages"], Json::array({"responde, mas n\u00e3o se identificou (recusou: 8/1)"}));
    EXPECT_EQ(lines[1]["found"], 1);
    EXPECT_EQ(lines[1]["identified"], 0);
    EXPECT_EQ(lines[1]["unidentified"], 1);
    EXPECT_EQ(lines[1]["message"].get<std::string>().rfind("Nenhum ECF encontrado, 1 respondeu sem se ", 0), 0u);
}

TEST_F(CliTest, JsonKeepsAPrinterTextExactly)
{
    PrinterSim::Options options;
    // Quotes, a backslash, control bytes, accented letters and the euro sign in Windows-1252.
    options.identity.model = "\"A\" \\ \x01\x1b\t\r\n\x7f \xC7\xE3\x80";
    sim = std::make_unique<PrinterSim>(options);
    ASSERT_TRUE(sim->Start());
    const std::vector<Json> objects = JsonLines(RunCli({"--json", "--port", sim->PortName(), "identify"}));
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0]["printer"]["model"], "\"A\" \\ \x01\x1b\t\r\n\x7f \u00c7\u00e3\u20ac");
}

// The state in the line that `ports --all` gives the port, between its name and its adapter; empty
// when there is no such line.
std::string StateOf(const std::string& out, const std::string& path)
{
    const std::string name = path.substr(5) + "\t";
    for (const std::string& line : Lines(out)) {
        if (line.rfind(name, 0) == 0) {
            const size_t tab = line.find('\t', name.size());
            return tab == std::string::npos ? "(no adapter field)" : line.substr(name.size(), tab - name.size());
        }
    }
    return {};
}

TEST(CliPorts, EveryPortIsOfferedOrExplainedAndAHeldOneIsRefusedWithItsHolder)
{
    PtyPair free, held;
    free.ReleasePort();  // a port that this process held open would be in use elsewhere
    held.ReleasePort();
    PortHolder holder(held.Path(), "ModemManager");
    ASSERT_TRUE(holder.held);
    const std::string holderText = "em uso por ModemManager (pid " + std::to_string(holder.Pid()) + ")";
    const std::string missing = "/dev/pts/999999";
    const std::vector<std::string> named = {held.Path(), free.Path(), missing, "/dev/null"};
    std::vector<std::string> arguments = {"ports"};
    arguments.insert(arguments.end(), named.begin(), named.end());

    const CliRun plain = RunCli(arguments);
    EXPECT_EQ(plain.status, 0);
    const auto lines = Lines(plain.out);
    EXPECT_NE(std::find(lines.begin(), lines.end(), free.Path().substr(5)), lines.end()) << plain.out;
    EXPECT_EQ(plain.out.find(held.Path().substr(5)), std::string::npos) << plain.out;
    // The paths given by hand each said, then the count of those left out.
    for (const std::string& line : {"kestro-cli: " + held.Path() + ": " + holderText,
                                    std::string("kestro-cli: /dev/null: n\u00e3o \u00e9 uma porta serial")})
        EXPECT_NE(plain.err.find(line + "\n"), std::string::npos) << plain.err;
    EXPECT_NE(plain.err.find("portas deixadas de fora: kestro-cli ports --all mostra o motivo.\n"),
              std::string::npos)
        << plain.err;

    arguments.push_back("--all");
    const CliRun all = RunCli(arguments);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.err, "");
    EXPECT_EQ(StateOf(all.out, free.Path()), "livre");
    EXPECT_EQ(StateOf(all.out, held.Path()), holderText);
    EXPECT_EQ(StateOf(all.out, missing), "n\u00e3o encontrada (verifique o cabo e o adaptador)");

    // Opened by name or by path, it is refused: the other program would take the answers away.
    for (const std::string& port : {held.Path().substr(5), held.Path()}) {
        const CliRun open = RunCli({"--port", port, "identify"});
        EXPECT_EQ(open.status, 1);
        EXPECT_EQ(open.err, "Erro ao abrir Porta Serial! (16) Em uso por ModemManager (pid " +
                                std::to_string(holder.Pid()) + ").\n");
    }
    // find says why it skipped a port named on its command line, and always ends with a count.
    const CliRun find = RunCli({"find", held.Path()});
    EXPECT_EQ(find.status, 1);
    EXPECT_EQ(find.out, "");
    EXPECT_NE(find.err.find(held.Path().substr(5) + ": " + holderText + "\n"), std::string::npos) << find.err;
    ASSERT_FALSE(Lines(find.err).empty());
    EXPECT_EQ(Lines(find.err).back().rfind("Nenhum ECF encontrado; ", 0), 0u) << find.err;
    // Not "1 em uso": a test running beside this one may be scanning the machine's own ports.
    EXPECT_NE(Lines(find.err).back().find(" em uso"), std::string::npos) << find.err;
}

TEST(CliPorts, JsonNamesTheHolderOfAHeldPortWhereverItIsRefused)
{
    PtyPair held;
    held.ReleasePort();
    PortHolder holder(held.Path(), "ModemManager");
    ASSERT_TRUE(holder.held);
    const Json inUse = {{"state", "in_use"},
                        {"reason", "em uso por ModemManager (pid " + std::to_string(holder.Pid()) + ")"},
                        {"code", nullptr},
                        {"group", nullptr},
                        {"holder", {{"name", "ModemManager"}, {"pid", holder.Pid()}}}};
    const std::vector<Json> ports = JsonLines(RunCli({"--json", "ports", "--all", held.Path()}));
    ASSERT_EQ(ports.size(), 1u);
    Json listed = {{"name", held.Path().substr(5)}, {"path", held.Path()}, {"adapter", nullptr}};
    listed.update(inUse);
    listed.update({{"usb", nullptr}, {"problem", nullptr}});
    EXPECT_NE(std::find(ports[0]["ports"].begin(), ports[0]["ports"].end(), listed), ports[0]["ports"].end())
        << ports[0];
    const std::vector<Json> open = JsonLines(RunCli({"--json", "--port", held.Path(), "identify"}));
    ASSERT_EQ(open.size(), 1u);
    Json refused = inUse;
    refused["code"] = 16;
    EXPECT_EQ(open[0]["error"]["open"], refused);
    const std::vector<Json> find = JsonLines(RunCli({"find", "--json", held.Path()}));
    ASSERT_EQ(find.size(), 1u);
    EXPECT_EQ(find[0]["message"].get<std::string>().rfind("Nenhum ECF encontrado; ", 0), 0u) << find[0];
    EXPECT_NE(std::find(find[0]["ports"].begin(), find[0]["ports"].end(),
                        Json({{"port", held.Path().substr(5)},
                              {"result", "skipped"},
                              {"message", inUse["reason"]},
                              {"status", inUse}})),
              find[0]["ports"].end())
        << find[0];
}

TEST(CliPorts, RefusedPortNamesItsGroupToAnOrdinaryUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "an ordinary user of our own needs root";
    const group* dialout = ::getgrnam("dialout");
    if (dialout == nullptr)
        GTEST_SKIP() << "no group dialout here";
    PtyPair port;
    port.ReleasePort();
    ASSERT_EQ(::chown(port.Path().c_str(), 0, dialout->gr_gid), 0);
    const gid_t throwaway = 54321;  // a user and group that nothing else uses
    const auto asUser = [&](bool inDialout) {
        return [&, inDialout] {
            const gid_t groups[] = {dialout->gr_gid};
            if (::setgroups(inDialout ? 1 : 0, groups) != 0 || ::setgid(throwaway) != 0 ||
                ::setuid(throwaway) != 0)
                ::_exit(126);
        };
    };
    const struct {
        mode_t mode;
        bool inDialout;
        std::string state;
    } rows[] = {
        {0660, false, "sem permiss\u00e3o (entre no grupo dialout)"},
        {0660, true, "livre"},
        {0600, true, "sem permiss\u00e3o (nem o grupo dialout pode abrir a porta; pe\u00e7a ao administrador)"},
    };
    for (const auto& row : rows) {
        ASSERT_EQ(::chmod(port.Path().c_str(), row.mode), 0);
        const CliRun run = RunCli({"ports", "--all", port.Path()}, "/", {}, {}, asUser(row.inDialout));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(StateOf(run.out, port.Path()), row.state) << row.mode << " " << row.inDialout << "\n" << run.out;
    }
}

TEST(CliFind, PrintsThePrinterBeforeTheSilentPortsGiveUpThenCounts)
{
    PrinterSim printer;
    ASSERT_TRUE(printer.Start());
    PtyPair silent[3];
    std::vector<std::string> arguments = {"find", printer.SlavePath()};
    for (PtyPair& port : silent) {
        port.ReleasePort();
        arguments.push_back(port.Path());
    }
    const CliRun run = RunCli(arguments);  // the real answer wait: silent ports give up after 6 s
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.out).size(), 1u) << run.out;
    EXPECT_LT(run.outAt + std::chrono::seconds(3), run.took);
    ASSERT_FALSE(Lines(run.err).empty());
    EXPECT_EQ(Lines(run.err).back().rfind("1 ECF encontrado; ", 0), 0u) << run.err;
}

TEST(CliCommandLine, HelpExplainsEveryCommandAndSwitch)
{
    const CliRun run = RunCli({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    for (const char* word : {"Uso:", "Comandos:", "Op\u00e7\u00f5es:", "ports", "--port NOME identify",
                             "--port NOME lx", "+APPLOG", "NN.NN.NN", "C\u00f3digo de sa\u00edda"})
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
}

TEST(CliCommandLine, UnusableCommandLinesGiveOneLineAndStatus2)
{
    const std::string unknown =
        "': esperado um comando (ports, identify, lx, find, send, ping, report ou monitor) ou um caminho "
        "/dev/DISPOSITIVO";
    const std::string serverForm = "' n\u00e3o \u00e9 uma porta de servidor serial: escreva socket://M\u00c1QUINA:PORTA "
                                   "ou rfc2217://M\u00c1QUINA:PORTA, com a PORTA de 1 a 65535";
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } lines[] = {
        {{}, "falta o comando (ports, identify, lx, find, send, ping, report ou monitor)"},
        {{"frobnicate"}, "palavra desconhecida 'frobnicate" + unknown},
        {{"--bogus", "ports"}, "op\u00e7\u00e3o desconhecida '--bogus'"},
        {{"--verbose", "ports"}, "--verbose \u00e9 s\u00f3 para find"},
        {{"identify"}, "falta --port NOME: este comando fala com uma impressora"},
        {{"lx", "--port"}, "--port precisa de um nome de porta"},
        {{"--port", "", "identify"}, "--port precisa de um nome de porta"},
        {{"--port", "pts/1", "identify", "lx"}, "um comando por vez: 'lx' \u00e9 o segundo"},
        {{"--port", "pts/1", "ports"}, "ports n\u00e3o usa --port"},
        {{"--port", "pts/1", "identify", "/dev/pts/2"},
         "caminhos de dispositivo s\u00e3o s\u00f3 para ports e find; d\u00ea a porta com --port"},
        {{"ports", "pts/2"}, "palavra desconhecida 'pts/2" + unknown},  // a device not given as a path
        {{"find", "--port", "pts/1"}, "find n\u00e3o usa --port"},
        {{"--port", "pts/1", "--raw", "lx"}, "--raw \u00e9 s\u00f3 para send"},
        {{"--port", "pts/1", "--verbose", "send", "1", "0"}, "--verbose \u00e9 s\u00f3 para find"},
        {{"--port=pts/1", "lx", "--trace-file"}, "--trace-file precisa de um nome de arquivo"},
        {{"ports", "--trace"}, "ports n\u00e3o troca mensagens com a impressora: nada para --trace"},
        {{"--port", "pts/1", "lx", "--relay", "pts/2"}, "--relay \u00e9 s\u00f3 para monitor"},
        {{"--port", "pts/1", "monitor", "--relay", "pts/2", "--link", "/tmp/ecf"},
         "--link \u00e9 para o pseudo-terminal: n\u00e3o vai com --relay"},
        {{"--port", "pts/1", "monitor", "--trace"},
         "monitor j\u00e1 escreve o tr\u00e1fego na sa\u00edda padr\u00e3o: --trace n\u00e3o serve (para salvar, "
         "--trace-file)"},
        {{"--port", "socket://loja12", "identify"}, "'socket://loja12" + serverForm},
        {{"find", "rfc2217://loja12:0"}, "'rfc2217://loja12:0" + serverForm},
        // A word that would break the line and clear the screen.
        {{"fr\nob\x1b[2J"}, "palavra desconhecida 'fr\\x0aob\\x1b[2J" + unknown},
    };
    for (const auto& line : lines) {
        const CliRun run = RunCli(line.arguments);
        EXPECT_EQ(run.status, 2) << line.message;
        EXPECT_EQ(run.out, "") << line.message;
        // One line that names what is wrong and where to look, not the whole help.
        EXPECT_EQ(run.err, "kestro-cli: " + line.message + ". Veja kestro-cli --help.\n");
    }
}

TEST(CliCommandLine, AppLogSwitchInAnyCaseLogsTheCommandLineFirst)
{
    TempFolder folder;
    const CliRun run = RunCli({"--port", kMissingPort, "+ApPlOg", "identify"}, folder.path);
    EXPECT_EQ(run.status, 1);
    const auto messages = ReadLogMessages(folder.path);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(), kCli + " --port " + kMissingPort + " +ApPlOg identify ");
    // A port that does not open ends the connection before any query.
    EXPECT_TRUE(InOrder(messages, {"Connecting...", "New Command", "SerialOpen NOk", "New Command Ok", "L Fim"}));
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Loading Config..."), 0);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "RetResp"), 0);
}

TEST(CliCommandLine, NoLogWithoutTheSwitch)
{
    TempFolder folder;
    RunCli({"--port", kMissingPort, "identify"}, folder.path);
    RunCli({"--help"}, folder.path);
    EXPECT_FALSE(fs::exists(fs::path(folder.path) / "AppLog.log"));
}

TEST_F(CliTest, LogOfAnIdentificationFollowsTheWindowsConnect)
{
    StartPrinter();
    TempFolder folder;
    const CliRun run = RunCli({"+APPLOG", "--port", sim->PortName(), "identify"}, folder.path);
    EXPECT_EQ(run.status, 0);
    const auto messages = ReadLogMessages(folder.path);
    EXPECT_TRUE(InOrder(messages, {"Connecting...", "New Command", "New Command Ok", "Loading Config...",
                                   "RetResp", "RetResp", "RetResp", "Running", "Stop"}));
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "RetResp"), 3);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "L Fim"), 0);
}

}  // namespace

TEST_F(CliTest, PingTellsEachExchangeThenTheSummaryAndCtrlCKeepsTheSummarySoFar)
{
    StartPrinter();
    const CliRun run = RunCli({"--port", sim->PortName(), "ping", "--count", "3"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;
    EXPECT_EQ(lines[2].rfind("3: ", 0), 0u);
    EXPECT_EQ(lines[2].substr(lines[2].size() - 3), " ms");
    EXPECT_EQ(lines[3].rfind("3 enviados: 3 respondidos, 0 sem resposta, 0 recusados, 0 diferentes; ", 0), 0u);
    EXPECT_EQ(sim->Counts().syns, 1u);

    const std::vector<Json> objects =
        JsonLines(RunCli({"--json", "--port", sim->PortName(), "ping", "--count", "2"}));
    ASSERT_EQ(objects.size(), 3u);
    ExpectKeys(objects[1], "ping", {"n", "result", "ms", "error"});
    EXPECT_EQ(objects[1]["result"], "ok");
    ExpectKeys(objects[2], "ping",
               {"summary", "sent", "ok", "differs", "refused", "no_answer", "busy", "line_lost", "min_ms",
                "median_ms", "max_ms"});
    EXPECT_EQ(objects[2]["sent"], 2);

    // The printer stops answering but to ask for a wait: Ctrl-C ends with what was counted.
    const uint64_t before = sim->Counts().frames;
    sim->QueuePlan(SimPlan(), 2);
    sim->SetDefaultPlan(SimPlan::Answer(SimAnswer::Busy, {0, 1}));
    const CliRun stopped =
        RunCli({"--port", sim->PortName(), "ping"}, {}, [&] { return sim->Counts().frames > before + 2; });
    EXPECT_EQ(stopped.status, 128 + SIGINT);
    EXPECT_EQ(Lines(stopped.out).back().rfind("2 enviados: 2 respondidos", 0), 0u) << stopped.out;
}

// ---- Through a serial server: Debian's ser2net serving the simulator's port on loopback -------

namespace {

// A socket listening on a loopback port of its own, whose number goes to `port`.
int ListenOnLoopback(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(fd, 1);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
    return fd;
}

// A loopback port that nothing listens on now.
int FreeLoopbackPort()
{
    int port = 0;
    ::close(ListenOnLoopback(port));
    return port;
}

// A client connection to a loopback port, or -1.
int ConnectLoopback(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    ::close(fd);
    return -1;
}

// ser2net with a configuration of its own: the device raw on one port, over RFC 2217 on another.
class Ser2net {
public:
    explicit Ser2net(const std::string& device)
    {
        std::ofstream(folder.path + "/ser2net.yaml")
            << "connection: &raw\n  accepter: tcp,127.0.0.1," << raw << "\n  connector: serialdev," << device
            << ",115200n81,local\nconnection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1," << rfc2217
            << "\n  connector: serialdev," << device << ",115200n81,local\n";
        const ExecArgs argv("/usr/sbin/ser2net", {"-n", "-c", folder.path + "/ser2net.yaml"});
        pid = ::fork();
        if (pid == 0) {
            for (int fd = 3; fd < 1024; ++fd)
                ::close(fd);
            ::execv(argv.Argv()[0], argv.Argv());
            ::_exit(127);
        }
        WaitFor([this] {
            const int fd = ConnectLoopback(raw);
            return fd >= 0 && ::close(fd) == 0;
        });
    }
    ~Ser2net() { Stop(); }
    void Stop()
    {
        if (pid > 0 && ::kill(pid, SIGTERM) == 0 && ::kill(pid, SIGCONT) == 0)
            ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
    // A server frozen with its connections up, or going on again.
    void Freeze(bool frozen) { ::kill(pid, frozen ? SIGSTOP : SIGCONT); }
    std::string Url(bool telnet) const
    {
        return (telnet ? "rfc2217://127.0.0.1:" : "socket://127.0.0.1:") + std::to_string(telnet ? rfc2217 : raw);
    }

    const int raw = FreeLoopbackPort();
    const int rfc2217 = FreeLoopbackPort();

private:
    TempFolder folder;
    pid_t pid = -1;
};

// A run's texts without what differs from run to run: times, and the port in the first note.
// (By hand: std::regex draws GCC 12's false uninitialised warnings in the sanitizer builds.)
std::string Steady(const CliRun& run)
{
    const std::string text = run.out + run.err;
    const auto timeEnd = [&text](size_t at) {  // " *[0-9/]+ ms" from at: where it ends, or npos
        const size_t digits = text.find_first_not_of(' ', at);
        const size_t end = digits == std::string::npos ? digits : text.find_first_not_of("0123456789/", digits);
        return end != std::string::npos && end > digits && text.compare(end, 3, " ms") == 0 ? end + 3
                                                                                            : std::string::npos;
    };
    std::string steady = std::to_string(run.status) + "\n";
    for (size_t at = 0; at < text.size();) {
        size_t end = text.compare(at, 11, "Conectado (") == 0 ? text.find(')', at) : std::string::npos;
        end = end != std::string::npos ? end + 1 : timeEnd(at);
        if (end == std::string::npos) {
            steady += text[at++];
        } else {
            steady += '#';
            at = end;
        }
    }
    return steady;
}

}  // namespace

TEST_F(CliTest, ThroughSer2netEveryCommandGivesTheSameAnswersAndTrafficAsOnThePort)
{
    StartPrinter();
    Ser2net server(sim->SlavePath());
    const std::vector<std::vector<std::string>> commands = {{"identify"}, {"lx"}, {"ping", "--count", "20"}};
    for (const auto& command : commands) {
        std::vector<std::string> results;
        for (const std::string& port : {sim->PortName(), server.Url(false), server.Url(true)}) {
            // 0xFF both ways: in the SYN's answer, then in every frame.
            sim->SetNextSequence(0xFF);
            std::vector<std::string> arguments = {"--port", port, "--trace"};
            arguments.insert(arguments.end(), command.begin(), command.end());
            results.push_back(Steady(RunCli(arguments)));
        }
        SCOPED_TRACE(command[0]);
        EXPECT_NE(results[0].find("[16 FF]"), std::string::npos) << results[0];
        EXPECT_EQ(results[1], results[0]);
        EXPECT_EQ(results[2], results[0]);
    }
}

TEST_F(CliTest, Ser2netStoppedOrTakenAndAServerThatIsNotThereAreEachSaid)
{
    StartPrinter();
    Ser2net server(sim->SlavePath());
    const std::string where = "127.0.0.1:" + std::to_string(server.raw);
    // Another client holds the port: ser2net turns this one away.
    const int other = ConnectLoopback(server.raw);
    const CliRun taken = RunCli({"--port", server.Url(false), "identify"});
    ::close(other);
    EXPECT_EQ(taken.err, where + " em uso por outro cliente do servidor serial: feche a outra conex\u00e3o\n");

    // Stopped while the printer keeps its answer: the command ends at once, not after the wait.
    sim->SetDefaultPlan(SimPlan::Answer(SimAnswer::Silent));
    std::thread stopper([&] {
        sim->WaitUntil([&] { return sim->Counts().frames > 0; }, std::chrono::seconds(10));
        server.Stop();
    });
    const CliRun lost = RunCli({"--port", server.Url(false), "--trace", "--json", "identify"});
    stopper.join();
    EXPECT_EQ(lost.status, 1);
    const std::string lostText = "Conex\u00e3o com " + where + " perdida";
    EXPECT_NE(lost.err.find("\u00b7  linha perdida\n" + lostText + "\n"), std::string::npos) << lost.err;
    EXPECT_EQ(Json::parse(lost.out)["error"]["pair"]["sentence"], lostText) << lost.out;
    EXPECT_EQ(Json::parse(lost.out)["error"]["outcome"], "line_lost") << lost.out;
    EXPECT_LT(lost.took, std::chrono::seconds(5));  // the answer wait is 6 s

    // The telnet port named as a raw one: its server opens with telnet's negotiation.
    Ser2net telnet(sim->SlavePath());
    const std::string telnetWhere = "127.0.0.1:" + std::to_string(telnet.rfc2217);
    EXPECT_EQ(RunCli({"--port", "socket://" + telnetWhere, "identify"}).err,
              "o servidor fala RFC 2217: use rfc2217://" + telnetWhere + "\n");

    const CliRun refused = RunCli({"--port", server.Url(true), "identify"});
    EXPECT_EQ(refused.err, "Erro ao abrir Porta Serial! (111) 127.0.0.1:" + std::to_string(server.rfc2217) +
                               " recusou a conex\u00e3o: confira o servidor.\n");
}

TEST_F(CliTest, AFrozenRfc2217ServerIsToldApartFromASilentPrinter)
{
    StartPrinter();
    sim->SetDefaultPlan(SimPlan::Answer(SimAnswer::Silent));
    Ser2net server(sim->SlavePath());
    const std::vector<std::string> ping = {"--port", server.Url(true), "ping", "--count", "1"};
    EXPECT_EQ(Lines(RunCli(ping).out).at(0), "1: sem resposta");
    server.Freeze(true);
    const CliRun frozen = RunCli(ping);
    server.Freeze(false);
    EXPECT_EQ(frozen.err,
              "o servidor serial 127.0.0.1:" + std::to_string(server.rfc2217) + " n\u00e3o responde\n");
}

// A serial server in front of ser2net that serves one connection and is gone before the next:
// it stops listening once its first client is in.
class OneConnectionServer {
public:
    explicit OneConnectionServer(int target) : listener(ListenOnLoopback(port))
    {
        relay = std::thread([this, target] {
            const int client = ::accept(listener, nullptr, nullptr);
            ::shutdown(listener, SHUT_RDWR);
            const int server = ConnectLoopback(target);
            pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
            char chunk[4096];
            for (bool open = client >= 0 && server >= 0; open && ::poll(fds, 2, -1) > 0;) {
                for (int i = 0; i < 2 && open; ++i) {
                    const ssize_t n = fds[i].revents != 0 ? ::read(fds[i].fd, chunk, sizeof chunk) : 1;
                    open = n > 0 && (fds[i].revents == 0 || ::write(fds[1 - i].fd, chunk, n) == n);
                }
            }
            ::close(client);
            ::close(server);
        });
    }
    ~OneConnectionServer()
    {
        ::shutdown(listener, SHUT_RDWR);  // when no client came
        relay.join();
        ::close(listener);
    }
    std::string Url() const { return "socket://127.0.0.1:" + std::to_string(port); }
    std::string Where() const { return "127.0.0.1:" + std::to_string(port); }

private:
    int port = 0;
    const int listener;
    std::thread relay;
};

TEST_F(CliTest, APortGoneBetweenTwoQueriesIsSaidInTextAndJsonOnAPtyAndThroughSer2net)
{
    StartPrinter();
    Ser2net ser2net(sim->SlavePath());
    TempFolder folder;
    const std::string byId = folder.path + "/usb-kestro-if00-port0";
    for (const bool json : {false, true}) {
        // The adapter's by-id name, gone once the printer has the first query's SYN.
        fs::create_symlink(sim->SlavePath(), byId);
        const uint64_t before = sim->Counts().syns;
        std::thread pull([&] {
            sim->WaitUntil([&] { return sim->Counts().syns > before; }, std::chrono::seconds(20));
            fs::remove(byId);
        });
        OneConnectionServer server(ser2net.raw);
        const std::string gone = OpenFailureText(ExplainOpenFailure(byId, ENOENT));
        const std::string refused = "Erro ao abrir Porta Serial! (111) " + server.Where() +
                                    " recusou a conex\u00e3o: confira o servidor.";
        for (const auto& [port, why, state] : {std::tuple {byId, Cp1252ToUtf8(gone), "gone"},
                                               std::tuple {server.Url(), refused, "refused"}}) {
            SCOPED_TRACE(port + (json ? " --json" : ""));
            const CliRun run = RunCli(json ? std::vector<std::string> {"--port", port, "--json", "identify"}
                                           : std::vector<std::string> {"--port", port, "identify"});
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, why + "\nErro ao ler ECF\n");
            if (json) {
                Json error = JsonLines(run).at(0)["error"];
                EXPECT_EQ(error["message"], "Erro ao ler ECF");
                EXPECT_EQ(error["open"]["state"], state);
            } else {
                EXPECT_EQ(run.out, "Modelo: KS-2000 \u00c7\n");
            }
        }
        pull.join();
    }
}

TEST(NetworkPort, ANameThatIsNotFoundIsSaidWithTheServer)
{
    const auto notFound = [](const std::string& host, const OpenPoll&) {
        EXPECT_EQ(host, "loja12");
        return HostLookup {{}, EAI_NONAME};
    };
    const PortOpenResult opened = OpenNetworkPort(ReadPortName("socket://loja12:3001"), "115200,n,8,1", notFound);
    ASSERT_FALSE(opened.port);
    EXPECT_EQ(Cp1252ToUtf8(OpenFailureText(opened.failure)),
              "Erro ao abrir Porta Serial! (" + std::to_string(EAI_NONAME) +
                  ") Nome n\u00e3o encontrado: loja12:3001; confira o nome.");
}

TEST(NetworkPort, WhatWaitsOnANewConnectionBeforeItsFirstByteIsDropped)
{
    // A server that resumes with the printer's NAK to the last connection still to hand over.
    int port = 0;
    const int listener = ListenOnLoopback(port);
    std::atomic<bool> staleSent {false};
    std::thread server([&] {
        const int client = ::accept(listener, nullptr, nullptr);
        char syn = 0;
        staleSent = ::write(client, "\x15\x02\x01", 3) == 3;
        if (::read(client, &syn, 1) == 1 && syn == 0x16)
            ::write(client, "\x16\x05", 2);
        ::close(client);
    });
    const auto loopback = [](const std::string&, const OpenPoll&) { return HostLookup {{"127.0.0.1"}, 0}; };
    const PortOpenResult opened =
        OpenNetworkPort(ReadPortName("socket://127.0.0.1:" + std::to_string(port)), "115200,n,8,1", loopback);
    ASSERT_TRUE(opened.port);
    WaitFor([&] { return staleSent.load(); });
    std::vector<uint8_t> got(8);
    EXPECT_EQ(opened.port->Read(got.data(), 8), 0);  // the reader's turn before the first byte
    const uint8_t syn = 0x16;
    ASSERT_TRUE(opened.port->Write(&syn, 1));
    int count = 0;
    WaitFor(
        [&] { return (count += opened.port->Read(got.data() + count, 8 - count)) >= 2 || opened.port->Lost(); });
    server.join();
    ::close(listener);
    EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.begin() + count), (std::vector<uint8_t> {0x16, 0x05}));
}

// Ctrl-C while a named server port's check waits on a server that lets no connection in: the
// command ends at the check's next step, not at the connect's bound of 5 s.
TEST(NetworkPort, CtrlCEndsTheCheckOfAServerPortThatDoesNotAnswer)
{
    const StalledServer server;
    const std::string url = "socket://" + server.Where();
    TempFolder folder;
    for (const char* command : {"ports", "find", "report"}) {
        SCOPED_TRACE(command);
        const CliRun run = RunCli({command, url}, folder.path, [&] { return server.Connecting(); });
        EXPECT_EQ(run.status, 128 + SIGINT);
        EXPECT_LT(run.took, std::chrono::seconds(4));
    }
}

// ---- kestro-cli report ----------------------------------------------------------------------

// The report's text as written: its path is the JSON's, relative to the folder it ran in.
std::string ReportIn(const std::string& folder, const Json& object)
{
    return ReadFile(folder + "/" + object.value("path", std::string()));
}

TEST_F(CliTest, ReportOfAHealthyPrinterSaysOkAndItsTrafficPlaysThePrinterBack)
{
    StartPrinter();
    TempFolder folder;
    const CliRun run = RunCli({"--json", "report", "--port", sim->PortName()}, folder.path);
    ASSERT_EQ(run.status, 0) << run.err;
    const Json object = Json::parse(run.out);
    const std::string code = object.value("code", std::string());
    ASSERT_EQ(code.size(), 6u);
    EXPECT_EQ(object.value("path", std::string()).substr(0, 15), "kestro-suporte-");
    EXPECT_NE(object.value("path", std::string()).find("-" + code + ".txt"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat((folder.path + "/" + object.value("path", std::string())).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const std::string text = ReportIn(folder.path, object);
    EXPECT_EQ(text.rfind("# Relat\u00f3rio de suporte do Kestro; c\u00f3digo " + code + "\n", 0), 0u);
    EXPECT_NE(text.find("\nOK       Impressora: Modelo: KS-2000 \u00c7, NS MF: KS010000000000000042, SB: 01.02.03, "
                        "na porta " +
                        sim->PortName() + ".\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nOK       Linha: Comunica\u00e7\u00e3o: 10 de 10 respostas"), std::string::npos) << text;
    EXPECT_EQ(object["summary"][2].value("level", std::string()), "ok");
    EXPECT_EQ(object["line"].value("ok", 0), 10);

    // The report as it is, played back: the same printer identifies itself.
    SimProgram replay({"--replay", folder.path + "/" + object.value("path", std::string()), "--fast"}, folder.path);
    const CliRun again = RunCli({"--port", replay.Port(), "identify"});
    EXPECT_EQ(again.out, kIdentified) << replay.Err();
}

// A server's port given is tried for the printer, but is none of this computer's ports to list.
TEST(CliReport, AServerPortGivenIsNotListedAmongTheComputersPorts)
{
    TempFolder folder;
    const std::string file = folder.path + "/server.txt";
    ASSERT_EQ(RunCli({"report", "--port", "socket://127.0.0.1:1", "--output", file}).status, 0);
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("\nPorta: socket://127.0.0.1:1\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("\nsocket://127.0.0.1:1\t"), std::string::npos) << text;
}

TEST(CliReport, HeldAndSilentPortsAreSaidWithTheNextStepAndAFileIsNeverHalfWrittenOrReplaced)
{
    SKIP_WITHOUT_HELD_PORTS();
    PtyPair held, silent;
    held.ReleasePort();
    silent.ReleasePort();
    PortHolder holder(held.Path(), "ModemManager");
    ASSERT_TRUE(holder.held);
    TempFolder folder;
    const std::string heldFile = folder.path + "/held.txt";
    const CliRun heldRun = RunCli({"report", "--port", held.Path(), "--output", heldFile});
    EXPECT_EQ(heldRun.status, 0) << heldRun.err;
    const std::string heldText = ReadFile(heldFile);
    EXPECT_NE(heldText.find("\nFALHA    Impressora: a porta " + held.Path().substr(5) + " n\u00e3o abriu: "),
              std::string::npos)
        << heldText;
    EXPECT_NE(heldText.find("ModemManager (pid " + std::to_string(holder.Pid()) + ")"), std::string::npos);
    EXPECT_NE(heldText.find("\nATEN\u00c7\u00c3O  Linha: n\u00e3o testada"), std::string::npos);

    const CliRun silentRun = RunCli({"report", "--port", silent.Path(), "--output", folder.path + "/silent.txt"});
    EXPECT_EQ(silentRun.status, 0);
    EXPECT_NE(ReadFile(folder.path + "/silent.txt")
                  .find("\nFALHA    Impressora: nenhuma resposta na porta " + silent.Path().substr(5) +
                        ". Pr\u00f3ximo passo: "),
              std::string::npos);

    // An existing file stays as it was; a folder that is not there leaves nothing behind.
    const CliRun again = RunCli({"report", "--port", held.Path(), "--output", heldFile});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "kestro-cli: Relat\u00f3rio n\u00e3o salvo em " + heldFile +
                             ": j\u00e1 existe um arquivo com esse nome.\n");
    EXPECT_EQ(ReadFile(heldFile), heldText);
    const CliRun nowhere = RunCli({"report", "--port", held.Path(), "--output", folder.path + "/none/r.txt"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("arquivo ou pasta n\u00e3o encontrado"), std::string::npos) << nowhere.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 2);
}
