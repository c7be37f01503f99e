// The command cycle without a window: field splitting, and the cycle's texts and results
// against the simulated printer with a display that records what it was told.
#include "serial/system.h"
#include "session/command_cycle.h"
#include "session/identification.h"
#include "session/port_texts.h"
#include "sim/printer_sim.h"
#include "tests/support/link_test_support.h"
#include "tests/support/recording_display.h"
#include "vocab/error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <grp.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(LeParam, SplitsAtEveryBar)
{
    const struct {
        const char* text;
        std::vector<std::string> fields;
    } cases[] = {
        {"A|B|", {"A", "B"}}, {"A|B|C", {"A", "B"}}, {"|X|", {"", "X"}}, {"", {}}, {"ABC", {}}, {"||", {"", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CommandCycle::LeParam(c.text), c.fields);
    }
}

class CommandCycleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Start());
        link = std::make_unique<EcfLink>(ReadPortName(sim.PortName()), FastPacing());
        ASSERT_TRUE(link->online());
        cycle.SetLink(link.get());
    }
    void Prepare()
    {
        link->SetCmd(20, 0);
        link->AddParam(0);
    }

    PrinterSim sim;
    std::unique_ptr<EcfLink> link;
    RecordingDisplay display;
    CommandCycle cycle {display};
};

TEST_F(CommandCycleTest, ResultsAndStatusTextsOfFailedCommands)
{
    struct Case {
        const char* name;
        SimPlan plan;
        int result;
        std::string status;
        CommandOutcome::Kind outcome;
        bool inResponse;
    };
    SimPlan headerError;
    headerError.headerError = {5, 1};
    const Case cases[] = {
        {"done", SimPlan(), CommandCycle::kDone, "untouched", CommandOutcome::kDone, false},
        {"refused", SimPlan::Answer(SimAnswer::Refuse, {2, 1}), CommandCycle::kFailed, ErrorText(2, 1),
         CommandOutcome::kRefused, false},
        {"garbage", SimPlan::Answer(SimAnswer::Garbage), CommandCycle::kFailed, ErrorText(255, 1),
         CommandOutcome::kInvalidAnswer, false},
        {"silent", SimPlan::Answer(SimAnswer::Silent), CommandCycle::kFailed, ErrorText(255, 2),
         CommandOutcome::kNoAnswer, false},
        {"header error", headerError, CommandCycle::kFailed, ErrorText(5, 1), CommandOutcome::kRefused, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        display.status = "untouched";
        sim.QueuePlan(c.plan);
        Prepare();
        EXPECT_EQ(cycle.ExecCmd(), c.result);
        EXPECT_EQ(display.status, c.status);
        EXPECT_EQ(display.codes.back(), 0);
        // One outcome, with the text that the status line was given.
        const CommandOutcome& ended = cycle.Outcome();
        EXPECT_EQ(ended.kind, c.outcome);
        EXPECT_EQ(ended.inResponse, c.inResponse);
        EXPECT_EQ(ended.text, c.outcome == CommandOutcome::kDone ? "" : c.status);
    }
}

TEST_F(CommandCycleTest, BusyAnswersShowTheCancelLinkEachTime)
{
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}), 3);
    Prepare();
    EXPECT_EQ(cycle.ExecCmd(), CommandCycle::kDone);
    EXPECT_EQ(display.cancelShown, 3);
    // The pacing is the cycle's, spent through the display's wait: half a second in steps after
    // each busy answer, 50 ms after the block.
    std::vector<long> waits(3 * 10, 50);
    waits.push_back(50);
    EXPECT_EQ(display.waits, waits);
}

TEST_F(CommandCycleTest, APrinterBusyPastTheDeadlineIsGivenUp)
{
    sim.SetDefaultPlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}));
    cycle.SetBusyDeadline(std::chrono::steady_clock::now());
    Prepare();
    EXPECT_NE(cycle.ExecCmd(), CommandCycle::kDone);
    EXPECT_EQ(cycle.Outcome().kind, CommandOutcome::kBusyGivenUp);
    EXPECT_EQ(display.cancelShown, 1);
}

TEST_F(CommandCycleTest, MissingFieldRaisesAndStillClosesThePort)
{
    sim.QueuePlan(SimPlan::WithBlocks({"no bar"}));
    Prepare();
    EXPECT_THROW(cycle.RetResp(0), std::out_of_range);
    // Closed: another owner can take the port now.
    EXPECT_TRUE(ProbeSerialPort(sim.SlavePath()));
}

TEST_F(CommandCycleTest, LongResponseIsCutAtTheBufferAndTheRestReadOff)
{
    LogCapture log;
    const std::string filler(5 * 1024, 'w');
    sim.QueuePlan(SimPlan::WithBlocks({"first|" + filler, filler + "|"}));
    Prepare();
    EXPECT_EQ(cycle.RetResp(0), "first");
    EXPECT_EQ(CountTag(log.Tags(), "RecebeBuffer CUT"), 1);
    EXPECT_EQ(CountTag(log.Tags(), "RecebeBuffer FIM"), 1);

    sim.QueuePlan(SimPlan::WithBlocks({"next|"}));
    Prepare();
    EXPECT_EQ(cycle.RetResp(0), "next");
}

TEST_F(CommandCycleTest, IdentificationReadsTheThreeItems)
{
    Identification identification;
    EXPECT_TRUE(CarregaConfig(cycle, display, identification));
    const SimIdentity expected;
    EXPECT_EQ(identification.modelo, expected.model);
    EXPECT_EQ(identification.nsMf, expected.ns);
    EXPECT_EQ(identification.sb, expected.sb);
    EXPECT_EQ(display.identification.sb, expected.sb);
    EXPECT_EQ(display.status, "untouched");
}

TEST_F(CommandCycleTest, IdentificationOfAPortThatDoesNotReopenFails)
{
    link->End();
    const PortOpenResult holder = OpenSerialPort(DeviceAddress(sim.SlavePath()), "115200,n,8,1", 64);
    ASSERT_TRUE(holder.port);
    EXPECT_EQ(cycle.RetResp(0), "4");
    EXPECT_EQ(cycle.Outcome().kind, CommandOutcome::kNotOpened);
    Identification identification;
    EXPECT_FALSE(CarregaConfig(cycle, display, identification));
    EXPECT_EQ(identification.modelo, "");
    EXPECT_EQ(display.status, "Erro ao ler ECF");
}

TEST_F(CommandCycleTest, IdentificationAfterALineLostBetweenTwoCommandsSaysWhyThePortDidNotReopen)
{
    // The line goes while the port is open and no command runs: only the command's end sees it.
    sim.DropLine();
    EXPECT_TRUE(link->LineLost());
    link->End();
    Identification identification;
    EXPECT_FALSE(CarregaConfig(cycle, display, identification));
    EXPECT_EQ(link->OpenFailure().state, PortState::kGone);
    EXPECT_EQ(display.statuses, (std::vector<std::string> {OpenFailureText(link->OpenFailure()), "Erro ao ler ECF"}));
}

TEST(CommandCycleStart, PortRefusedForLackOfPermissionNamesTheDevicesGroup)
{
    // A stand-in for the device: the refusal is the opener's, the group and mode the file's.
    const std::string path = "/tmp/kestro-refused-" + std::to_string(::getpid());
    std::ofstream(path).put('x');
    const group* own = ::getgrgid(::getegid());
    ASSERT_NE(own, nullptr);
    const std::string prefix = "Erro ao abrir Porta Serial! (" + std::to_string(EACCES) + ") Sem permiss\xE3o: ";
    const std::pair<mode_t, std::string> rows[] = {
        {0660, prefix + "entre no grupo " + own->gr_name + "."},
        {0600, prefix + "nem o grupo " + own->gr_name + " pode abrir a porta; pe\347a ao administrador."},
    };
    for (const auto& [mode, text] : rows) {
        ::chmod(path.c_str(), mode);
        EcfLink link(ReadPortName(path), FastPacing(),
                     [](const PortAddress& device, const std::string&, int, HolderCheck) {
                         return PortOpenResult {nullptr, ExplainOpenFailure(device.path, EACCES)};
                     });
        RecordingDisplay display;
        CommandCycle cycle(display);
        cycle.SetLink(&link);
        EXPECT_EQ(cycle.ExecCmd(), CommandCycle::kNotStarted);
        EXPECT_EQ(display.status, text);
    }
    ::unlink(path.c_str());
}

}  // namespace
