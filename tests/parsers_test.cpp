// The pure parsers and formatters, called directly: kestro-cli's command line, what reaches a
// terminal, a port's state in words, a trace file's line and the version text.
#include "base/version.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/terminal_text.h"
#include "serial/port_list.h"
#include "session/port_texts.h"
#include "trace/trace_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseCliOptions, ReadsCommandsPortsAndValuesInAnyOrder)
{
    const struct {
        std::vector<std::string> words;
        std::string command;  // "" with --help
        std::string port;
        long count;
    } rows[] = {
        {{"--port", "pts/3", "identify"}, "identify", "pts/3", 10},
        {{"lx", "--port=ttyUSB0", "+APPLOG"}, "lx", "ttyUSB0", 10},
        {{"ping", "--count=100000", "--port", "-x"}, "ping", "-x", 100000},
        {{"--port", "COM3", "send", "-5", "0"}, "send", "COM3", 10},  // "-5": send's byte, refused
        {{"ports", "--help"}, "", "", 10},
    };
    for (const auto& row : rows) {
        CliOptions options;
        std::string error;
        SCOPED_TRACE(row.words.front());
        EXPECT_EQ(ParseCliOptions(row.words, options, error), row.command != "send") << error;
        EXPECT_EQ(options.command ? options.command->name : "", row.command);
        EXPECT_EQ(options.help, row.command.empty());
        EXPECT_EQ(options.port.name, row.port);
        EXPECT_EQ(options.count, row.count);
    }
    CliOptions options;
    std::string error;
    EXPECT_FALSE(ParseCliOptions({"ping", "--port", "x", "--count", "100001"}, options, error));
    EXPECT_EQ(error, "valor inv\u00e1lido para --count: '100001'");
}

TEST(TerminalSafe, EscapesEveryControlAndKeepsTheRest)
{
    const std::pair<std::string, std::string> rows[] = {
        {"pts/3", "pts/3"},
        {"a\tb\r\n", "a\\x09b\\x0d\\x0a"},
        {"\x1b[2J\x7f", "\\x1b[2J\\x7f"},
        {"\xc2\x9b"
         "31m",
         "\\x9b31m"},                              // C1's CSI
        {"\xc2\xa0\xc3\xa7", "\xc2\xa0\xc3\xa7"},  // letters stay
        {"C:\\x1b", "C:\\\\x1b"},                  // a backslash cannot forge an escape
        {"\xc2", "\xc2"},
    };
    for (const auto& [text, safe] : rows)
        EXPECT_EQ(TerminalSafe(text), safe) << text;
}

PortStatus Status(PortState state, int error, const std::string& group = {}, bool groupMayOpen = false,
                  const std::string& holder = {}, long pid = 0)
{
    PortStatus status;
    status.state = state;
    status.error = error;
    status.group = group;
    status.groupMayOpen = groupMayOpen;
    status.holder = holder;
    status.pid = pid;
    return status;
}

TEST(PortStateText, NamesTheFactsThatTheChecksFound)
{
    const std::pair<PortStatus, std::string> rows[] = {
        {{}, "livre"},
        {Status(PortState::kNoPermission, 13, "dialout", true), "sem permiss\343o (entre no grupo dialout)"},
        {Status(PortState::kNoPermission, 13, "root"),
         "sem permiss\343o (nem o grupo root pode abrir a porta; pe\347a ao administrador)"},
        {Status(PortState::kNoPermission, 13), "sem permiss\343o (pe\347a acesso ao administrador)"},
        {Status(PortState::kInUse, 16, "", false, "{code}", 812), "em uso por {code} (pid 812)"},
        {Status(PortState::kInUse, 16), "em uso por outro programa"},
        {Status(PortState::kOpenError, 5), "erro ao abrir (5)"},
    };
    for (const auto& [status, text] : rows)
        EXPECT_EQ(PortStateText(status), text);
}

TEST(ReadTraceLine, TakesTimeWayMeaningAndBytesOrSaysWhatIsWrong)
{
    const struct {
        std::string text;
        TraceRead read;
        TraceWay way;
        std::string meaning;
        std::vector<uint8_t> bytes;
    } rows[] = {
        {"    212 ms  \u2190  ACK: comando aceito  [06]\r\n",
         TraceRead::kLine,
         TraceWay::kPrinter,
         "ACK: comando aceito",
         {0x06}},
        {"0 ms  \u2192  dados: \"[1]\"  [05 00]", TraceRead::kLine, TraceWay::kHost, "dados: \"[1]\"", {5, 0}},
        {"7 ms  \u2192  n\u00e3o enviado, a escrita falhou  [16]",
         TraceRead::kLine,
         TraceWay::kNotSent,
         "n\u00e3o enviado, a escrita falhou",
         {0x16}},
        {"3 ms  \u00b7  Conectado  [06]", TraceRead::kLine, TraceWay::kNote, "Conectado  [06]", {}},
        {"# kestro-trace 1", TraceRead::kSkipped, TraceWay::kNote, "", {}},
        {" \t", TraceRead::kSkipped, TraceWay::kNote, "", {}},
        {"ms  \u2192  x  [06]", TraceRead::kBad, TraceWay::kNote, "", {}},
        {"9999999999999999999 ms  \u2192  x  [06]", TraceRead::kBad, TraceWay::kNote, "", {}},
        {"5 ms  ->  x  [06]", TraceRead::kBad, TraceWay::kNote, "", {}},
        {"5 ms  \u2192  x  [0G]", TraceRead::kBad, TraceWay::kNote, "", {}},
        {"5 ms  \u2192  x", TraceRead::kBad, TraceWay::kNote, "", {}},
    };
    for (const auto& row : rows) {
        TraceLine line;
        std::string why;
        SCOPED_TRACE(row.text);
        ASSERT_EQ(ReadTraceLine(row.text, line, why), row.read);
        EXPECT_EQ(why.empty(), row.read != TraceRead::kBad);
        if (row.read == TraceRead::kLine) {
            EXPECT_EQ(line.way, row.way);
            EXPECT_EQ(line.meaning, row.meaning);
            EXPECT_EQ(line.bytes, row.bytes);
        }
    }
}

TEST(FormatVersionText, HasTwoDigitsPerNumber)
{
    struct Row {
        int major, minor, release;
        const char* text;
    } const rows[] = {
        {1, 0, 0, "v01.00.00"}, {12, 34, 56, "v12.34.56"}, {0, 0, 0, "v00.00.00"}, {100, 2, 3, "v100.02.03"}};
    for (const auto& row : rows)
        EXPECT_EQ(FormatVersionText(row.major, row.minor, row.release), row.text);
}

}  // namespace
