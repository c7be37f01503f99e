// The traffic decoder against the protocol's own example exchanges, whole and cut at every byte:
// what each message means, and that every byte fed comes out in exactly one message.
#include "link/conversation_watch.h"
#include "link/traffic_format.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr auto kOut = TrafficDirection::kSent;
constexpr auto kIn = TrafficDirection::kReceived;

struct WireRun {
    TrafficDirection direction;
    Bytes bytes;
    int64_t ms = 0;
};

// Decodes the runs, each wire run cut into pieces of at most `piece` bytes, and checks that the bytes of
// each direction come out whole, in order, once.
std::vector<TrafficMessage> Decode(const std::vector<WireRun>& runs, size_t piece = SIZE_MAX)
{
    TrafficDecoder decoder;
    std::vector<TrafficMessage> out;
    std::map<TrafficDirection, Bytes> fed, got;
    for (const WireRun& run : runs) {
        const size_t cut = run.direction == TrafficDirection::kNote ? SIZE_MAX : piece;
        for (size_t at = 0; at < run.bytes.size(); at += cut) {
            const size_t n = std::min(cut, run.bytes.size() - at);
            decoder.Feed({run.direction, run.ms, run.bytes.data() + at, n}, out);
        }
        fed[run.direction].insert(fed[run.direction].end(), run.bytes.begin(), run.bytes.end());
    }
    decoder.Flush(out);
    for (const TrafficMessage& message : out)
        got[message.direction].insert(got[message.direction].end(), message.raw.begin(), message.raw.end());
    EXPECT_EQ(got, fed);
    return out;
}

std::vector<std::string> Meanings(const std::vector<TrafficMessage>& messages)
{
    std::vector<std::string> meanings;
    for (const TrafficMessage& message : messages)
        meanings.push_back(TrafficMeaning(message));
    return meanings;
}

// A block as the printer sends it: header (not examined bytes 0xEE), data, trailing byte.
Bytes Block(const std::string& data, uint8_t flags = 0x01, uint8_t errorClass = 0)
{
    Bytes block {0xEE,
                 0xEE,
                 0xEE,
                 0xEE,
                 errorClass,
                 flags,
                 0xEE,
                 0xEE,
                 0x00,
                 static_cast<uint8_t>(data.size() & 0xFF),
                 static_cast<uint8_t>(data.size() >> 8)};
    for (const char c : data)
        block.push_back(static_cast<uint8_t>(c));
    block.push_back(0x5A);
    return block;
}

const Bytes kFrameX {0x01, 0x05, 0x14, 0x00, 0x02, 0x00, 0x30, 0x7C, 0xC7};
const std::string kFrameXMeaning = "quadro: sequ\u00eancia 5, comando 20, extens\u00e3o 0, byte de "
                                   "verifica\u00e7\u00e3o ok, par\u00e2metros: \"0|\"";

TEST(TrafficDecoder, TheExampleFrames)
{
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {kFrameX, kFrameXMeaning},
        {{0x01, 0x00, 0x1A, 0x00, 0x05, 0x00, 0x31, 0x35, 0x7C, 0x32, 0x7C, 0xAF},
         "quadro: sequ\u00eancia 0, comando 26, extens\u00e3o 0, byte de verifica\u00e7\u00e3o ok, "
         "par\u00e2metros: \"15|2|\""},
        {{0x01, 0xFF, 0x1A, 0x00, 0x06, 0x00, 0x31, 0x35, 0x7C, 0x31, 0x34, 0x7C, 0xE2},
         "quadro: sequ\u00eancia 255, comando 26, extens\u00e3o 0, byte de verifica\u00e7\u00e3o ok, "
         "par\u00e2metros: \"15|14|\""},
        {{0x01, 0x03, 0x14, 0x00, 0x00, 0x00, 0x17},
         "quadro: sequ\u00eancia 3, comando 20, extens\u00e3o 0, byte de verifica\u00e7\u00e3o ok, sem "
         "par\u00e2metros"},
        {{0x01, 0x03, 0x14, 0x00, 0x00, 0x00, 0x18},
         "quadro: sequ\u00eancia 3, comando 20, extens\u00e3o 0, byte de verifica\u00e7\u00e3o 18 errado, o certo "
         "\u00e9 17, sem par\u00e2metros"},
    };
    for (const auto& [frame, meaning] : cases) {
        for (const size_t piece : {SIZE_MAX, size_t {1}})
            EXPECT_EQ(Meanings(Decode({{kOut, frame}}, piece)), std::vector<std::string> {meaning});
    }
}

TEST(TrafficDecoder, TheFirstExchangeOfAnXReadingCutAnywhere)
{
    const Bytes block = Block("12|\xE7|");
    const std::vector<WireRun> runs = {
        {TrafficDirection::kNote, {'C', 'o', 'n', 'e', 'c', 't', 'a', 'd', 'o'}, 0},
        {kOut, {0x16}, 200},
        {kIn, {0x16, 0x05}, 250},
        {kOut, kFrameX, 250},
        {kIn, {0x06}, 300},
        {kOut, {0x05, 0x00}, 300},
        {kIn, Bytes(block.begin(), block.begin() + 6), 400},
        {kIn, Bytes(block.begin() + 6, block.begin() + 11), 400},
        {kIn, Bytes(block.begin() + 11, block.end()), 400},
    };
    const std::vector<std::string> expected = {
        "      0 ms  \xC2\xB7  Conectado",
        "    200 ms  \xE2\x86\x92  SYN: pede o n\u00famero de sequ\u00eancia  [16]",
        "    250 ms  \xE2\x86\x90  SYN: o pr\u00f3ximo n\u00famero de sequ\u00eancia \u00e9 5  [16 05]",
        "    250 ms  \xE2\x86\x92  quadro: sequ\u00eancia 5, comando 20, extens\u00e3o 0, byte de "
        "verifica\u00e7\u00e3o ok, par\u00e2metros: "
        "\"0|\"  [01 05 14 00 02 00 30 7C C7]",
        "    300 ms  \xE2\x86\x90  ACK: comando aceito  [06]",
        "    300 ms  \xE2\x86\x92  ENQ: pede o bloco 1  [05 00]",
        "    400 ms  \xE2\x86\x90  cabe\u00e7alho do bloco 1: 5 bytes de dados, \u00faltimo bloco  [EE EE EE EE "
        "00 01 EE EE 00 05 00]",
        "    400 ms  \xE2\x86\x90  dados do bloco 1, 5 bytes, byte final 5A: \"12|\xC3\xA7|\"  [31 32 7C E7 7C "
        "5A]",
    };
    for (const size_t piece : {SIZE_MAX, size_t {1}, size_t {4}}) {
        std::vector<std::string> lines;
        for (const TrafficMessage& message : Decode(runs, piece))
            lines.push_back(TrafficLine(message));
        EXPECT_EQ(lines, expected) << "pieces of " << piece;
    }
}

TEST(TrafficDecoder, RefusalsBusyAnswersSplitBlocksAndGarbage)
{
    // The same frame again: its number is the one after it that the printer expects.
    const std::string kRepeatedFrameXMeaning = "quadro: sequ\u00eancia 5 (esperada 6), comando 20, extens\u00e3o 0, "
                                               "byte de verifica\u00e7\u00e3o ok, par\u00e2metros: \"0|\"";
    const Bytes two = Block(std::string(300, 'x'), 0x00);
    const std::vector<WireRun> runs = {
        {kOut, kFrameX},
        {kIn, {0x15, 0x01, 0x01}},  // refused
        {kOut, kFrameX},
        {kIn, {0x06}},
        {kOut, {0x05, 0x00}},
        {kIn, {0x11, 0x02, 0x05, 0x00, 0x00, 0x00}},  // busy: the same block again
        {kIn, Block("A|", 0x00)},
        {kOut, {0x05, 0x01}},
        {kIn, Bytes(two.begin(), two.begin() + 111)},  // the header and 100 data bytes, then the rest
        {kIn, Bytes(two.begin() + 111, two.end())},
        {kOut, {0x05, 0x02}},
        {kIn, Bytes(two.begin(), two.begin() + 20)},  // stops mid-way: the host gives up
        {kOut, kFrameX},
        {kIn, {0x41, 0x06}},
        {kOut, {0x05, 0x00}},
        {kIn, Bytes(11, 4)},  // a header that carries an error: the link reads no further
    };
    const auto messages = Decode(runs);
    const std::vector<std::string> expected = {
        kFrameXMeaning,
        "NAK: comando recusado, erro 1/1: << Comando Inv\xC3\xA1lido >> O comando enviado para a impressora "
        "n\xC3\xA3o existe no Software B\xC3\xA1sico.",
        kRepeatedFrameXMeaning,
        "ACK: comando aceito",
        "ENQ: pede o bloco 1",
        "DC1: impressora ocupada, bloco 1 ainda n\u00e3o est\u00e1 pronto, erro 2/5: << Erro em par\xC3\xA2metro "
        "do comando >> CRZ inicial "
        "maior que CRZ final.",
        "cabe\u00e7alho do bloco 1: 2 bytes de dados, mais blocos a seguir",
        "dados do bloco 1, 2 bytes, byte final 5A: \"A|\"",
        "ENQ: pede o bloco 2",
        "cabe\u00e7alho do bloco 2: 300 bytes de dados, mais blocos a seguir",
        "dados do bloco 2, 300 bytes, byte final 5A: \"" + std::string(300, 'x') + "\"",
        "ENQ: pede o bloco 3",
        "cabe\u00e7alho do bloco 3: 300 bytes de dados, mais blocos a seguir",
        "dados do bloco 3 incompletos, 9 de 301 bytes: \"xxxxxxxxx\"",
        kRepeatedFrameXMeaning,
        "bytes inesperados: \"A.\"",
        "ENQ: pede o bloco 1",
        "cabe\u00e7alho do bloco 1: erro 4/4: << Erro de contexto >> Erro 4",
    };
    EXPECT_EQ(Meanings(messages), expected);
    EXPECT_EQ(TrafficMeaning(messages[10], 4),
              "dados do bloco 2, 300 bytes, byte final 5A: \"xxxx\xE2\x80\xA6\" (300 bytes)");
}

// A conversation watched from the middle, as a relay sees it: each message timed, and what did
// not come, or came cut, said; then its summary.
TEST(ConversationWatch, FollowsFromTheMiddleTimesAnswersAndSaysWhatIsMissingOrCut)
{
    ConversationWatch watch;
    std::vector<TrafficMessage> out;
    const auto feed = [&](TrafficDirection direction, const Bytes& bytes, int64_t ms) {
        watch.Feed({direction, ms, bytes.data(), bytes.size()}, out);
    };
    const Bytes block = Block("A|");
    feed(kIn, Bytes(block.begin() + 11, block.end()), 0);  // the end of an answer begun before
    feed(kOut, kFrameX, 100);
    feed(kIn, {0x06}, 130);
    feed(kOut, {0x05, 0x00}, 140);
    feed(kIn, block, 160);
    const Bytes refused {0x01, 0x07, 0xC8, 0x00, 0x00, 0x00, 0xCF};  // sequence 7 after 5: refused
    feed(kOut, refused, 200);
    feed(kIn, {0x15, 0x0F, 0x02}, 250);
    feed(kOut, Bytes(kFrameX.begin(), kFrameX.begin() + 4), 300);  // cut short, then silence
    watch.Tick(300 + ConversationWatch::kPauseMs, out);
    feed(kOut, {0x16}, 1000);
    watch.Tick(6999, out);
    const size_t beforeTheWait = out.size();
    watch.Tick(7000, out);
    watch.Tick(9000, out);

    std::vector<std::string> lines;
    for (const TrafficMessage& message : out)
        lines.push_back(TrafficLine(message));
    const std::vector<std::string> expected = {
        "      0 ms  \u2190  bytes inesperados: \"A|Z\"  [41 7C 5A]",
        "    100 ms  \u2192  " + kFrameXMeaning + "  [01 05 14 00 02 00 30 7C C7]",
        "    130 ms  \u2190  ACK: comando aceito; resposta em 30 ms  [06]",
        "    140 ms  \u2192  ENQ: pede o bloco 1  [05 00]",
        "    160 ms  \u2190  cabe\u00e7alho do bloco 1: 2 bytes de dados, \u00faltimo bloco; resposta em 20 ms  "
        "[EE EE EE EE 00 01 EE EE 00 02 00]",
        "    160 ms  \u2190  dados do bloco 1, 2 bytes, byte final 5A: \"A|\"  [41 7C 5A]",
        "    200 ms  \u2192  quadro: sequ\u00eancia 7 (esperada 6), comando 200, extens\u00e3o 0, byte de "
        "verifica\u00e7\u00e3o ok, sem par\u00e2metros  [01 07 C8 00 00 00 CF]",
        "    250 ms  \u2190  NAK: comando recusado, erro 15/2: << Protocolo >> Erro 2; resposta em 50 ms  [15 0F 02]",
        "    300 ms  \u2192  quadro incompleto, 4 de 6 bytes  [01 05 14 00]",
        "   1000 ms  \u2192  SYN: pede o n\u00famero de sequ\u00eancia  [16]",
        "   7000 ms  \u00b7  sem resposta em 6.000 ms",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(beforeTheWait, expected.size() - 1);
    const ConversationSummary& summary = watch.Summary();
    EXPECT_EQ(summary.commands, 2);
    EXPECT_EQ(summary.refusedCount, 1);
    ASSERT_EQ(summary.refused.size(), 1u);
    EXPECT_EQ(summary.refused[0].command, 200);
    EXPECT_EQ(summary.refused[0].errorDetail, 2);
    EXPECT_EQ(summary.unanswered, 1);
    EXPECT_EQ(summary.longestAnswerMs, 50);
}

}  // namespace
