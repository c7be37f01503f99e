// The port search, threads and all: printers, a busy one, a silent port and a cancel, with the
// log on (ThreadSanitizer runs this too).
#include "session/printer_finder.h"
#include "sim/printer_sim.h"
#include "tests/support/link_test_support.h"
#include "tests/support/pty_pair.h"
#include "tests/support/stalled_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include <filesystem>
#include <fstream>

namespace {

TEST(PrinterFinder, FindsEveryPrinterAtOnceAndSendsOnlySynAndTheQueries)
{
    LogCapture log;
    PrinterSim first, second, busy;
    for (PrinterSim* sim : {&first, &second, &busy})
        ASSERT_TRUE(sim->Start());
    busy.SetDefaultPlan(SimPlan::Answer(SimAnswer::Busy, {1, 2}));  // answers SYN, then stays busy
    PtyPair silent;

    PrinterFinder finder(SilencePacing());  // the silent port's waits end the search
    finder.Start({ReadPortName(first.PortName()), DeviceAddress(silent.Path()), ReadPortName(second.PortName()),
                  ReadPortName(busy.PortName())});
    const std::vector<PortProbe> probes = finder.Results();

    ASSERT_EQ(probes.size(), 4u);
    for (const size_t i : {0, 2}) {
        EXPECT_EQ(probes[i].outcome, PortProbe::kPrinter);
        EXPECT_TRUE(probes[i].identified);
        EXPECT_EQ(probes[i].identification.modelo, "KS-2000 SIM");
        EXPECT_EQ(probes[i].identification.sb, "010203");
    }
    EXPECT_EQ(first.Counts().syns, 1u);
    EXPECT_EQ(first.Counts().frames, 3u);
    EXPECT_EQ(probes[1].outcome, PortProbe::kNoPrinter);
    EXPECT_EQ(probes[1].why, "ECF n\xE3o respondeu");
    EXPECT_EQ(silent.Receive(2, std::chrono::milliseconds(100)), Bytes {0x16});
    // A printer that stays busy is given up, not waited for.
    EXPECT_EQ(probes[3].outcome, PortProbe::kPrinter);
    EXPECT_FALSE(probes[3].identified);

    // The links logged at the same time, each line whole.
    std::ifstream in(std::filesystem::path(log.Folder()) / "AppLog.log");
    // "hh:mm:ss.mmm Tag...\r": the stamp's shape, a tag in capitals, printable to the CR.
    const auto whole = [](const std::string& line) {
        const std::string shape = "00:00:00.000 A";
        if (line.size() < shape.size() + 1 || line.back() != '\r')
            return false;
        for (size_t i = 0; i < shape.size(); ++i) {
            const bool digit = std::isdigit(static_cast<unsigned char>(line[i])) != 0;
            if (shape[i] == '0'   ? !digit
                : shape[i] == 'A' ? !std::isupper(static_cast<unsigned char>(line[i]))
                                  : line[i] != shape[i])
                return false;
        }
        return std::all_of(line.begin(), line.end() - 1, [](char c) { return c >= ' ' && c <= '~'; });
    };
    int lines = 0;
    for (std::string line; std::getline(in, line); ++lines)
        EXPECT_TRUE(whole(line)) << line;
    EXPECT_GT(lines, 100);
}

TEST(PrinterFinder, CancelEndsTheWaitsAtOnceAServersConnectToo)
{
    PtyPair silent;
    const StalledServer server;  // a connect to it waits for its bound of 5 s
    PrinterFinder finder;        // the real answer wait of 6 s
    const auto start = std::chrono::steady_clock::now();
    finder.Start({DeviceAddress(silent.Path()), ReadPortName("socket://" + server.Where())});
    EXPECT_FALSE(finder.WaitDone(std::chrono::milliseconds(300)));
    finder.Cancel();
    EXPECT_TRUE(finder.WaitDone(std::chrono::seconds(3)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_TRUE(finder.Cancelled());
}

}  // namespace
