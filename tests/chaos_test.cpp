// The command cycle against a hostile printer on a pseudo-terminal: random misbehaviour, a line
// dropped mid-command, a printer gone before the command starts, a block that stops mid-way.
#include "session/command_cycle.h"
#include "sim/printer_sim.h"
#include "tests/support/link_test_support.h"
#include "tests/support/pty_pair.h"
#include "tests/support/recording_display.h"
#include "vocab/error_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

using namespace std::chrono_literals;

namespace {

class ChaosTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Start());
        pacing = SilencePacing();  // silent and truncated answers are most of what it meets
        // Every wait of the link is counted, so that the waits can be held to their limits.
        pacing.wait = [this](std::chrono::milliseconds step) {
            ++waits;
            std::this_thread::sleep_for(step);
        };
        link = std::make_unique<EcfLink>(ReadPortName(sim.PortName()), pacing);
        ASSERT_TRUE(link->online());
        cycle.SetLink(link.get());
        display.cycle = &cycle;
    }

    void PrepareXReading()
    {
        link->SetCmd(20, 0);
        link->AddParam(0);
    }
    void PrepareModelQuery()
    {
        link->SetCmd(26, 0);
        link->AddParam(15);
        link->AddParam(2);
    }

    // Runs one prepared command from a clean record; returns ExecCmd's result and checks that
    // the link waited no longer than its polls allow for the passes the command made.
    int Exec()
    {
        display.Clear();
        waits = 0;
        const uint64_t enqsBefore = sim.Counts().enqs;
        const int result = cycle.ExecCmd();
        const int sendPasses = display.Count(1);
        const int enqs = static_cast<int>(sim.Counts().enqs - enqsBefore);
        const int morePasses = display.Count(6);
        const int headerCalls = display.Count(2) - morePasses;
        // A send pass: the SYN answer and the acknowledgement, each at most answerPolls. A call
        // that reads a header: the ENQ's wait and a few settling steps. A call that continues a
        // block: at most one poll.
        const int limit =
            sendPasses * 2 * pacing.answerPolls + enqs * pacing.headerPolls + headerCalls * 20 + morePasses;
        EXPECT_LE(waits, limit) << "result " << result;
        EXPECT_EQ(display.codes.empty() ? -1 : display.codes.back(), 0)
            << "the display is idle after every command";
        return result;
    }

    // Exactly the status text that the result calls for.
    void ExpectStatusOf(int result)
    {
        switch (result) {
        case CommandCycle::kDone:
            EXPECT_TRUE(display.statuses.empty());
            break;
        case CommandCycle::kFailed:
            ASSERT_EQ(display.statuses.size(), 1u);
            if (display.statuses[0] != "Erro no envio do Comando") {
                EXPECT_NE(link->ErrClass(), 0);
                EXPECT_FALSE(link->ErrClass() == 255 && link->ErrDetail() == 0);
                EXPECT_EQ(display.statuses[0], ErrorText(link->ErrClass(), link->ErrDetail()));
            }
            break;
        case CommandCycle::kLate:
            ASSERT_EQ(display.statuses.size(), 1u);
            EXPECT_EQ(link->ErrClass(), 255);
            EXPECT_EQ(link->ErrDetail(), 2);
            EXPECT_EQ(display.statuses[0], ErrorText(255, 2));
            break;
        case CommandCycle::kRequestFailed:
            EXPECT_EQ(display.statuses, std::vector<std::string> {"Erro ao solicitar Resposta"});
            break;
        default:
            ADD_FAILURE() << "ExecCmd gave " << result;
        }
    }

    PrinterSim sim;
    LinkPacing pacing;
    int waits = 0;
    std::unique_ptr<EcfLink> link;
    RecordingDisplay display;
    CommandCycle cycle {display};
};

TEST_F(ChaosTest, RandomMisbehaviourEndsEveryCommandWithItsResultAndText)
{
    for (uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        sim.SetRandom(seed);
        std::vector<int> seen(6);
        for (int command = 0; command < 40; ++command) {
            SCOPED_TRACE(command);
            if (command % 2 == 0)
                PrepareXReading();
            else
                PrepareModelQuery();
            const int result = Exec();
            ASSERT_GE(result, 0);
            ASSERT_LT(result, 6);
            ++seen[static_cast<size_t>(result)];
            ExpectStatusOf(result);
        }
        // The printer really misbehaved in every way the cycle tells apart.
        EXPECT_GT(seen[CommandCycle::kDone], 0);
        EXPECT_GT(seen[CommandCycle::kFailed], 0);
        EXPECT_GT(seen[CommandCycle::kLate], 0);

        // And the link is still good for a sound printer, once the last misbehaviour's late
        // bytes have been read and thrown away (each failed command empties the receive buffer).
        sim.ClearPlans();
        int result = CommandCycle::kFailed;
        for (int attempt = 0; attempt < 3 && result != CommandCycle::kDone; ++attempt) {
            PrepareModelQuery();
            result = Exec();
        }
        EXPECT_EQ(result, CommandCycle::kDone);
    }
}

TEST_F(ChaosTest, LineDroppedDuringABusyWaitFailsTheNextSend)
{
    LogCapture log;
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {0, 1}), 5);
    int busyShown = 0;
    display.onShow = [&](int code) {
        if (code == 4 && ++busyShown == 2)
            sim.DropLine();
    };
    PrepareXReading();
    EXPECT_EQ(Exec(), CommandCycle::kFailed);
    EXPECT_EQ(display.statuses, std::vector<std::string> {"Porta serial desconectada"});
    const std::vector<std::string> tags = log.Tags();
    EXPECT_EQ(CountTag(tags, "SendCmd WAK"), 2);
    EXPECT_EQ(CountTag(tags, "SendCmd LNE"), 1);
    EXPECT_EQ(CountTag(tags, "ExecCmd Fim"), 1);
}

TEST_F(ChaosTest, LineDroppedInsideASplitBlockEndsAsALateResponse)
{
    LogCapture log;
    SimPlan plan = SimPlan::WithBlocks({std::string(3000, 'k')});
    plan.pieces = 4;
    plan.pieceDelayMs = 200;  // far longer than a settling step, so the first piece comes alone
    sim.QueuePlan(plan);
    display.onShow = [&](int code) {
        if (code == 6 && !sim.LineDropped())
            sim.DropLine();
    };
    PrepareXReading();
    EXPECT_EQ(Exec(), CommandCycle::kLate);
    EXPECT_EQ(display.statuses, std::vector<std::string> {"Porta serial desconectada"});
    const std::vector<std::string> tags = log.Tags();
    EXPECT_GE(CountTag(tags, "RecebeBuffer MOR"), 1);
    EXPECT_EQ(CountTag(tags, "RecebeBuffer LEN"), 1);
    EXPECT_EQ(CountTag(tags, "ExecCmd Fim"), 1);
}

// A block that stops mid-way must not keep the cycle asking for its rest forever.
TEST_F(ChaosTest, BlockThatStopsMidWayIsALateResponseAndTheLinkGoesOn)
{
    for (int cut : {0, 3}) {
        SCOPED_TRACE(cut);
        LogCapture log;
        SimPlan truncated;
        truncated.truncateAt = cut;
        sim.QueuePlan(truncated);
        PrepareModelQuery();
        EXPECT_EQ(Exec(), CommandCycle::kLate);
        ExpectStatusOf(CommandCycle::kLate);
        EXPECT_EQ(CountTag(log.Tags(), "RecebeBuffer LEN"), 1);
        // The partial block is gone with the abandoned response: the next command reads its own.
        display.Clear();
        link->SetCmd(26, 0);
        link->AddParam(15);
        link->AddParam(2);
        EXPECT_EQ(cycle.RetResp(0), SimIdentity().model);
    }
}

TEST_F(ChaosTest, PrinterGoneWhileThePortIsStillOpenFailsTheSend)
{
    // The link opens its port when it is built, so the first command's Start finds it open.
    sim.DropLine();
    PrepareXReading();
    EXPECT_EQ(Exec(), CommandCycle::kFailed);
    EXPECT_EQ(display.statuses, std::vector<std::string> {"Porta serial desconectada"});
}

TEST_F(ChaosTest, PrinterGoneBeforeStartCannotOpenThePort)
{
    PrepareXReading();
    ASSERT_EQ(Exec(), CommandCycle::kDone);  // ends with the port closed
    sim.DropLine();

    LogCapture log;
    display.Clear();
    PrepareXReading();
    EXPECT_EQ(cycle.ExecCmd(), CommandCycle::kNotStarted);
    ASSERT_EQ(display.statuses.size(), 1u);
    EXPECT_NE(link->LastError(), 0);
    EXPECT_EQ(display.statuses[0], "Erro ao abrir Porta Serial! (" + std::to_string(link->LastError()) +
                                       ") Porta n\xE3o encontrada: verifique o cabo e o adaptador.");
    const std::vector<std::string> tags = log.Tags();
    EXPECT_EQ(CountTag(tags, "SendCmd ini"), 0);
    EXPECT_EQ(CountTag(tags, "ExecCmd Fim"), 0);

    display.Clear();
    PrepareModelQuery();
    EXPECT_EQ(cycle.RetResp(0), "4");
}

// Bytes that no request asked for (here an unsolicited refusal right after the acknowledgement)
// must not be taken for the start of the block's header: read so, every later block is read out
// of step with its header, and the response need never end.
TEST(ChaosScripted, StrayBytesBeforeABlockAreDroppedNotReadAsItsHeader)
{
    PtyPair line;
    EcfLink link(ReadPortName(line.Path().substr(5)), FastPacing());
    ASSERT_TRUE(link.online());
    RecordingDisplay display;
    CommandCycle cycle(display);
    cycle.SetLink(&link);
    display.cycle = &cycle;

    link.SetCmd(26, 0);
    link.AddParam(15);
    link.AddParam(2);
    ASSERT_TRUE(cycle.StartCmd());
    // After the start, which drops whatever came before it as an earlier command's leftovers.
    line.Send({0x16, 0x00, 0x06, 0x15, 0x03, 0x00});  // SYN answer, ACK, three stray bytes
    ASSERT_TRUE(cycle.SendCmd());
    ASSERT_TRUE(WaitFor([&] { return link.Available() == 3; }));
    const std::string model = "MODEL|";
    const Bytes header {0x02, 0x00, 0x1A, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, static_cast<uint8_t>(model.size()),
                        0x00};
    const Bytes block = Concat({header, Bytes(model.begin(), model.end()), {0x5A}});
    std::thread printer([&] {
        if (line.Receive(1 + 12 + 2, 10s).size() == 15)  // SYN, the frame, the ENQ
            line.Send(block);
    });
    std::vector<uint8_t> response(CommandCycle::kResponseSize);
    EXPECT_EQ(cycle.RecebeBuffer(response.data(), response.size()), 0);
    printer.join();
    cycle.EndCmd();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(response.data())), model);
}

// A line that never goes quiet (noise, a wrong device) gets the header's polls and no more:
// then the response is given up as unanswered, with the line purged.
TEST(ChaosScripted, NoiseOnTheLineCannotHoldTheHeaderWait)
{
    PtyPair line;
    int waits = 0;
    EcfLink* noisy = nullptr;
    LinkPacing pacing = SilencePacing();  // the header's wait ends unanswered
    pacing.wait = [&](std::chrono::milliseconds step) {
        ++waits;
        if (noisy == nullptr || waits > 2 * pacing.headerPolls)  // ends a runaway wait of old
            return std::this_thread::sleep_for(step);
        const int before = noisy->Available();
        line.Send({0x00});
        WaitFor([&] { return noisy->Available() > before; });
    };
    EcfLink link(ReadPortName(line.Path().substr(5)), pacing);
    line.Send({0x16, 0x00, 0x06});  // SYN answer and ACK
    link.SetCmd(20, 0);
    link.AddParam(0);
    ASSERT_EQ(link.SendCmd(), EcfLink::kAck);
    waits = 0;
    noisy = &link;
    std::vector<uint8_t> block(EcfLink::kBufferSize);
    EXPECT_EQ(link.GetResp(block.data()), EcfLink::kRespShort);
    EXPECT_EQ(link.ErrClass(), 255);
    EXPECT_EQ(link.ErrDetail(), 2);
    EXPECT_LE(waits, pacing.headerPolls);
}

// A printer may start the block unasked and pause inside its header; the pause must not turn
// the block's start into strays (which the request would then follow with nothing).
TEST(ChaosScripted, BlockBegunUnaskedMayPauseInItsHeader)
{
    PtyPair line;
    LinkPacing pacing;  // the real 50 ms step: the pause is longer than one step
    pacing.openWait = std::chrono::milliseconds(0);
    EcfLink link(ReadPortName(line.Path().substr(5)), pacing);
    const std::string model = "MODEL|";
    const Bytes header {0x02, 0x00, 0x1A, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, static_cast<uint8_t>(model.size()),
                        0x00};
    const Bytes block = Concat({header, Bytes(model.begin(), model.end()), {0x5A}});
    std::thread printer([&] {
        if (line.Receive(1, 10s).size() != 1)  // SYN
            return;
        line.Send({0x16, 0x00});
        if (line.Receive(12, 10s).size() != 12)  // the frame
            return;
        line.Send(Concat({{0x06}, Bytes(block.begin(), block.begin() + 3)}));
        std::this_thread::sleep_for(120ms);
        line.Send(Bytes(block.begin() + 3, block.end()));
    });
    link.SetCmd(26, 0);
    link.AddParam(15);
    link.AddParam(2);
    ASSERT_EQ(link.SendCmd(), EcfLink::kAck);
    std::vector<uint8_t> data(EcfLink::kBufferSize);
    EXPECT_EQ(link.GetResp(data.data()), static_cast<int>(model.size()));
    printer.join();
    EXPECT_EQ(std::string(data.begin(), data.begin() + model.size()), model);
    EXPECT_TRUE(line.Receive(1, 100ms).empty());  // no request was needed
}

}  // namespace
