// The line test against the simulator: what a bad line spoils is counted once, as what it is.
#include "session/line_check.h"
#include "sim/printer_sim.h"
#include "tests/support/link_test_support.h"
#include "tests/support/recording_display.h"
#include "vocab/error_text.h"
#include "vocab/filling.h"

#include <gtest/gtest.h>

#include <mutex>
#include <set>

namespace {

// Whether the host reads the spoiled byte: every byte of a SYN's or a frame's answer; of a block
// the error class, the last-block bit, the length and the data, not the trailing byte.
bool Visible(const SimSpoil& spoil)
{
    if (spoil.kind == SimSpoil::Kind::Dropped || spoil.to != HostMessage::Kind::Enq)
        return true;
    if (spoil.offset == 5)
        return ((spoil.sent ^ spoil.spoiled) & 1) != 0;
    return spoil.offset == 4 || spoil.offset == 9 || spoil.offset == 10 ||
           (spoil.offset >= 11 && spoil.offset + 1 < spoil.answerSize);
}

struct SpoiledRun {
    LineTally tally;
    std::set<uint64_t> spoiledAnswers;  // those with a spoil the host reads
    int dropped = 0;
};

SpoiledRun PingOverABadLine(double drop, double noise, uint32_t seed, long count)
{
    std::mutex lock;
    SpoiledRun run;
    PrinterSim::Options options;
    options.spoils = {noise, drop, seed, [&](const SimSpoil& spoil) {
                          const std::lock_guard<std::mutex> guard(lock);
                          run.dropped += spoil.kind == SimSpoil::Kind::Dropped;
                          if (Visible(spoil))
                              run.spoiledAnswers.insert(spoil.answer);
                      }};
    PrinterSim sim(options);
    EXPECT_TRUE(sim.Start());
    RecordingDisplay display;
    // Every spoiled answer ends a wait in silence.
    PrinterSession session(display, SilencePacing());
    EXPECT_TRUE(session.Open(ReadPortName(sim.PortName())));
    LineChecker test(session);
    run.tally = test.Run(count, [](const LineExchange&) {});
    session.Disconnect();
    sim.Stop();
    return run;
}

TEST(LineCheck, EverySpoiledAnswerFailsOneExchangeAndNoMore)
{
    // Seeds whose first exchange is clean: its answer is what the others are compared with.
    const SpoiledRun dropped = PingOverABadLine(0.08, 0, 11, 40);
    EXPECT_EQ(dropped.tally.Sent(), 40);
    EXPECT_GE(dropped.dropped, 3);
    EXPECT_EQ(dropped.tally.Count(LineExchange::kNoAnswer), dropped.dropped);
    EXPECT_EQ(dropped.tally.Sent() - dropped.tally.Answered(), dropped.dropped);

    const SpoiledRun noisy = PingOverABadLine(0, 0.004, 5, 80);
    EXPECT_GE(noisy.spoiledAnswers.size(), 3u);
    EXPECT_EQ(noisy.tally.Sent() - noisy.tally.Answered(), static_cast<long>(noisy.spoiledAnswers.size()));
    EXPECT_GT(noisy.tally.Count(LineExchange::kDiffers), 0);
}

TEST(LineCheck, RefusedBusyAndDifferentAnswersAreToldAsSuch)
{
    PrinterSim sim;
    ASSERT_TRUE(sim.Start());
    sim.QueuePlan(SimPlan());
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Refuse, {15, 1}));
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {0, 1}), 3);
    sim.QueuePlan(SimPlan(), 2);
    sim.QueuePlan(SimPlan::WithBlocks({"MOD-7OOO FX|"}));
    RecordingDisplay display;
    PrinterSession session(display, FastPacing());
    ASSERT_TRUE(session.Open(ReadPortName(sim.PortName())));
    std::vector<std::string> lines;
    LineChecker test(session);
    const LineTally& tally =
        test.Run(5, [&](const LineExchange& exchange) { lines.push_back(ExchangeText(exchange)); });
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "2: recusado (NAK 15/1: " + OneLine(ErrorText(15, 1)) + ")");
    EXPECT_EQ(lines[2].rfind("3: ocupado 3 vezes, ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3].rfind("4: ", 0), 0u);
    EXPECT_EQ(lines[4], "5: resposta diferente da primeira: \"MOD-7OOO FX\"");
    EXPECT_EQ(tally.Count(LineExchange::kRefused), 1);
    EXPECT_EQ(tally.Count(LineExchange::kBusy), 1);
    // The refusal, and only it, was followed by a fresh SYN; the number stayed right throughout.
    EXPECT_EQ(sim.Counts().syns, 2u);
    EXPECT_EQ(sim.Counts().naks, 1u);
    EXPECT_EQ(SummaryText(tally).rfind("5 enviados: 3 respondidos, 0 sem resposta, 1 recusado, 1 diferente; ", 0),
              0u)
        << SummaryText(tally);
    long min = 0, median = 0, max = 0;
    ASSERT_TRUE(tally.Times(min, median, max));
    EXPECT_EQ(StatusSummaryText(tally),
              "Comunica\xE7\xE3o: 3 de 5 respostas (1 recusada, 1 diferente); respondidas em " +
                  GroupedDigits(min) + " a " + GroupedDigits(max) + " ms");
    EXPECT_FALSE(tally.Sound());
}

}  // namespace
