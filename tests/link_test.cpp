// The printer link against the simulated printer on a real pseudo-terminal: frames byte for
// byte, sequence numbers, every answer of the printer, response blocks and the log's tags.
#include "link/ecf_link.h"
#include "sim/printer_sim.h"
#include "tests/support/link_test_support.h"
#include "tests/support/port_holder.h"
#include "tests/support/pty_pair.h"
#include "tests/support/test_seams.h"
#include "vocab/error_text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;

namespace {

const Bytes kXReadingAt5 {0x01, 0x05, 0x14, 0x00, 0x02, 0x00, 0x30, 0x7C, 0xC7};

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Start());
        link = std::make_unique<EcfLink>(ReadPortName(sim.PortName()), FastPacing());
        ASSERT_TRUE(link->online());
    }

    // Sends the prepared command and returns SendCmd's result.
    int Send(uint8_t command, std::initializer_list<int32_t> params)
    {
        link->SetCmd(command, 0);
        for (int32_t value : params)
            link->AddParam(value);
        return link->SendCmd();
    }

    // Collects the whole response, or stops at the first error; returns the last result.
    int ReadResponse(std::string& data)
    {
        for (;;) {
            const int result = link->GetResp(block.data());
            if (result >= 0)
                data.append(reinterpret_cast<const char*>(block.data()), static_cast<size_t>(result));
            else if (result != EcfLink::kRespMore && result != EcfLink::kRespBusy)
                return result;
        }
    }

    PrinterSim sim;
    std::unique_ptr<EcfLink> link;
    std::vector<uint8_t> block = std::vector<uint8_t>(65536);
};

TEST_F(LinkTest, ExampleFramesAreExactOnTheWire)
{
    struct Case {
        uint8_t sequence;
        uint8_t command;
        std::vector<int32_t> params;
        Bytes frame;
    } cases[] = {
        {5, 20, {0}, kXReadingAt5},
        {0, 26, {15, 2}, {0x01, 0x00, 0x1A, 0x00, 0x05, 0x00, 0x31, 0x35, 0x7C, 0x32, 0x7C, 0xAF}},
        {255, 26, {15, 14}, {0x01, 0xFF, 0x1A, 0x00, 0x06, 0x00, 0x31, 0x35, 0x7C, 0x31, 0x34, 0x7C, 0xE2}},
        {3, 20, {}, {0x01, 0x03, 0x14, 0x00, 0x00, 0x00, 0x17}},
    };
    link.reset();
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.sequence));
        sim.SetNextSequence(c.sequence);
        EcfLink fresh(ReadPortName(sim.PortName()), FastPacing());
        fresh.SetCmd(c.command, 0);
        for (int32_t value : c.params)
            fresh.AddParam(value);
        sim.ClearReceived();
        fresh.SendCmd();
        EXPECT_EQ(sim.Received(), Concat({{0x16}, c.frame}));
    }
}

TEST_F(LinkTest, FirstCommandExchangeOfALink)
{
    sim.SetNextSequence(5);
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    EXPECT_EQ(link->GetResp(block.data()), 0);
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespEnd);
    EXPECT_EQ(sim.Received(), Concat({{0x16}, kXReadingAt5, {0x05, 0x00}}));
    EXPECT_EQ(link->ErrClass(), 255);
    EXPECT_EQ(link->ErrDetail(), 0);
}

TEST_F(LinkTest, FirstCommandLogsEveryStepInOrder)
{
    LogCapture log;
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    ASSERT_EQ(link->GetResp(block.data()), 0);
    ASSERT_EQ(link->GetResp(block.data()), EcfLink::kRespEnd);
    const std::vector<std::string> write {"WriteSerial", "WriteSerial Ok", "CmdLog", "CmdLog Ok"};
    const std::vector<std::string> read {"ReadSerial", "ReadSerial Ok", "CmdLog", "CmdLog Ok"};
    std::vector<std::string> expected {"SetCmd", "AddParam", "SendCmd", "GetSync"};
    for (const auto* step : {&write, &read, &read, &write, &read})
        expected.insert(expected.end(), step->begin(), step->end());
    expected.push_back("GetResp");
    for (const auto* step : {&write, &read, &read, &read})
        expected.insert(expected.end(), step->begin(), step->end());
    expected.push_back("GetResp");
    EXPECT_EQ(log.Tags(), expected);
}

TEST_F(LinkTest, IdentificationAnswersTheValue)
{
    ASSERT_EQ(Send(26, {15, 2}), EcfLink::kAck);
    std::string data;
    EXPECT_EQ(ReadResponse(data), EcfLink::kRespEnd);
    EXPECT_EQ(data, SimIdentity().model + "|");
}

TEST_F(LinkTest, SynchronisesOnceAndWrapsAfter255)
{
    sim.SetNextSequence(254);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    const Bytes wire = sim.Received();
    EXPECT_EQ(std::count(wire.begin(), wire.end(), 0x16), 1);
    // The SYN, then frames numbered 254, 255 and 0.
    EXPECT_EQ(wire[2], 254);
    EXPECT_EQ(wire[1 + 9 + 1], 255);
    EXPECT_EQ(wire[1 + 18 + 1], 0);
}

TEST_F(LinkTest, SequenceSurvivesEndAndStart)
{
    sim.SetNextSequence(7);
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    link->End();
    ASSERT_TRUE(link->Start());
    sim.ClearReceived();
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    const Bytes wire = sim.Received();
    ASSERT_FALSE(wire.empty());
    EXPECT_EQ(wire[0], 0x01);
    EXPECT_EQ(wire[1], 8);
}

TEST_F(LinkTest, BusyAnswerToSynIsRetriedWithAnotherSyn)
{
    sim.QueueSynReply({SimAnswer::Busy, {1, 2}});
    EXPECT_EQ(Send(20, {0}), EcfLink::kBusy);
    EXPECT_EQ(link->ErrClass(), 1);
    EXPECT_EQ(link->ErrDetail(), 2);
    sim.ClearReceived();
    EXPECT_EQ(Send(20, {0}), EcfLink::kAck);
    EXPECT_EQ(sim.Received().at(0), 0x16);
}

TEST_F(LinkTest, EveryAnswerToAFrameHasItsResultAndPair)
{
    struct Case {
        const char* name;
        SimAnswer answer;
        SimPair pair;
        int result;
        int errClass;
        int errDetail;
    } cases[] = {
        {"ack", SimAnswer::Normal, {}, EcfLink::kAck, 255, 0},
        {"busy", SimAnswer::Busy, {4, 2}, EcfLink::kBusy, 4, 2},
        {"refused", SimAnswer::Refuse, {2, 1}, EcfLink::kRefused, 2, 1},
        {"garbage", SimAnswer::Garbage, {}, EcfLink::kBadAnswer, 255, 1},
        {"silent", SimAnswer::Silent, {}, EcfLink::kNoAnswer, 255, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.QueuePlan(SimPlan::Answer(c.answer, c.pair));
        EXPECT_EQ(Send(20, {0}), c.result);
        EXPECT_EQ(link->ErrClass(), c.errClass);
        EXPECT_EQ(link->ErrDetail(), c.errDetail);
    }
}

TEST_F(LinkTest, BusyFramesAreSentAgainWithTheNextNumber)
{
    sim.SetNextSequence(9);
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}), 3);
    int busy = 0;
    int result;
    while ((result = Send(20, {0})) == EcfLink::kBusy)
        ++busy;
    EXPECT_EQ(result, EcfLink::kAck);
    EXPECT_EQ(busy, 3);
    EXPECT_EQ(sim.Counts().frames, 4u);
    EXPECT_EQ(sim.Counts().naks, 0u);
}

TEST_F(LinkTest, NegativeParameterIsWrittenWithItsSign)
{
    sim.SetNextSequence(0);
    Send(20, {-5});
    const Bytes wire = sim.Received();
    ASSERT_GE(wire.size(), 11u);
    EXPECT_EQ(Bytes(wire.begin() + 5, wire.begin() + 10), (Bytes {0x03, 0x00, 0x2D, 0x35, 0x7C}));
}

TEST_F(LinkTest, GarbageEmptiesTheReceiveBuffer)
{
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Garbage));
    EXPECT_EQ(Send(20, {0}), EcfLink::kBadAnswer);
    // Nothing stale is left behind: the next command reads its own ACK.
    EXPECT_EQ(Send(20, {0}), EcfLink::kAck);
    std::string data;
    EXPECT_EQ(ReadResponse(data), EcfLink::kRespEnd);
}

TEST_F(LinkTest, TwoBlockResponseAsksForEachBlockThenEnds)
{
    sim.SetNextSequence(0);
    sim.QueuePlan(SimPlan::WithBlocks({"A|", "B|"}));
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    sim.ClearReceived();
    EXPECT_EQ(link->GetResp(block.data()), 2);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 2), "A|");
    EXPECT_EQ(link->GetResp(block.data()), 2);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 2), "B|");
    EXPECT_EQ(sim.Received(), (Bytes {0x05, 0x00, 0x05, 0x01}));
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespEnd);
    EXPECT_EQ(sim.Received().size(), 4u);
}

TEST_F(LinkTest, EmptyBlockDeliversNothing)
{
    sim.QueuePlan(SimPlan::WithBlocks({""}));
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    block[0] = 0xEE;
    EXPECT_EQ(link->GetResp(block.data()), 0);
    EXPECT_EQ(block[0], 0xEE);
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespEnd);
}

TEST_F(LinkTest, BlockAlreadyWaitingIsReadWithoutEnq)
{
    SimPlan plan = SimPlan::WithBlocks({"EAGER|"});
    plan.eager = true;
    sim.QueuePlan(plan);
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    ASSERT_TRUE(WaitFor([&] { return link->Available() == 11 + 6 + 1; }));
    sim.ClearReceived();
    std::string data;
    EXPECT_EQ(ReadResponse(data), EcfLink::kRespEnd);
    EXPECT_EQ(data, "EAGER|");
    EXPECT_TRUE(sim.Received().empty());
}

TEST_F(LinkTest, HeaderErrorGivesThePrintersPairAndText)
{
    SimPlan plan;
    plan.headerError = {1, 2};
    sim.QueuePlan(plan);
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespError);
    EXPECT_EQ(link->ErrClass(), 1);
    EXPECT_EQ(link->ErrDetail(), 2);
    EXPECT_EQ(link->GetError(), ErrorText(1, 2));
}

TEST_F(LinkTest, BusyEnqIsAskedAgainForTheSameBlock)
{
    SimPlan plan = SimPlan::WithBlocks({"X|"});
    plan.enqBusy = 1;
    plan.enqBusyPair = {2, 5};
    sim.QueuePlan(plan);
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    sim.ClearReceived();
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespBusy);
    EXPECT_EQ(link->ErrClass(), 2);
    EXPECT_EQ(link->ErrDetail(), 5);
    EXPECT_EQ(link->GetResp(block.data()), 2);
    EXPECT_EQ(sim.Received(), (Bytes {0x05, 0x00, 0x05, 0x00}));
}

TEST_F(LinkTest, SplitBlockArrivesWhole)
{
    const std::string payload(3000, 'z');
    SimPlan plan = SimPlan::WithBlocks({payload});
    plan.pieces = 4;
    plan.pieceDelayMs = 30;
    sim.QueuePlan(plan);
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    std::string data;
    EXPECT_EQ(ReadResponse(data), EcfLink::kRespEnd);
    EXPECT_EQ(data, payload);
}

TEST_F(LinkTest, LargestBlockFitsTheBuffers)
{
    const std::string payload(65535, 'q');
    sim.QueuePlan(SimPlan::WithBlocks({payload}));
    ASSERT_EQ(Send(20, {0}), EcfLink::kAck);
    std::string data;
    EXPECT_EQ(ReadResponse(data), EcfLink::kRespEnd);
    EXPECT_EQ(data.size(), payload.size());
}

TEST_F(LinkTest, DroppedLineFailsTheWrite)
{
    sim.DropLine();
    EXPECT_EQ(Send(20, {0}), EcfLink::kNoAnswer);
    EXPECT_EQ(link->ErrClass(), 255);
    EXPECT_EQ(link->ErrDetail(), 3);
}

TEST_F(LinkTest, StartOnAnOpenPortDoesNotReopen)
{
    link.reset();
    int opens = 0;
    EcfLink counted(ReadPortName(sim.PortName()), FastPacing(),
                    [&](const PortAddress& port, const std::string& mode, int size, HolderCheck check) {
                        ++opens;
                        return OpenSerialPort(port, mode, size, check);
                    });
    ASSERT_TRUE(counted.online());
    EXPECT_TRUE(counted.Start());
    EXPECT_EQ(opens, 1);
    counted.End();
    EXPECT_TRUE(counted.Start());
    EXPECT_EQ(opens, 2);
}

TEST_F(LinkTest, OnlyAnOpenByAnotherProgramCostsTheLookForItsHolder)
{
    link.reset();
    std::vector<HolderCheck> checks;
    EcfLink watched(ReadPortName(sim.PortName()), FastPacing(),
                    [&](const PortAddress& port, const std::string& mode, int size, HolderCheck check) {
                        checks.push_back(check);
                        return OpenSerialPort(port, mode, size, check);
                    });
    watched.End();
    ASSERT_TRUE(watched.Start());
    // Opened without a lock during a command: past the exclusive mark only as root.
    PortHolder holder(sim.SlavePath(), "python3", false);
    watched.End();
    EXPECT_EQ(watched.Start(), !holder.held);
    const HolderCheck last = holder.held ? HolderCheck::kLook : HolderCheck::kCheap;
    EXPECT_EQ(checks, (std::vector<HolderCheck> {HolderCheck::kLook, HolderCheck::kCheap, last}));
    EXPECT_EQ(watched.OpenFailure().holder, holder.held ? "python3" : "");
}

// A far end scripted byte by byte, for the cases that need exact control of what has arrived.
class ScriptedLinkTest : public ::testing::Test {
protected:
    void SetUp() override { OpenLink(FastPacing()); }
    void OpenLink(const LinkPacing& pacing)
    {
        link.reset();
        link = std::make_unique<EcfLink>(ReadPortName(line.Path().substr(5)), pacing);
        ASSERT_TRUE(link->online());
    }
    PtyPair line;
    std::unique_ptr<EcfLink> link;
    std::vector<uint8_t> block = std::vector<uint8_t>(65536);
};

TEST_F(ScriptedLinkTest, SynWithoutItsSequenceByteIsAnIncompleteAnswer)
{
    OpenLink(SilencePacing());
    line.Send({0x16});
    link->SetCmd(20, 0);
    EXPECT_EQ(link->SendCmd(), EcfLink::kNoAnswer);
    EXPECT_EQ(link->ErrClass(), 255);
    EXPECT_EQ(link->ErrDetail(), 2);
    // Not synchronised: the next command asks again.
    line.Receive(1, 1s);
    line.Send({0x16, 0x04, 0x06});
    EXPECT_EQ(link->SendCmd(), EcfLink::kAck);
    EXPECT_EQ(line.Receive(8, 5s), (Bytes {0x16, 0x01, 0x04, 0x14, 0x00, 0x00, 0x00, 0x18}));
}

TEST_F(ScriptedLinkTest, StatusPairSplitFromItsNakIsAwaited)
{
    line.Send({0x16, 0x00, 0x15});
    link->SetCmd(20, 0);
    // The pair follows a moment later, as a slow adapter may deliver it.
    std::thread late([&] {
        line.Receive(8, 5s);
        std::this_thread::sleep_for(20ms);
        line.Send({0x02, 0x04});
    });
    EXPECT_EQ(link->SendCmd(), EcfLink::kRefused);
    late.join();
    EXPECT_EQ(link->ErrClass(), 2);
    EXPECT_EQ(link->ErrDetail(), 4);
}

TEST_F(ScriptedLinkTest, PartOfABlockIsDeliveredAndCompletedLater)
{
    line.Send({0x16, 0x00, 0x06});
    link->SetCmd(20, 0);
    ASSERT_EQ(link->SendCmd(), EcfLink::kAck);
    const Bytes header {0x02, 0, 0, 0, 0x00, 0x01, 0, 0, 0, 0x2C, 0x01};  // L = 300, last
    Bytes data(300);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);
    line.Send(Concat({header, Bytes(data.begin(), data.begin() + 100)}));
    ASSERT_TRUE(WaitFor([&] { return link->Available() == 111; }));
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespMore);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 100), Bytes(data.begin(), data.begin() + 100));

    line.Send(Concat({Bytes(data.begin() + 100, data.end()), {0x99}}));
    ASSERT_TRUE(WaitFor([&] { return link->Available() == 201; }));
    EXPECT_EQ(link->GetResp(block.data()), 300);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 300), data);
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespEnd);
}

TEST_F(ScriptedLinkTest, NothingOfAnEarlierCommandIsReadAsTheNextOnesAnswer)
{
    // A block given up half way: the next command must not take up its rest.
    line.Send({0x16, 0x00, 0x06, 0x02, 0, 0, 0, 0x00, 0x01, 0, 0, 0, 0x0A, 0x00, 'o', 'l', 'd'});
    link->SetCmd(20, 0);
    ASSERT_EQ(link->SendCmd(), EcfLink::kAck);
    ASSERT_TRUE(WaitFor([&] { return link->Available() == 14; }));
    ASSERT_EQ(link->GetResp(block.data()), EcfLink::kRespMore);
    const Bytes fresh {0x06, 0x02, 0, 0, 0, 0x00, 0x01, 0, 0, 0, 0x03, 0x00, 'n', 'e', 'w', 0x5A};
    line.Send(fresh);
    link->SetCmd(20, 0);
    ASSERT_EQ(link->SendCmd(), EcfLink::kAck);
    ASSERT_TRUE(WaitFor([&] { return link->Available() == 15; }));
    EXPECT_EQ(link->GetResp(block.data()), 3);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 3), "new");

    // Bytes that came after a command are gone when the next one starts.
    line.Send({0x41, 0x42});
    ASSERT_TRUE(WaitFor([&] { return link->Available() == 2; }));
    link->End();
    ASSERT_TRUE(link->Start());
    EXPECT_EQ(link->Available(), 0);
}

TEST_F(ScriptedLinkTest, TrafficObserverGetsTheBytesTakenWithTheirDirection)
{
    using Seen = std::pair<TrafficDirection, Bytes>;
    std::vector<Seen> runs;
    link->SetTrafficObserver([&](const TrafficRun& run) {
        runs.push_back({run.direction, Bytes(run.bytes, run.bytes + run.length)});
    });
    line.Send({0x16, 0x00, 0x06});
    link->SetCmd(20, 0);
    ASSERT_EQ(link->SendCmd(), EcfLink::kAck);
    const Bytes header {0x02, 0, 0, 0, 0x00, 0x01, 0, 0, 0, 0x03, 0x00};  // L = 3, of which one byte comes
    line.Send(Concat({header, {'a'}}));
    ASSERT_TRUE(WaitFor([&] { return link->Available() == 12; }));
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespMore);
    const auto in = TrafficDirection::kReceived;
    const auto out = TrafficDirection::kSent;
    EXPECT_EQ(runs, (std::vector<Seen> {{out, {0x16}},
                                        {in, {0x16}},
                                        {in, {0x00}},
                                        {out, {0x01, 0x00, 0x14, 0x00, 0x00, 0x00, 0x14}},
                                        {in, {0x06}},
                                        {in, Bytes(header.begin(), header.begin() + 6)},
                                        {in, Bytes(header.begin() + 6, header.end())},
                                        {in, {'a'}}}));
}

TEST_F(ScriptedLinkTest, MissingHeaderIsAShortResponse)
{
    OpenLink(SilencePacing());
    line.Send({0x16, 0x00, 0x06});
    link->SetCmd(20, 0);
    ASSERT_EQ(link->SendCmd(), EcfLink::kAck);
    line.Send({0x02, 0x00, 0x00});
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespShort);
    EXPECT_EQ(link->ErrClass(), 255);
    EXPECT_EQ(link->ErrDetail(), 2);
    EXPECT_EQ(link->Available(), 0);
}

TEST_F(ScriptedLinkTest, UnwritableEnqFailsTheResponse)
{
    line.Send({0x16, 0x00, 0x06});
    link->SetCmd(20, 0);
    ASSERT_EQ(link->SendCmd(), EcfLink::kAck);
    line.Drop();
    EXPECT_EQ(link->GetResp(block.data()), EcfLink::kRespShort);
    EXPECT_EQ(link->ErrDetail(), 3);
}

TEST_F(ScriptedLinkTest, OverlongParametersAreRefusedAndTheLengthTellsTheTruth)
{
    LogCapture log;
    // 6,552 parameters of ten bytes fill 65,520 bytes, the most that fits.
    const auto fill = [&](int count) {
        link->SetCmd(20, 0);
        for (int i = 0; i < count; ++i)
            link->AddParam(100000000);
    };
    fill(6552);
    EXPECT_EQ(CountTag(log.Tags(), "AddParam Erro"), 0);
    line.Send({0x16, 0x00, 0x06});
    // The far end must read while the frame goes out: the line holds only a few kilobytes.
    Bytes wire;
    std::thread farEnd([&] { wire = line.Receive(1 + 65520 + 7, 20s); });
    EXPECT_EQ(link->SendCmd(), EcfLink::kAck);
    farEnd.join();
    ASSERT_EQ(wire.size(), 1u + 65520u + 7u);
    EXPECT_EQ(wire[5] + 256 * wire[6], 65520);

    // One more no longer fits: the command is refused whole, and nothing goes out.
    fill(6553);
    EXPECT_EQ(CountTag(log.Tags(), "AddParam Erro"), 1);
    EXPECT_EQ(link->SendCmd(), EcfLink::kWriteFailed);
    EXPECT_EQ(link->ErrClass(), 255);
    EXPECT_EQ(link->ErrDetail(), 0);
    EXPECT_TRUE(line.Receive(1, 100ms).empty());
}

// A port that counts the reads still made after the system said its line is gone.
struct WatchedPort : SerialPort {
    explicit WatchedPort(std::unique_ptr<SerialPort> inner) : inner(std::move(inner)) {}
    int Read(uint8_t* destination, int n) override
    {
        readsAfterLoss += static_cast<bool>(Lost());
        return Seen(inner->Read(destination, n));
    }
    bool Write(const uint8_t* source, int n) override { return Seen(inner->Write(source, n)); }
    void CheckLine() override
    {
        inner->CheckLine();
        Seen(0);
    }
    int Seen(int result)
    {
        MarkLost(inner->Lost().kind, inner->Lost().code);
        return result;
    }
    std::unique_ptr<SerialPort> inner;
    std::atomic<int> readsAfterLoss {0};
};

// The far end closed during each wait of the link: the wait ends within two poll steps with
// the lost line's pair and a note in the traffic, and the reader reads the dead port no more.
TEST(LinkLineLost, EveryWaitEndsWithinTwoPollSteps)
{
    const Bytes acked {0x16, 0x05, 0x06};
    const struct {
        const char* wait;
        Bytes answers;
        int result;
    } rows[] = {
        {"SYN answer", {}, EcfLink::kNoAnswer},
        {"acknowledgement", {0x16, 0x05}, EcfLink::kNoAnswer},
        {"busy, sent again", {0x16, 0x05, 0x11, 0x01, 0x02}, EcfLink::kNoAnswer},
        {"block header", acked, EcfLink::kRespShort},
        {"header's settling", Concat({acked, {0x02, 0, 0}}), EcfLink::kRespShort},
        {"block data", Concat({acked, {0x02, 0, 0, 0, 0, 1, 0, 0, 0, 100, 0}, Bytes(10, 'd')}),
         EcfLink::kRespShort},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.wait);
        PtyPair line;
        line.Send(row.answers);
        int steps = 0;
        int pulledAt = -1;
        const auto pull = [&] {
            line.Drop();
            pulledAt = steps;
        };
        LinkPacing pacing = FastPacing();
        pacing.wait = [&](std::chrono::milliseconds step) {
            std::this_thread::sleep_for(step);
            if (++steps == 10)  // inside each wait
                pull();
        };
        WatchedPort* port = nullptr;
        const auto watch = [&](const PortAddress& address, const std::string& mode, int size, HolderCheck check) {
            PortOpenResult opened = OpenSerialPort(address, mode, size, check);
            opened.port = std::make_unique<WatchedPort>(std::move(opened.port));
            port = static_cast<WatchedPort*>(opened.port.get());
            return opened;
        };
        std::string note;
        EcfLink link(ReadPortName(line.Path().substr(5)), pacing, watch, [&](const TrafficRun& run) {
            if (run.direction == TrafficDirection::kNote)
                note.assign(run.bytes, run.bytes + run.length);
        });
        ASSERT_TRUE(WaitFor([&] { return link.Available() == static_cast<int>(row.answers.size()); }));

        link.SetCmd(20, 0);
        int result = link.SendCmd();
        if (result == EcfLink::kBusy) {  // pulled while the cycle waits to send again
            pull();
            result = link.SendCmd();
        }
        std::vector<uint8_t> block(65536);
        for (bool asking = result == EcfLink::kAck; asking; asking = result == EcfLink::kRespMore)
            result = link.GetResp(block.data());
        EXPECT_EQ(result, row.result);
        EXPECT_LE(steps - pulledAt, 2);
        EXPECT_EQ(link.ErrClass() * 256 + link.ErrDetail(), 255 * 256 + 3);
        EXPECT_EQ(note, "linha perdida");
        EXPECT_FALSE(WaitFor([&] { return port->readsAfterLoss > 0; }, 100ms));
    }
}

TEST(LinkLifecycle, OpenedPortLogsItsStepsInOrder)
{
    PtyPair line;
    LogCapture log;
    EcfLink link(ReadPortName(line.Path().substr(5)), FastPacing());
    EXPECT_EQ(log.Tags(), (std::vector<std::string> {"SerialDevice", "SerialDevice Ok", "SerialOpen", "CmdLog",
                                                     "CmdLog Ok", "SerialOpen Ok"}));
    log.Clear();
    EcfLinkTestSeam::CmdLog(link, nullptr, 0);
    EXPECT_TRUE(log.Tags().empty());
}

TEST(LinkLifecycle, MissingPortIsNotOnline)
{
    LogCapture log;
    EcfLink link(ReadPortName("kestro-no-such-port"), FastPacing());
    EXPECT_FALSE(link.online());
    EXPECT_EQ(log.Tags().back(), "SerialOpen NOk");
    EXPECT_FALSE(link.Start());
    EXPECT_NE(link.LastError(), 0);
}

TEST(LinkLifecycle, LongPortNameIsKeptWhole)
{
    const std::string name = "pts/" + std::string(300, '9');
    EcfLink link(ReadPortName(name), FastPacing());
    EXPECT_FALSE(link.online());
    EXPECT_EQ(link.DevicePath(), "/dev/" + name);
}

TEST(LinkLifecycle, CheckSumAddsAllButTheFirstByte)
{
    const uint8_t bytes[] = {0x01, 0xFF, 0x02, 0x03};
    EXPECT_EQ(frame::CheckByte(bytes, 4), 0x04);
    EXPECT_EQ(frame::CheckByte(bytes, 1), 0);
    EXPECT_EQ(frame::CheckByte(bytes, 0), 0);
}

// The real pacing: a printer that never answers is given its full six seconds.
TEST(LinkRealPacing, SilenceTimesOutAfterSixSeconds)
{
    PtyPair line;
    LinkPacing pacing;
    pacing.openWait = 0ms;
    EcfLink link(ReadPortName(line.Path().substr(5)), pacing);
    line.Send({0x16, 0x00});
    link.SetCmd(20, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.SendCmd(), EcfLink::kNoAnswer);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 6s);
    EXPECT_LT(waited, 9s);
    EXPECT_EQ(link.ErrDetail(), 2);
}

}  // namespace
