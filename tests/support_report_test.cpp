// The support report's text from facts given: what the summary says with nothing to look at, and
// the names that the report must not carry.
#include "link/frame_layout.h"
#include "session/report_gathering.h"
#include "session/support_report.h"

#include <gtest/gtest.h>

namespace {

TEST(SupportReport, WithNoPortAtAllEachCheckSaysWhatFailedAndWhatToDo)
{
    SupportReport report;
    std::string code;
    const std::string text = ReportText(report, code);
    for (const char* line : {"\nFALHA    Portas: nenhuma livre. Pr\u00f3ximo passo: ligue o cabo ou o adaptador",
                             "\nOK       Adaptadores: nenhum com problema.\n",
                             "\nFALHA    Impressora: nenhuma porta para procurar. Pr\u00f3ximo passo:",
                             "\nATEN\u00c7\u00c3O  Linha: n\u00e3o testada: nenhuma impressora identificada.\n",
                             "\nOK       \u00daltima falha: nenhuma nesta sess\u00e3o.\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

TEST(SupportReport, APortLeftOutBesideAFreeOneIsWordedOnceInTheSummary)
{
    SupportReport report;
    PortReport free;
    free.port = {"pts/0", "/dev/pts/0", ""};
    PortReport denied;
    denied.port = {"ttyS0", "/dev/ttyS0", ""};
    denied.status.state = PortState::kNoPermission;
    denied.status.group = "dialout";
    report.survey.ports = {free, denied};
    std::string code;
    const std::string text = ReportText(report, code);
    EXPECT_NE(text.find("ttyS0: sem permiss\u00e3o"), std::string::npos) << text;
}

TEST(SupportReport, TheUserAndComputerNamesAreReplacedWhereverTheyStandButThePrinterIsKept)
{
    SupportReport report;
    report.system.userName = "joana";
    report.system.computerName = "CAIXA01";
    report.system.system = "Linux on caixa01";
    PortReport port;
    port.port = {"/home/joana/ttyV0", "/home/joana/ttyV0", ""};
    port.status.state = PortState::kInUse;
    port.status.holder = "joana-tool";
    report.survey.ports.push_back(port);
    PortProbe probe;
    probe.port = ReadPortName("ttyUSB0");
    probe.outcome = PortProbe::kPrinter;
    probe.identified = true;
    probe.identification = {"JOANA-2000", "NS42", "010203"};
    report.printer = probe;
    report.traffic = {"      0 ms  \u00b7  Conectado (/home/joana/ttyV0, 01/03/2025 14:03:22)"};
    std::string code;
    const std::string text = ReportText(report, code);
    EXPECT_EQ(text.find("joana/"), std::string::npos) << text;
    EXPECT_EQ(text.find("aixa01"), std::string::npos) << text;
    EXPECT_NE(text.find("/home/<usu\u00e1rio>/ttyV0"), std::string::npos) << text;
    EXPECT_NE(text.find("Modelo: JOANA-2000"), std::string::npos);
    // The code is the text's, whatever line ends the file travels with.
    std::string body = text.substr(text.find('\n') + 1), crlf;
    for (const char c : body)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(ReportCode(crlf), code);
    EXPECT_NE(ReportCode(body + "x"), code);
}

TEST(SupportReport, TrafficWithAnXReadingIsFlaggedAndOnlyTheNewestThatFitIsKept)
{
    TrafficMessage reading;
    reading.direction = TrafficDirection::kSent;
    reading.raw = {frame::kSoh, 0, 20, 0, 2, 0, '0', '|', 0};
    TrafficMessage note;
    note.meaning = "Conectado";
    SupportReport report;
    ReportGathering::AddTraffic(report, {reading, note, note}, 1 << 20);
    EXPECT_TRUE(report.holdsReadingX);
    const std::vector<ReportCheck> checks = SummaryChecks(report);
    EXPECT_EQ(checks.back().text, "Tráfego: contém uma Leitura X, que traz os totais da loja.");
    // Room for the two notes only: the reading is cut, and the report says so.
    SupportReport cut;
    ReportGathering::AddTraffic(cut, {reading, note, note}, 2 * (report.traffic[1].size() + 1));
    EXPECT_FALSE(cut.holdsReadingX);
    EXPECT_EQ(cut.traffic.size(), 2u);
    EXPECT_GT(cut.trafficCutAt, 0u);
}

}  // namespace
