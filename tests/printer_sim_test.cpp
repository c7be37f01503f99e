// Printer simulator: message cutting, commands, options, and the printer's answers on a real pseudo-terminal.
#include "sim/printer_sim.h"
#include "sim/sim_cli.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr auto kDeadline = 5s;

Bytes Frame(uint8_t seq, uint8_t cmd, uint8_t ext, const std::string& params)
{
    Bytes frame(6 + params.size());
    frame[0] = 0x01;
    frame[1] = seq;
    frame[2] = cmd;
    frame[3] = ext;
    frame[4] = static_cast<uint8_t>(params.size() & 0xFF);
    frame[5] = static_cast<uint8_t>(params.size() >> 8);
    std::copy(params.begin(), params.end(), frame.begin() + 6);
    uint8_t sum = 0;
    for (size_t i = 1; i < frame.size(); ++i)
        sum = static_cast<uint8_t>(sum + frame[i]);
    frame.push_back(sum);
    return frame;
}

std::vector<HostMessage> Cut(FrameReader& reader)
{
    std::vector<HostMessage> messages;
    while (auto m = reader.Next())
        messages.push_back(*m);
    return messages;
}

// ---------------------------------------------------------------- FrameReader

TEST(FrameReaderTest, DocumentedExampleFramesHaveValidCheckBytes)
{
    const Bytes examples[] = {
        {0x01, 0x05, 0x14, 0x00, 0x02, 0x00, 0x30, 0x7C, 0xC7},
        {0x01, 0x00, 0x1A, 0x00, 0x05, 0x00, 0x31, 0x35, 0x7C, 0x32, 0x7C, 0xAF},
        {0x01, 0xFF, 0x1A, 0x00, 0x06, 0x00, 0x31, 0x35, 0x7C, 0x31, 0x34, 0x7C, 0xE2},
        {0x01, 0x03, 0x14, 0x00, 0x00, 0x00, 0x17},
    };
    for (const Bytes& frame : examples) {
        FrameReader reader;
        reader.Feed(frame.data(), frame.size());
        const auto messages = Cut(reader);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].kind, HostMessage::Kind::Frame);
        EXPECT_TRUE(messages[0].checkOk) << "frame with sequence " << int(frame[1]);
        EXPECT_EQ(messages[0].seq, frame[1]);
        EXPECT_EQ(messages[0].params.size(), frame.size() - 7);
    }
}

TEST(FrameReaderTest, SameMessagesWhateverTheCutPoints)
{
    Bytes stream = {0x16, 0x05, 0x03};
    const Bytes frame = Frame(9, 26, 0, "15|14|");
    stream.insert(stream.end(), frame.begin(), frame.end());
    stream.push_back(0x16);
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        FrameReader reader;
        reader.Feed(stream.data(), cut);
        auto messages = Cut(reader);
        reader.Feed(stream.data() + cut, stream.size() - cut);
        const auto rest = Cut(reader);
        messages.insert(messages.end(), rest.begin(), rest.end());
        ASSERT_EQ(messages.size(), 4u) << "cut at " << cut;
        EXPECT_EQ(messages[0].kind, HostMessage::Kind::Syn);
        EXPECT_EQ(messages[1].kind, HostMessage::Kind::Enq);
        EXPECT_EQ(messages[1].block, 3);
        EXPECT_EQ(messages[2].kind, HostMessage::Kind::Frame);
        EXPECT_EQ(messages[2].params, "15|14|");
        EXPECT_TRUE(messages[2].checkOk);
        EXPECT_EQ(messages[3].kind, HostMessage::Kind::Syn);
        EXPECT_FALSE(reader.Partial());
    }
}

TEST(FrameReaderTest, FaultsAndStrays)
{
    FrameReader reader;
    Bytes bad = Frame(1, 20, 0, "0|");
    bad.back() ^= 0xFF;
    const Bytes tooLong = {0x01, 0x00, 0x14, 0x00, 0xFA, 0xFF};  // 65,530 bytes of parameters
    const Bytes strays = {0x00, 0x41, 0x7C};
    for (const Bytes* part : {&strays, static_cast<const Bytes*>(&bad), &tooLong})
        reader.Feed(part->data(), part->size());
    const auto messages = Cut(reader);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_FALSE(messages[0].checkOk);
    EXPECT_EQ(messages[1].kind, HostMessage::Kind::Malformed);
    EXPECT_EQ(messages[1].fault, kPairLengthTooLarge);
    EXPECT_EQ(reader.Strays(), 3u);
}

TEST(FrameReaderTest, LargestParameterBlockIsAFrame)
{
    const Bytes frame = Frame(0, 26, 0, std::string(65529, '7'));
    FrameReader reader;
    reader.Feed(frame.data(), frame.size());
    const auto messages = Cut(reader);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, HostMessage::Kind::Frame);
    EXPECT_TRUE(messages[0].checkOk);
}

TEST(FrameReaderTest, ExpireRefusesAPartialFrameButDropsALoneEnq)
{
    FrameReader reader;
    const Bytes partialFrame = {0x01, 0x00, 0x14, 0x00, 0x02, 0x00, 0x30};
    reader.Feed(partialFrame.data(), partialFrame.size());
    EXPECT_FALSE(reader.Next());
    EXPECT_TRUE(reader.Partial());
    const auto expired = reader.Expire();
    ASSERT_TRUE(expired);
    EXPECT_EQ(expired->fault, kPairIncompleteFrame);
    EXPECT_FALSE(reader.Partial());

    const uint8_t enq = 0x05;
    reader.Feed(&enq, 1);
    EXPECT_FALSE(reader.Next());
    EXPECT_FALSE(reader.Expire());
    EXPECT_FALSE(reader.Partial());
}

// ---------------------------------------------------------------- commands and blocks

TEST(PrinterCommandsTest, AnswersAndRefusals)
{
    const SimIdentity id {"MODEL X", "NS123", "040506"};
    const struct {
        uint8_t cmd, ext;
        const char* params;
        bool accepted;
        std::string data;
        SimPair refusal;
    } cases[] = {
        {26, 0, "15|2|", true, "MODEL X|", {}},         {26, 0, "15|4|", true, "NS123|", {}},
        {26, 0, "15|14|", true, "040506|", {}},         {20, 0, "0|", true, "", {}},
        {26, 0, "15|3|", false, "", kPairBadParameter}, {26, 0, "16|2|", false, "", kPairBadParameter},
        {26, 0, "15|2", false, "", kPairBadParameter},  {26, 0, "", false, "", kPairBadParameter},
        {20, 0, "", false, "", kPairBadParameter},      {26, 1, "15|2|", false, "", kPairUnknownCommand},
        {99, 0, "", false, "", kPairUnknownCommand},
    };
    for (const auto& c : cases) {
        const SimOutcome outcome = RunCommand(c.cmd, c.ext, c.params, id);
        SCOPED_TRACE(std::to_string(c.cmd) + "/" + std::to_string(c.ext) + " " + c.params);
        EXPECT_EQ(outcome.accepted, c.accepted);
        EXPECT_EQ(outcome.data, c.data);
        if (!c.accepted) {
            EXPECT_EQ(outcome.refusal, c.refusal);
        }
    }
}

TEST(SplitIntoBlocksTest, CutsEvenlyAndNeverLosesBytes)
{
    const struct {
        std::string data;
        int count;
        std::vector<std::string> blocks;
    } cases[] = {
        {"abcde", 2, {"abc", "de"}}, {"", 1, {""}},        {"ab", 3, {"a", "b", ""}},
        {"abc", 0, {"abc"}},         {"abc", -4, {"abc"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitIntoBlocks(c.data, c.count), c.blocks) << c.data << " in " << c.count;
}

// ---------------------------------------------------------------- command line

TEST(SimCliTest, ParsesOptionsIntoPlans)
{
    SimCliConfig config;
    std::string error;
    ASSERT_TRUE(ParseSimCli({"--model",    "M",        "--ns",       "N",        "--sb",
                             "112233",     "--seq",    "255",        "--busy",   "2,4,5",
                             "--enq-busy", "1",        "--split",    "3,40",     "--header-error",
                             "5,1",        "--blocks", "2",          "--eager",  "--drop-after",
                             "3",          "--random", "4294967295", "--refuse", "1,1"},
                            config, error))
        << error;
    EXPECT_EQ(config.options.identity.model, "M");
    EXPECT_EQ(config.options.identity.sb, "112233");
    EXPECT_EQ(config.options.firstSeq, 255);
    EXPECT_EQ(config.busyFrames, 2);
    EXPECT_EQ(config.busyPair, (SimPair {4, 5}));
    EXPECT_EQ(config.defaultPlan.enqBusy, 1);
    EXPECT_EQ(config.defaultPlan.pieces, 3);
    EXPECT_EQ(config.defaultPlan.pieceDelayMs, 40);
    EXPECT_EQ(config.defaultPlan.headerError, (SimPair {5, 1}));
    EXPECT_EQ(config.defaultPlan.blockCount, 2);
    EXPECT_TRUE(config.defaultPlan.eager);
    EXPECT_EQ(config.dropAfter, 3);
    EXPECT_EQ(config.randomSeed, 4294967295u);
    EXPECT_EQ(config.defaultPlan.reply.answer, SimAnswer::Refuse);
}

TEST(SimCliTest, RejectsBadOptions)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--seq", "256"},      {"--seq"},          {"--busy", "1,2"}, {"--refuse", "1"},
        {"--refuse", "1,256"}, {"--split", "0,5"}, {"--blocks", "0"}, {"--header-error", "0,3"},
        {"--seq", "-1"},       {"--wat"},          {"stray"},         {"--random", "4294967296"},
    };
    for (const auto& args : bad) {
        SimCliConfig config;
        std::string error;
        EXPECT_FALSE(ParseSimCli(args, config, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

// ---------------------------------------------------------------- the printer on a pseudo-terminal

// The host's end of the line, opened the way a serial driver opens it.
class HostPort {
public:
    explicit HostPort(const std::string& path) { Open(path); }
    ~HostPort() { Close(); }

    void Open(const std::string& path)
    {
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0) << path;
        termios raw {};
        ASSERT_EQ(::tcgetattr(fd, &raw), 0);
        ::cfmakeraw(&raw);
        ASSERT_EQ(::tcsetattr(fd, TCSANOW, &raw), 0);
    }
    void Close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    void Write(const Bytes& bytes)
    {
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Up to n bytes, waiting until they are all there or the deadline passes.
    Bytes Read(size_t n, std::chrono::milliseconds deadline = kDeadline)
    {
        Bytes bytes;
        const auto end = std::chrono::steady_clock::now() + deadline;
        while (bytes.size() < n) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd p {fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            uint8_t chunk[4096];
            const ssize_t got = ::read(fd, chunk, std::min(sizeof chunk, n - bytes.size()));
            if (got <= 0)
                break;
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        return bytes;
    }
    // A response block: header, data and trailing byte.
    Bytes ReadBlock()
    {
        Bytes block = Read(11);
        if (block.size() == 11) {
            const Bytes rest = Read(block[9] + 256u * block[10] + 1);
            block.insert(block.end(), rest.begin(), rest.end());
        }
        return block;
    }
    int fd = -1;
};

std::string BlockData(const Bytes& block)
{
    return block.size() < 12 ? std::string() : std::string(block.begin() + 11, block.end() - 1);
}

bool LastBlock(const Bytes& block) { return block.size() >= 6 && block[4] == 0 && (block[5] & 1) != 0; }

class PrinterSimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrinterSim::Options options;
        options.identity = {"KS-TEST", "NS0099", "010203"};
        options.firstSeq = 5;
        sim = std::make_unique<PrinterSim>(options);
        ASSERT_TRUE(sim->Start());
        port = std::make_unique<HostPort>(sim->SlavePath());
    }
    void TearDown() override
    {
        port.reset();
        sim->Stop();
    }
    // Sends a frame with the next sequence number and returns the first answer byte(s).
    Bytes Command(uint8_t cmd, const std::string& params, size_t answerSize = 1)
    {
        port->Write(Frame(seq++, cmd, 0, params));
        return port->Read(answerSize);
    }
    Bytes Enq(uint8_t block)
    {
        port->Write({0x05, block});
        return port->ReadBlock();
    }
    // Proves the line stayed quiet: the SYN answer must be the very next thing that arrives.
    void ExpectNothingBeforeSynAnswer()
    {
        port->Write({0x16});
        EXPECT_EQ(port->Read(2), (Bytes {0x16, sim->NextSequence()}));
    }

    std::unique_ptr<PrinterSim> sim;
    std::unique_ptr<HostPort> port;
    uint8_t seq = 5;
};

TEST_F(PrinterSimTest, NamesThePortTheWayTheHostSpellsIt)
{
    EXPECT_EQ(sim->SlavePath().rfind("/dev/pts/", 0), 0u);
    EXPECT_EQ("/dev/" + sim->PortName(), sim->SlavePath());
}

TEST_F(PrinterSimTest, SynReportsTheExpectedNumberWithoutConsumingIt)
{
    port->Write({0x16});
    EXPECT_EQ(port->Read(2), (Bytes {0x16, 0x05}));
    port->Write({0x16});
    EXPECT_EQ(port->Read(2), (Bytes {0x16, 0x05}));
    EXPECT_EQ(sim->Counts().syns, 2u);
}

TEST_F(PrinterSimTest, DocumentedXReadingExchange)
{
    port->Write({0x16});
    EXPECT_EQ(port->Read(2), (Bytes {0x16, 0x05}));
    port->Write({0x01, 0x05, 0x14, 0x00, 0x02, 0x00, 0x30, 0x7C, 0xC7});
    EXPECT_EQ(port->Read(1), Bytes {0x06});
    const Bytes block = Enq(0);
    ASSERT_EQ(block.size(), 12u);
    EXPECT_NE(block[0], 0x11);
    EXPECT_TRUE(LastBlock(block));
    EXPECT_EQ(block[9] + 256 * block[10], 0);
    EXPECT_EQ(sim->NextSequence(), 6);
}

TEST_F(PrinterSimTest, IdentificationItems)
{
    const struct {
        const char* params;
        const char* data;
    } items[] = {{"15|2|", "KS-TEST|"}, {"15|4|", "NS0099|"}, {"15|14|", "010203|"}};
    for (const auto& item : items) {
        ASSERT_EQ(Command(26, item.params), Bytes {0x06}) << item.params;
        const Bytes block = Enq(0);
        EXPECT_EQ(BlockData(block), item.data);
        EXPECT_TRUE(LastBlock(block));
        uint8_t sum = 0;
        for (size_t i = 0; i + 1 < block.size(); ++i)
            sum = static_cast<uint8_t>(sum + block[i]);
        EXPECT_EQ(block.back(), sum);
    }
}

TEST_F(PrinterSimTest, MalformedFramesAreRefusedWithTheirPairs)
{
    sim->SetFrameTimeout(50ms);  // the incomplete frame below never completes
    Bytes badCheck = Frame(5, 20, 0, "0|");
    badCheck.back() ^= 0x01;
    const struct {
        const char* name;
        Bytes frame;
        SimPair pair;
    } cases[] = {
        {"bad check byte", badCheck, kPairBadCheckByte},
        {"wrong sequence", Frame(9, 20, 0, "0|"), kPairWrongSequence},
        {"length too large", {0x01, 10, 0x14, 0x00, 0xFF, 0xFF}, kPairLengthTooLarge},
        {"length beyond the bytes sent",
         {0x01, 11, 0x14, 0x00, 0x03, 0x00, 0x30, 0x7C, 0xC8},
         kPairIncompleteFrame},
        {"unknown command", Frame(12, 99, 0, ""), kPairUnknownCommand},
        {"bad parameter", Frame(13, 26, 0, "15|77|"), kPairBadParameter},
    };
    for (const auto& c : cases) {
        port->Write(c.frame);
        EXPECT_EQ(port->Read(3), (Bytes {0x15, c.pair.errorClass, c.pair.detail})) << c.name;
    }
    EXPECT_EQ(sim->Counts().naks, 6u);
    EXPECT_EQ(sim->Counts().acks, 0u);
    // After the wrong number the printer followed the host: 9 was sent, so 10, 11... were expected.
    EXPECT_EQ(sim->NextSequence(), 14);
}

TEST_F(PrinterSimTest, SequenceWrapsAndEveryFrameSpendsANumber)
{
    sim->SetNextSequence(254);
    seq = 254;
    sim->QueuePlan(SimPlan::Answer(SimAnswer::Busy, {0, 1}));
    EXPECT_EQ(Command(20, "0|", 3), (Bytes {0x11, 0, 1}));
    EXPECT_EQ(Command(20, "0|"), Bytes {0x06});  // the resend after busy carries 255
    EXPECT_EQ(Command(20, "0|"), Bytes {0x06});  // and then 0
    EXPECT_EQ(sim->NextSequence(), 1);
}

TEST_F(PrinterSimTest, BusyTimesThenAccepted)
{
    sim->QueuePlan(SimPlan::Answer(SimAnswer::Busy, {4, 2}), 2);
    sim->QueueSynReply({SimAnswer::Busy, {7, 8}});
    port->Write({0x16});
    EXPECT_EQ(port->Read(3), (Bytes {0x11, 7, 8}));
    EXPECT_EQ(Command(26, "15|2|", 3), (Bytes {0x11, 4, 2}));
    EXPECT_EQ(Command(26, "15|2|", 3), (Bytes {0x11, 4, 2}));
    EXPECT_EQ(Command(26, "15|2|"), Bytes {0x06});
    EXPECT_EQ(BlockData(Enq(0)), "KS-TEST|");
}

TEST_F(PrinterSimTest, RefusedSilentGarbageAndDefaultPlan)
{
    sim->QueuePlan(SimPlan::Answer(SimAnswer::Refuse, {5, 1}));
    sim->QueuePlan(SimPlan::Answer(SimAnswer::Silent));
    sim->QueuePlan(SimPlan::Answer(SimAnswer::Garbage));
    sim->SetDefaultPlan(SimPlan::Answer(SimAnswer::Refuse, {8, 1}));
    EXPECT_EQ(Command(20, "0|", 3), (Bytes {0x15, 5, 1}));
    port->Write(Frame(seq++, 20, 0, "0|"));
    ASSERT_TRUE(sim->WaitUntil([&] { return sim->Counts().frames == 2; }, kDeadline));
    ExpectNothingBeforeSynAnswer();
    EXPECT_EQ(Command(20, "0|"), Bytes {0x41});
    EXPECT_EQ(Command(20, "0|", 3), (Bytes {0x15, 8, 1}));
    EXPECT_EQ(Command(20, "0|", 3), (Bytes {0x15, 8, 1}));
    sim->ClearPlans();
    EXPECT_EQ(Command(20, "0|"), Bytes {0x06});
}

TEST_F(PrinterSimTest, TwoBlocksAndResendOfTheLastOne)
{
    sim->QueuePlan(SimPlan::WithBlocks({"A|", "B|"}));
    ASSERT_EQ(Command(26, "15|2|"), Bytes {0x06});
    const Bytes first = Enq(0);
    EXPECT_EQ(BlockData(first), "A|");
    EXPECT_FALSE(LastBlock(first));
    const Bytes second = Enq(1);
    EXPECT_EQ(BlockData(second), "B|");
    EXPECT_TRUE(LastBlock(second));
    EXPECT_EQ(Enq(1), second);
    const Bytes none = Enq(2);
    ASSERT_EQ(none.size(), 12u);
    EXPECT_EQ(none[4], kPairNoSuchBlock.errorClass);
    EXPECT_EQ(none[5], kPairNoSuchBlock.detail);
}

TEST_F(PrinterSimTest, EnqWithoutACommandGetsTheNoBlockPair)
{
    const Bytes block = Enq(0);
    ASSERT_EQ(block.size(), 12u);
    EXPECT_EQ(block[4], 15);
    EXPECT_EQ(block[5], 5);
}

TEST_F(PrinterSimTest, ResponseShapes)
{
    const std::string tenKiB(10240, 'x');
    const std::string largest(65535, 'y');
    const struct {
        const char* name;
        std::vector<std::string> blocks;
    } cases[] = {
        {"no separator", {"ABC"}},
        {"empty first field", {"|"}},
        {"10 KiB", {tenKiB}},
        {"largest block", {largest}},
        {"three blocks", SplitIntoBlocks("MODEL|", 3)},
    };
    for (const auto& c : cases) {
        sim->QueuePlan(SimPlan::WithBlocks(c.blocks));
        ASSERT_EQ(Command(20, "0|"), Bytes {0x06}) << c.name;
        for (size_t i = 0; i < c.blocks.size(); ++i) {
            const Bytes block = Enq(static_cast<uint8_t>(i));
            EXPECT_EQ(BlockData(block), c.blocks[i]) << c.name << " block " << i;
            EXPECT_EQ(block[9] + 256u * block[10], c.blocks[i].size());
            EXPECT_EQ(LastBlock(block), i + 1 == c.blocks.size()) << c.name;
        }
    }
}

TEST_F(PrinterSimTest, BuiltInResponseCutIntoBlocks)
{
    SimPlan plan;
    plan.blockCount = 2;
    sim->QueuePlan(plan);
    ASSERT_EQ(Command(26, "15|4|"), Bytes {0x06});
    const std::string first = BlockData(Enq(0));
    EXPECT_EQ(first + BlockData(Enq(1)), "NS0099|");
}

TEST_F(PrinterSimTest, EagerBlockFollowsTheAck)
{
    SimPlan plan;
    plan.eager = true;
    sim->QueuePlan(plan);
    ASSERT_EQ(Command(26, "15|2|"), Bytes {0x06});
    const Bytes block = port->ReadBlock();
    EXPECT_EQ(BlockData(block), "KS-TEST|");
    EXPECT_EQ(sim->Counts().enqs, 0u);
}

TEST_F(PrinterSimTest, SplitBlockArrivesWhole)
{
    SimPlan plan;
    plan.pieces = 4;
    plan.pieceDelayMs = 20;
    sim->QueuePlan(plan);
    sim->QueuePlan(SimPlan {});
    ASSERT_EQ(Command(26, "15|4|"), Bytes {0x06});
    const Bytes split = Enq(0);
    ASSERT_EQ(Command(26, "15|4|"), Bytes {0x06});
    const Bytes whole = Enq(0);
    // The same block apart from the bytes that carry the sequence number and the sum.
    ASSERT_EQ(split.size(), whole.size());
    EXPECT_EQ(BlockData(split), "NS0099|");
    EXPECT_EQ(Bytes(split.begin() + 2, split.end() - 1), Bytes(whole.begin() + 2, whole.end() - 1));
}

TEST_F(PrinterSimTest, SplitRefusalArrivesWhole)
{
    SimPlan plan = SimPlan::Answer(SimAnswer::Refuse, {3, 1});
    plan.pieces = 3;
    plan.pieceDelayMs = 20;
    sim->QueuePlan(plan);
    EXPECT_EQ(Command(20, "0|", 3), (Bytes {0x15, 3, 1}));
}

TEST_F(PrinterSimTest, RestartsOnAFreshLineAfterStop)
{
    port.reset();
    sim->Stop();
    ASSERT_TRUE(sim->Start());
    EXPECT_FALSE(sim->Start());
    port = std::make_unique<HostPort>(sim->SlavePath());
    port->Write({0x16});
    EXPECT_EQ(port->Read(2), (Bytes {0x16, 0x05}));
}

TEST_F(PrinterSimTest, HeaderErrorCarriesThePairAndNoData)
{
    SimPlan plan = SimPlan::WithBlocks({"A|", "B|"});
    plan.headerError = {1, 2};
    plan.headerErrorBlock = 1;
    sim->QueuePlan(plan);
    ASSERT_EQ(Command(20, "0|"), Bytes {0x06});
    EXPECT_EQ(BlockData(Enq(0)), "A|");
    const Bytes failed = Enq(1);
    ASSERT_EQ(failed.size(), 12u);
    EXPECT_EQ(failed[4], 1);
    EXPECT_EQ(failed[5], 2);
}

TEST_F(PrinterSimTest, EnqBusyThenTheBlock)
{
    SimPlan plan;
    plan.enqBusy = 2;
    plan.enqBusyPair = {2, 5};
    sim->QueuePlan(plan);
    ASSERT_EQ(Command(26, "15|14|"), Bytes {0x06});
    for (int i = 0; i < 2; ++i) {
        port->Write({0x05, 0x00});
        EXPECT_EQ(port->Read(6), (Bytes {0x11, 2, 5, 0, 0, 0}));
    }
    EXPECT_EQ(BlockData(Enq(0)), "010203|");
}

TEST_F(PrinterSimTest, TruncatedBlockStopsThenStaysQuiet)
{
    SimPlan plan = SimPlan::WithBlocks({std::string(300, 'z')});
    plan.truncateAt = 100;
    sim->QueuePlan(plan);
    ASSERT_EQ(Command(20, "0|"), Bytes {0x06});
    port->Write({0x05, 0x00});
    const Bytes part = port->Read(111);
    ASSERT_EQ(part.size(), 111u);
    EXPECT_EQ(part[9] + 256 * part[10], 300);
    ExpectNothingBeforeSynAnswer();
}

TEST_F(PrinterSimTest, RecorderHoldsWholeFramesSentInPieces)
{
    sim->SetFrameTimeout(60s);
    const Bytes frame = Frame(5, 26, 0, "15|2|");
    size_t sent = 0;
    for (size_t cut : {size_t(1), size_t(4), size_t(8), frame.size()}) {
        port->Write(Bytes(frame.begin() + static_cast<std::ptrdiff_t>(sent),
                          frame.begin() + static_cast<std::ptrdiff_t>(cut)));
        ASSERT_TRUE(sim->WaitForReceivedSize(cut, kDeadline));
        sent = cut;
    }
    EXPECT_EQ(port->Read(1), Bytes {0x06});
    EXPECT_EQ(sim->Received(), frame);
    sim->ClearReceived();
    EXPECT_TRUE(sim->Received().empty());
    EXPECT_EQ(sim->Counts().frames, 1u);
}

TEST_F(PrinterSimTest, HostMayCloseAndReopenBetweenCommands)
{
    ASSERT_EQ(Command(20, "0|"), Bytes {0x06});
    port->Close();
    port->Open(sim->SlavePath());
    EXPECT_EQ(BlockData(Enq(0)), "");
    EXPECT_EQ(Command(26, "15|2|"), Bytes {0x06});
}

TEST_F(PrinterSimTest, DropLineEndsTheHostsReads)
{
    sim->QueuePlan(SimPlan::Answer(SimAnswer::DropLine));
    port->Write(Frame(seq++, 20, 0, "0|"));
    ASSERT_TRUE(sim->WaitUntil([&] { return sim->LineDropped(); }, kDeadline));
    uint8_t byte;
    const ssize_t n = ::read(port->fd, &byte, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n;
    EXPECT_NE(::access(sim->SlavePath().c_str(), F_OK), 0);
}

TEST_F(PrinterSimTest, DropLineOnRequest)
{
    sim->DropLine();
    ASSERT_TRUE(sim->WaitUntil([&] { return sim->LineDropped(); }, kDeadline));
    pollfd p {port->fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR | POLLIN), 0);
}

TEST_F(PrinterSimTest, StopReturnsWhileAPieceIsStillScheduled)
{
    SimPlan plan;
    plan.pieces = 2;
    plan.pieceDelayMs = 60000;
    sim->QueuePlan(plan);
    ASSERT_EQ(Command(20, "0|"), Bytes {0x06});
    port->Write({0x05, 0x00});
    ASSERT_TRUE(sim->WaitUntil([&] { return sim->Counts().blocks == 1; }, kDeadline));
    sim->Stop();
    sim->Stop();
}

TEST_F(PrinterSimTest, CommandLinePlansRunInOrder)
{
    SimCliConfig config;
    std::string error;
    ASSERT_TRUE(
        ParseSimCli({"--busy", "2,6,7", "--busy-syn", "1", "--drop-after", "3", "--blocks", "2"}, config, error));
    ApplySimCli(config, *sim);
    port->Write({0x16});
    EXPECT_EQ(port->Read(3), (Bytes {0x11, 0, 0}));
    EXPECT_EQ(Command(26, "15|2|", 3), (Bytes {0x11, 6, 7}));
    EXPECT_EQ(Command(26, "15|2|", 3), (Bytes {0x11, 6, 7}));
    EXPECT_EQ(Command(26, "15|2|"), Bytes {0x06});
    EXPECT_FALSE(LastBlock(Enq(0)));
    EXPECT_TRUE(LastBlock(Enq(1)));
    port->Write(Frame(seq++, 26, 0, "15|2|"));
    EXPECT_TRUE(sim->WaitUntil([&] { return sim->LineDropped(); }, kDeadline));
}

TEST(PrinterSimRandomTest, SameSeedSameAnswers)
{
    auto run = [](uint32_t seed) {
        PrinterSim sim;
        sim.SetRandom(seed);
        EXPECT_TRUE(sim.Start());
        HostPort port(sim.SlavePath());
        for (uint8_t i = 0; i < 40; ++i)
            port.Write(Frame(i, 20, 0, "0|"));
        EXPECT_TRUE(sim.WaitUntil([&] { return sim.Counts().frames == 40; }, kDeadline));
        return std::make_pair(sim.Counts().acks, sim.Counts().naks);
    };
    const auto first = run(1234);
    EXPECT_EQ(run(1234), first);
    EXPECT_GT(first.first, 0u);
    EXPECT_LT(first.first, 40u);
}

}  // namespace
