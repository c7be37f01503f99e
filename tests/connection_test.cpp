// The real window against the simulated printer on a pseudo-terminal (under Wine, two joined COM
// ports): connecting and identifying, disconnecting, the X reading, busy printers and "Cancelar",
// response fields and closing.
#include "serial/system.h"
#include "session/port_texts.h"
#include "sim/frame_reader.h"
#include "sim/printer_sim.h"
#include "tests/support/link_test_support.h"
#include "tests/support/port_holder.h"
#include "tests/support/spare_port.h"
#include "tests/support/test_seams.h"
#include "tests/support/wait_for.h"
#include "ui/main_window.h"
#include "ui/traffic_view.h"
#include "vocab/cp1252.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#ifndef _WIN32
#include <fcntl.h>
#endif

namespace {

using namespace std::chrono_literals;

const QString k22(22, QChar('_'));

// Shows the window and waits for its port list, which is filled once the window has been painted.
bool ShowListed(TfmMainComunic& window)
{
    window.show();
    return WaitFor([&] {
        QCoreApplication::processEvents();
        return window.findChild<QGroupBox*>("gbPorta")->isEnabled();
    });
}

// A model with letters outside ASCII, as the printer sends it: Windows-1252.
PrinterSim::Options SimOptions()
{
    PrinterSim::Options options;
    options.identity.model = "ECF A\xE7\xE3o";
    return options;
}

// The tags of interest, in the order they were logged.
std::vector<std::string> Only(const std::vector<std::string>& tags, const std::set<std::string>& wanted)
{
    std::vector<std::string> kept;
    for (const auto& tag : tags) {
        if (wanted.count(tag) != 0)
            kept.push_back(tag);
    }
    return kept;
}

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Start());
        MainWindowSeams seams;
        seams.candidates = [this](const std::vector<std::string>&) {
            std::vector<PortCandidate> ports = portsBefore;
            ports.push_back({sim.SlavePath(), sim.PortName(), ""});
            return ports;
        };
        seams.pause = [this](int ms) {
            pauses.push_back({ms, Find<QLabel>("lbStCancel")->isVisible(), Find<QGroupBox>("gbPorta")->isEnabled(),
                              Find<QGroupBox>("gbTeste")->isEnabled()});
            if (onPause)
                onPause();
        };
        seams.pacing = pacing;
        seams.reportFolder = reports.path().toStdString();
        window = std::make_unique<TfmMainComunic>(std::vector<std::string> {"kestro"}, seams);
        ASSERT_TRUE(ShowListed(*window));
        window->findChild<QComboBox*>("cbPorta")->setCurrentIndex(0);
        window->cbPortaChange();
        ASSERT_TRUE(Find<QPushButton>("btRun")->isEnabled());
    }
    void TearDown() override { window.reset(); }

    void Connect()
    {
        QTest::mouseClick(Find<QPushButton>("btRun"), Qt::LeftButton);
        ASSERT_TRUE(window->Session().Connected());
        sim.ClearReceived();
        log.Clear();
        pauses.clear();
    }

    // Right-clicks the window near the left edge of a control (clear of a group's buttons), through
    // the window system as the user's click goes, and returns the popup's entries ("text shortcut",
    // " (disabled)" when so); then clicks the entry named pick, or closes the popup.
    std::vector<std::string> RightClick(const char* control, const QString& pick = {})
    {
        std::vector<std::string> entries;
        bool seen = false;
        // Looked for from a timer: the popup may run an event loop of its own.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr || seen)
                return;
            seen = true;
            poll.stop();
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                const QString shortcut = action->shortcut().toString();
                entries.push_back((action->text() + (shortcut.isEmpty() ? "" : " " + shortcut) +
                                   (action->isEnabled() ? "" : " (disabled)"))
                                      .toStdString());
                if (action->text() == pick)
                    chosen = action;
            }
            if (chosen != nullptr)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
            else
                menu->close();
        });
        poll.start(10);
        const QWidget* over = Find<QWidget>(control);
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {},
                          over->mapTo(window.get(), QPoint(8, over->height() / 2)));
        EXPECT_TRUE(WaitFor([&] {
            QCoreApplication::processEvents();
            return seen;
        })) << "no popup over "
            << control;
        return entries;
    }

    // Prepares an X reading on the current link.
    void PrepareXReading() const
    {
        PrinterSessionTestSeam::Link(window->Session())->SetCmd(20, 0);
        PrinterSessionTestSeam::Link(window->Session())->AddParam(0);
    }

    template <typename Widget>
    Widget* Find(const char* name) const
    {
        return window->findChild<Widget*>(name);
    }
    QString Text(const char* label) const { return Find<QLabel>(label)->text(); }
    QString Status() const { return Text("lbSt"); }

    // True when another program could open the port now: nothing in this process holds it.
    bool PortFree() const { return ProbeSerialPort(sim.SlavePath()); }

    // The command frames the simulator received.
    std::vector<HostMessage> Frames() const
    {
        const std::vector<uint8_t> wire = sim.Received();
        FrameReader reader;
        reader.Feed(wire.data(), wire.size());
        std::vector<HostMessage> frames;
        while (auto message = reader.Next()) {
            if (message->kind == HostMessage::Kind::Frame)
                frames.push_back(*message);
        }
        return frames;
    }

    struct PauseSeen {
        int ms;
        bool cancelShown, portaEnabled, testeEnabled;
    };

    LinkPacing pacing = FastPacing();
    QTemporaryDir reports;  // the Documents folder of the support report
    LogCapture log;
    std::vector<PortCandidate> portsBefore;  // listed before the simulator's port
    PrinterSim sim {SimOptions()};
    std::unique_ptr<TfmMainComunic> window;
    std::vector<PauseSeen> pauses;
    std::function<void()> onPause;
};

// The window's tests in which the printer leaves a frame unanswered: that wait takes 1 s, not 5.
class SilentPrinterTest : public ConnectionTest {
protected:
    SilentPrinterTest() { pacing = SilencePacing(); }
};

// ---- Searching for the printer ---------------------------------------------------------------

TEST_F(ConnectionTest, ContextMenuSearchPicksThePortWhereThePrinterAnswered)
{
    SparePort silent;
    portsBefore = {{silent.Path(), silent.Name(), ""}};
    RightClick("gb0", "Localizar ECF");
    EXPECT_EQ(Find<QComboBox>("cbPorta")->count(), 2);
    EXPECT_EQ(Find<QComboBox>("cbPorta")->currentText().toStdString(), sim.PortName());
    EXPECT_EQ(Text("lbCom").toStdString(), sim.PortName());
    EXPECT_TRUE(Find<QPushButton>("btRun")->isEnabled());
    EXPECT_TRUE(Find<QGroupBox>("gbPorta")->isEnabled());
    EXPECT_EQ(Status().toStdString(), "ECF ECF A\u00e7\u00e3o em " + sim.PortName());
    EXPECT_FALSE(window->Session().Connected());
}

TEST_F(ConnectionTest, SearchSaysWhichPrinterItPickedAndHowManyMoreAnswered)
{
    PrinterSim::Options options;
    options.identity.model = "KS-2000";
    PrinterSim other(options);
    ASSERT_TRUE(other.Start());
    SparePort silent;
    portsBefore = {{other.SlavePath(), other.PortName(), ""}, {silent.Path(), silent.Name(), ""}};
    RightClick("gb0", "Localizar ECF");
    const std::string picked = Find<QComboBox>("cbPorta")->currentText().toStdString();
    const bool otherPicked = picked == other.PortName();
    const std::string model = otherPicked ? "KS-2000" : "ECF A\u00e7\u00e3o";
    EXPECT_EQ(Status().toStdString(), "ECF " + model + " em " + picked + " (e mais 1)");
    const std::string tip = Find<QLabel>("lbSt")->toolTip().toStdString();
    EXPECT_NE(tip.find("\n" + (otherPicked ? sim.PortName() : other.PortName())), std::string::npos) << tip;
    EXPECT_EQ(tip.find(silent.Name()), std::string::npos) << tip;
}

// Two printers at the most: under Wine there are two pairs of joined ports.
TEST_F(SilentPrinterTest, SearchPicksAPrinterThatIdentifiedItselfAndSaysWhyTheOthersDidNot)
{
    PrinterSim refusing;
    ASSERT_TRUE(refusing.Start());
    refusing.SetDefaultPlan(SimPlan::Answer(SimAnswer::Refuse, {8, 1}));
    portsBefore = {{refusing.SlavePath(), refusing.PortName(), ""}};
    const std::string refused = refusing.PortName() + ": responde, mas n\u00e3o se identificou (recusou: 8/1)";
    const std::string unanswered = sim.PortName() + ": responde, mas n\u00e3o se identificou (sem resposta)";
    // The window's own printer identifies itself; then it goes silent after the SYN, and the
    // printer that refuses is picked, the status line saying so.
    for (const bool identifies : {true, false}) {
        sim.SetDefaultPlan(identifies ? SimPlan() : SimPlan::Answer(SimAnswer::Silent));
        RightClick("gb0", "Localizar ECF");
        const std::string picked =
            identifies ? "ECF ECF A\u00e7\u00e3o em " + sim.PortName() : "ECF em " + refused;
        EXPECT_EQ(Status().toStdString(), picked + " (e mais 1)");
        EXPECT_EQ(Find<QComboBox>("cbPorta")->currentText().toStdString(),
                  identifies ? sim.PortName() : refusing.PortName());
        const std::string tip = Find<QLabel>("lbSt")->toolTip().toStdString();
        EXPECT_NE(tip.find("\n" + (identifies ? refused : unanswered)), std::string::npos) << tip;
    }
}

TEST_F(ConnectionTest, RightClickOffersTheSearchWhilePortaIsEnabledTheLineTestWhileIdleAndConnected)
{
    const std::string test = "Testar comunica\u00e7\u00e3o";
    // "Copiar identificação" while the header shows what was read.
    const std::string copy = "Copiar identifica\u00e7\u00e3o";
    // "Monitorar outro programa" while a port is chosen and nothing holds it; the support report's,
    // while no command runs; the opening's, always.
    const std::string monitor = "Monitorar outro programa", noMonitor = monitor + " (disabled)";
    const std::string report = "Gerar relat\u00f3rio para o suporte Ctrl+R",
                      open = "Abrir relat\u00f3rio de suporte";
    const std::vector<std::string> offered = {"Localizar ECF",      test,   monitor, "Tr\u00e1fego F2",
                                              copy + " (disabled)", report, open};
    const std::vector<std::string> notOffered = {
        "Localizar ECF (disabled)", test + " (disabled)",   noMonitor, "Tr\u00e1fego F2",
        copy + " (disabled)",       report + " (disabled)", open};
    const std::vector<std::string> connected = {
        "Localizar ECF (disabled)", test, noMonitor, "Tr\u00e1fego F2", copy, report, open};
    const std::vector<std::string> reading = {"Localizar ECF (disabled)",
                                              test + " (disabled)",
                                              noMonitor,
                                              "Tr\u00e1fego F2",
                                              copy,
                                              report + " (disabled)",
                                              open};
    EXPECT_EQ(RightClick("gb0"), offered);
    EXPECT_EQ(RightClick("cbPorta"), offered);
    std::vector<std::string> duringConnect, duringReading;
    onPause = [&] {
        if (duringConnect.empty())
            duringConnect = RightClick("gbPorta");
    };
    Connect();
    EXPECT_EQ(duringConnect, notOffered);
    EXPECT_EQ(RightClick("gbTeste"), connected);
    onPause = [&] {
        if (duringReading.empty())
            duringReading = RightClick("gbTeste");
    };
    QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);
    EXPECT_EQ(duringReading, reading);
    onPause = nullptr;
    QTest::mouseClick(Find<QPushButton>("btStop"), Qt::LeftButton);
    EXPECT_EQ(RightClick("gbPorta"), offered);
}

#ifndef _WIN32
// Another program on the pseudo-terminal that the window makes (Linux), through the relay to the
// printer: every message in the traffic view as it passes, the ports named on the status line, "Parar".
TEST_F(ConnectionTest, MonitorShowsAnotherProgramsConversationLiveUntilParar)
{
    QTimer answer;  // the question comes as a dialog of its own: the pseudo-terminal, the first choice
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            answer.stop();
            QTest::keyClick(dialog, Qt::Key_Return);
        }
    });
    answer.start(10);
    RightClick("gb0", "Monitorar outro programa");
    const QString prefix = QString::fromUtf8("Monitorando: ") + QString::fromStdString(sim.PortName()) +
                           QString::fromUtf8(" \u2194 /dev/pts/");
    ASSERT_TRUE(Status().startsWith(prefix)) << Status().toStdString();
    EXPECT_FALSE(Find<QGroupBox>("gbPorta")->isEnabled());
    const auto* table = window->findChild<QTableView*>("tvTrafego");
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->window()->isVisible());

    // The other program: the SYN and a model query, byte by byte as the simulator answers them.
    const std::string other = "/dev/pts/" + Status().mid(prefix.size()).toStdString();
    std::vector<uint8_t> got;
    std::thread host([&] {
        const int fd = ::open(other.c_str(), O_RDWR | O_NOCTTY);
        const std::vector<uint8_t> sent = {0x16, 0x01, 0x00, 0x1A, 0x00, 0x05, 0x00,
                                           0x31, 0x35, 0x7C, 0x32, 0x7C, 0xAF};
        for (const auto& [from, count] : {std::pair<size_t, size_t> {0, 1}, {1, 12}}) {
            if (::write(fd, sent.data() + from, count) != static_cast<ssize_t>(count))
                break;
            WaitFor([&] {
                uint8_t chunk[64];
                const ssize_t n = ::read(fd, chunk, sizeof chunk);
                got.insert(got.end(), chunk, chunk + std::max<ssize_t>(n, 0));
                return got.size() >= (from == 0 ? 2u : 3u);
            });
        }
        ::close(fd);
    });
    const auto meanings = [&] {
        std::vector<std::string> shown;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            shown.push_back(table->model()->index(row, 2).data().toString().toStdString());
        return shown;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return meanings().size() >= 6; }, 10000));
    host.join();
    EXPECT_EQ(got, std::vector<uint8_t>({0x16, 0x00, 0x06}));
    const std::vector<std::string> shown = meanings();
    ASSERT_GE(shown.size(), 6u);
    EXPECT_EQ(shown[0].rfind("Monitorando (" + sim.PortName() + " e /dev/pts/", 0), 0u) << shown[0];
    EXPECT_EQ(shown[1], "o outro programa abriu a porta " + other);
    EXPECT_EQ(shown[2], "SYN: pede o n\u00famero de sequ\u00eancia");
    EXPECT_EQ(shown[3].rfind("SYN: o pr\u00f3ximo n\u00famero de sequ\u00eancia \u00e9 0; resposta em ", 0), 0u);
    EXPECT_NE(shown[4].find("\"15|2|\""), std::string::npos) << shown[4];
    EXPECT_EQ(shown[5].rfind("ACK: comando aceito; resposta em ", 0), 0u) << shown[5];

    QLabel* stop = Find<QLabel>("lbStStop");
    QGroupBox* panel = Find<QGroupBox>("gbCmdSt");
    EXPECT_TRUE(QRect(panel->mapTo(window.get(), QPoint()), panel->size())
                    .contains(QRect(stop->mapTo(window.get(), QPoint()), stop->size())))
        << "\"Parar\" outside the status panel";
    QTest::mouseClick(stop, Qt::LeftButton, {}, stop->rect().center());
    EXPECT_EQ(Status(), "");
    EXPECT_FALSE(Find<QLabel>("lbStStop")->isVisible());
    EXPECT_TRUE(Find<QGroupBox>("gbPorta")->isEnabled());
    EXPECT_TRUE(PortFree());
}
#endif

TEST_F(ConnectionTest, SearchKeepsTheWindowAliveAndEscapeCancelsIt)
{
    SparePort silent;
    MainWindowSeams seams;  // the real answer wait: the silent port would take 6 s
    seams.candidates = [&](const std::vector<std::string>&) {
        return std::vector<PortCandidate> {{silent.Path(), silent.Name(), ""}};
    };
    TfmMainComunic slow({"kestro"}, seams);
    ASSERT_TRUE(ShowListed(slow));
    QString shown;
    QTimer::singleShot(100, &slow, [&] {
        shown = slow.findChild<QLabel*>("lbSt")->text();
        QTest::keyClick(&slow, Qt::Key_Escape);
    });
    const auto start = std::chrono::steady_clock::now();
    slow.findChild<QAction*>("acLocalizaECF")->trigger();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(shown, "Localizando ECF...");
    EXPECT_EQ(slow.findChild<QComboBox*>("cbPorta")->currentIndex(), -1);
    EXPECT_FALSE(slow.findChild<QPushButton*>("btRun")->isEnabled());
}

TEST_F(ConnectionTest, SearchPicksTheFirstPrinterAtOnceAndFreesTheOtherPorts)
{
    SparePort silent;
    MainWindowSeams seams;  // the real answer wait: the silent port would take 6 s
    seams.candidates = [&](const std::vector<std::string>&) {
        return std::vector<PortCandidate> {{silent.Path(), silent.Name(), ""},
                                           {sim.SlavePath(), sim.PortName(), ""}};
    };
    TfmMainComunic search({"kestro"}, seams);
    ASSERT_TRUE(ShowListed(search));
    const auto start = std::chrono::steady_clock::now();
    search.findChild<QAction*>("acLocalizaECF")->trigger();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(search.findChild<QComboBox*>("cbPorta")->currentText().toStdString(), sim.PortName());
    EXPECT_TRUE(ProbeSerialPort(silent.Path()));
}

// ---- Connecting and identifying ------------------------------------------------------------

TEST_F(ConnectionTest, ConnectReadsTheThreeItemsAndShowsThem)
{
    QTest::mouseClick(Find<QPushButton>("btRun"), Qt::LeftButton);

    const auto tags = log.Tags();
    EXPECT_EQ(Only(tags, {"Connecting...", "New Command", "New Command Ok", "Loading Config...", "RetResp",
                          "RecebeBuffer FIM", "End", "Running", "L Fim"}),
              (std::vector<std::string> {"Connecting...", "New Command", "New Command Ok", "Loading Config...",
                                         "RetResp", "RecebeBuffer FIM", "End", "RetResp", "RecebeBuffer FIM",
                                         "End", "RetResp", "RecebeBuffer FIM", "End", "Running"}));
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    const char* queries[] = {"15|2|", "15|4|", "15|14|"};
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].cmd, 26);
        EXPECT_EQ(frames[i].ext, 0);
        EXPECT_EQ(frames[i].params, queries[i]);
    }
    EXPECT_EQ(Text("lbFS"), QString::fromUtf8("ECF Ação"));
    EXPECT_EQ(Text("lbNS"), "KS010000000000000042");
    EXPECT_EQ(Text("lbSB"), "01.02.03");
    EXPECT_EQ(Status(), "");
    EXPECT_TRUE(window->Session().Connected());
    ASSERT_NE(PrinterSessionTestSeam::Link(window->Session()), nullptr);
    EXPECT_TRUE(Find<QPushButton>("btStop")->isVisible());
    EXPECT_TRUE(Find<QPushButton>("btStop")->isEnabled());
    EXPECT_TRUE(Find<QGroupBox>("gbPorta")->isEnabled());
    EXPECT_TRUE(Find<QGroupBox>("gbTeste")->isVisible());
    // Between commands the link keeps the port closed.
    EXPECT_TRUE(PortFree());
}

TEST_F(ConnectionTest, AnItemNotReadLeavesTheWindowDisconnected)
{
    struct Row {
        const char* name;
        SimPlan sbPlan;
    } const rows[] = {
        {"empty first field", SimPlan::WithBlocks({"|"})},
        {"no field at all", SimPlan::WithBlocks({"010203"})},
        {"query refused", SimPlan::Answer(SimAnswer::Refuse, {1, 1})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        log.Clear();
        sim.QueuePlan(SimPlan(), 2);
        sim.QueuePlan(row.sbPlan);
        QTest::mouseClick(Find<QPushButton>("btRun"), Qt::LeftButton);

        const auto tags = log.Tags();
        EXPECT_EQ(CountTag(tags, "RetResp"), 3);
        EXPECT_EQ(CountTag(tags, "Running"), 0);
        ASSERT_FALSE(tags.empty());
        EXPECT_EQ(tags.back(), "L Fim");
        EXPECT_EQ(Status(), "Erro ao ler ECF");
        EXPECT_EQ(Text("lbFS"), QString::fromUtf8("ECF Ação"));
        EXPECT_EQ(Text("lbNS"), "KS010000000000000042");
        EXPECT_EQ(Text("lbSB"), "");
        EXPECT_EQ(PrinterSessionTestSeam::Link(window->Session()), nullptr);
        EXPECT_FALSE(window->Session().Connected());
        EXPECT_TRUE(Find<QPushButton>("btRun")->isVisible());
        EXPECT_TRUE(Find<QPushButton>("btRun")->isEnabled());
        EXPECT_TRUE(Find<QGroupBox>("gbPorta")->isEnabled());
        EXPECT_TRUE(PortFree());
    }
}

// Under Wine a held port opens all the same, and the simulator's line, two joined COM ports, cannot
// vanish: this test and ExecCmdOnAPortThatDoesNotReopen have nothing to check there.
TEST_F(ConnectionTest, PortThatDoesNotOpenSendsNoQuery)
{
    SKIP_WITHOUT_HELD_PORTS();
    struct Row {
        const char* name;
        std::function<std::unique_ptr<PortHolder>()> block;
    } const rows[] = {
        {"held by another program",
         [this] {
             auto holder = std::make_unique<PortHolder>(sim.SlavePath());
             EXPECT_TRUE(holder->held);
             return holder;
         }},
        {"line gone since the scan",  // last: the simulator's port is gone for good
         [this] {
             sim.DropLine();
             return std::unique_ptr<PortHolder>();
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        log.Clear();
        window->SetSt("old text");
        const auto holder = row.block();
        QTest::mouseClick(Find<QPushButton>("btRun"), Qt::LeftButton);

        const auto tags = log.Tags();
        const auto ok = std::find(tags.begin(), tags.end(), "New Command Ok");
        ASSERT_NE(ok, tags.end());
        ASSERT_NE(ok + 1, tags.end());
        EXPECT_EQ(ok[1], "L Fim");
        EXPECT_EQ(CountTag(tags, "SerialOpen NOk"), 1);
        EXPECT_EQ(CountTag(tags, "Loading Config..."), 0);
        EXPECT_TRUE(
            Status().startsWith(QString("Erro ao abrir Porta Serial! (%1) ").arg(window->Session().OpenError())))
            << Status().toStdString();
        EXPECT_EQ(sim.Counts().frames, 0u);
        EXPECT_EQ(sim.Counts().syns, 0u);
        EXPECT_EQ(PrinterSessionTestSeam::Link(window->Session()), nullptr);
        EXPECT_FALSE(window->Session().Connected());
        EXPECT_TRUE(Find<QGroupBox>("gbPorta")->isEnabled());
        EXPECT_TRUE(Find<QPushButton>("btRun")->isEnabled());
    }
}

TEST_F(ConnectionTest, DisconnectDestroysTheLinkAndConnectWorksAgain)
{
    Connect();
    QTest::mouseClick(Find<QPushButton>("btStop"), Qt::LeftButton);

    EXPECT_EQ(log.Tags(), std::vector<std::string> {"Stop"});
    EXPECT_EQ(PrinterSessionTestSeam::Link(window->Session()), nullptr);
    EXPECT_FALSE(window->Session().Connected());
    for (const char* label : {"lbFS", "lbNS", "lbSB"})
        EXPECT_EQ(Text(label), k22) << label;
    EXPECT_TRUE(Find<QPushButton>("btRun")->isVisible());
    EXPECT_TRUE(Find<QPushButton>("btRun")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("btStop")->isVisible());
    EXPECT_EQ(Status(), "");
    {
        PortHolder other(sim.SlavePath());
        EXPECT_TRUE(other.held);
    }
    QTest::mouseClick(Find<QPushButton>("btRun"), Qt::LeftButton);
    EXPECT_TRUE(window->Session().Connected());
    EXPECT_EQ(Text("lbSB"), "01.02.03");
}

// ---- The X reading -------------------------------------------------------------------------

TEST_F(SilentPrinterTest, XReadingOutcomesOnTheStatusLine)
{
    struct Row {
        const char* name;
        SimPlan plan;
        std::vector<std::string> tags;  // the send loop's outcome and the end of the command
        QString status;
    } const rows[] = {
        {"done", SimPlan(), {"SendCmd ACK", "ExecCmd Fim"}, ""},
        {"refused", SimPlan::Answer(SimAnswer::Refuse, {2, 1}), {"SendCmd LNE", "ExecCmd Fim"}, "Erro!"},
        {"no answer", SimPlan::Answer(SimAnswer::Silent), {"SendCmd LNE", "ExecCmd Fim"}, "Erro!"},
        {"unexpected answer", SimPlan::Answer(SimAnswer::Garbage), {"SendCmd LNE", "ExecCmd Fim"}, "Erro!"},
    };
    Connect();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        log.Clear();
        // A wait first, so that the groups can be seen during the command.
        sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}));
        sim.QueuePlan(row.plan);
        pauses.clear();
        QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);

        EXPECT_EQ(Only(log.Tags(), {"SendCmd ACK", "SendCmd LNE", "ExecCmd Fim"}), row.tags);
        EXPECT_EQ(Status(), row.status);
        ASSERT_FALSE(pauses.empty());
        EXPECT_FALSE(pauses[0].portaEnabled);
        EXPECT_FALSE(pauses[0].testeEnabled);
        EXPECT_TRUE(Find<QGroupBox>("gbPorta")->isEnabled());
        EXPECT_TRUE(Find<QGroupBox>("gbTeste")->isEnabled());
        EXPECT_TRUE(Find<QPushButton>("btLX")->isEnabled());
        EXPECT_TRUE(window->Session().Connected());
        EXPECT_NE(PrinterSessionTestSeam::Link(window->Session()), nullptr);
        EXPECT_TRUE(PortFree());
    }
    const auto frames = Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().cmd, 20);
    EXPECT_EQ(frames.back().params, "0|");
}

// An adapter pulled during "Emitir LX" ends it at once with the text that says so, and the
// window stays connected; plugged back under the same name (a symbolic link re-pointed at a new
// port), "Emitir LX" works again without "Desconectar" and "Conectar".
TEST_F(ConnectionTest, PulledAdapterIsSaidAtOnceAndPluggingItBackIsEnough)
{
#ifdef _WIN32
    GTEST_SKIP() << "the adapter is plugged back as a symbolic link to a new pseudo-terminal; under Wine "
                    "win_link_test hangs up the line behind a COM port instead";
#endif
    const QString plug = QDir::tempPath() + "/kestro-plug-" + QString::number(::getpid());
    const auto plugInto = [&](const PrinterSim& printer) {
        QFile::remove(plug);
        ASSERT_TRUE(QFile::link(QString::fromStdString(printer.SlavePath()), plug));
    };
    plugInto(sim);
    int steps = 0;
    int busyPauses = 0;
    std::function<void()> onStep = [] {};
    std::function<void()> onBusyPause = [] {};
    MainWindowSeams seams;
    seams.candidates = [&](const std::vector<std::string>&) {
        return std::vector<PortCandidate> {{plug.toStdString(), plug.toStdString(), ""}};
    };
    seams.pacing = FastPacing();
    seams.pacing.wait = [&](std::chrono::milliseconds step) {
        std::this_thread::sleep_for(step);
        ++steps;
        onStep();
    };
    seams.pause = [&](int ms) {
        busyPauses += ms == 100;
        onBusyPause();
    };
    std::vector<AdapterReport> adapters;
    seams.adapters = [&] { return adapters; };
    TfmMainComunic plugged({"kestro"}, seams);
    ASSERT_TRUE(ShowListed(plugged));
    plugged.findChild<QComboBox*>("cbPorta")->setCurrentIndex(0);
    plugged.cbPortaChange();
    QTest::mouseClick(plugged.findChild<QPushButton*>("btRun"), Qt::LeftButton);
    ASSERT_TRUE(plugged.Session().Connected());
    const auto emitirLX = [&](const QString& status) {
        QTest::mouseClick(plugged.findChild<QPushButton*>("btLX"), Qt::LeftButton);
        EXPECT_EQ(plugged.findChild<QLabel*>("lbSt")->text(), status);
        EXPECT_TRUE(plugged.Session().Connected());
        EXPECT_TRUE(plugged.findChild<QPushButton*>("btLX")->isEnabled());
    };

    sim.QueuePlan(SimPlan::Answer(SimAnswer::Silent));  // pulled while the answer is awaited
    int pulledAt = -1;
    onStep = [&] {
        if (pulledAt < 0 && !sim.Received().empty()) {
            sim.DropLine();
            pulledAt = steps;
        }
    };
    emitirLX("Porta serial desconectada");
    EXPECT_LE(steps - pulledAt, 2);

    PrinterSim back;
    ASSERT_TRUE(back.Start());
    plugInto(back);
    emitirLX("");
    EXPECT_EQ(back.Counts().frames, 1u);

    back.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}), 5);  // pulled while busy is waited out
    busyPauses = 0;
    onBusyPause = [&] {
        if (!back.LineDropped())
            back.DropLine();
    };
    emitirLX("Porta serial desconectada");
    EXPECT_EQ(busyPauses, 1);

    // Not plugged back, and the system sees the adapter under another number: said as "Conectar" says it.
    QFile::remove(plug);
    const UsbIdentity ftdi {true, 0x0403, 0x6001, 0x0600, "A50285BI", "FTDI FT232R"};
    adapters = {{plug.toStdString(), ftdi, "FTDI FT232R", false}, {"ttyUSB7", ftdi, "FTDI FT232R", true}};
    emitirLX(QString::fromUtf8("Erro ao abrir Porta Serial! (2)\n%1 não encontrada; o adaptador FTDI FT232R "
                               "(A50285BI) está agora em ttyUSB7")
                 .arg(plug));
}

TEST_F(ConnectionTest, APortGoneBetweenTwoQueriesIsSaidBesideErroAoLerEcf)
{
#ifdef _WIN32
    GTEST_SKIP() << "the adapter's name is a symbolic link to the pseudo-terminal";
#endif
    // The adapter's by-id name, gone once the first query runs: the cable pulled between queries.
    const QString byId = QDir::tempPath() + "/kestro-by-id-" + QString::number(::getpid());
    ASSERT_TRUE(QFile::link(QString::fromStdString(sim.SlavePath()), byId));
    MainWindowSeams seams;
    seams.candidates = [&](const std::vector<std::string>&) {
        return std::vector<PortCandidate> {{byId.toStdString(), byId.toStdString(), ""}};
    };
    seams.pacing = FastPacing();
    seams.pacing.wait = [&](std::chrono::milliseconds step) {
        std::this_thread::sleep_for(step);
        if (sim.Counts().frames > 0)
            QFile::remove(byId);
    };
    TfmMainComunic pulled({"kestro"}, seams);
    ASSERT_TRUE(ShowListed(pulled));
    pulled.findChild<QComboBox*>("cbPorta")->setCurrentIndex(0);
    pulled.cbPortaChange();
    QTest::mouseClick(pulled.findChild<QPushButton*>("btRun"), Qt::LeftButton);
    EXPECT_FALSE(pulled.Session().Connected());
    EXPECT_EQ(pulled.Session().OpenFailure().state, PortState::kGone);
    EXPECT_EQ(pulled.findChild<QLabel*>("lbSt")->text(), "Erro ao ler ECF");
    EXPECT_EQ(pulled.findChild<QLabel*>("lbSt")->toolTip().toStdString(),
              Cp1252ToUtf8(OpenFailureText(pulled.Session().OpenFailure())));
    EXPECT_EQ(sim.Counts().frames, 1u);
}

TEST_F(ConnectionTest, AProgramThatTakesThePortBetweenTwoCommandsIsSeenAndNamed)
{
    SKIP_WITHOUT_HELD_PORTS();
    Connect();
    QTest::keyClick(window.get(), Qt::Key_F2);
    const auto* table = window->findChild<QTableView*>("tvTrafego");
    ASSERT_NE(table, nullptr);
    const QAbstractItemModel& rows = *table->model();
    // One that locks the port as a serial driver does, and one that merely opens it.
    for (const bool locks : {true, false}) {
        SCOPED_TRACE(locks ? "locked" : "not locked");
        sim.ClearReceived();
        {
            PortHolder holder(sim.SlavePath(), "python3", locks);
            ASSERT_TRUE(holder.held);
            QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);
            const EcfLink& link = *PrinterSessionTestSeam::Link(window->Session());
            const QString why = QString::fromStdString(Cp1252ToUtf8(OpenFailureText(link.OpenFailure())));
            if (holder.Pid() > 0) {
                EXPECT_TRUE(why.contains(QString("python3 (pid %1)").arg(holder.Pid()))) << why.toStdString();
            }
            // The status line as ever; the reason in its tooltip and in the traffic.
            EXPECT_EQ(Status(), "Erro!");
            EXPECT_EQ(Find<QLabel>("lbSt")->toolTip(), why);
            EXPECT_EQ(rows.index(rows.rowCount() - 1, 2).data().toString(), why);
            EXPECT_TRUE(sim.Received().empty());
        }
        QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);
        EXPECT_EQ(Status(), "");
        EXPECT_EQ(Frames().size(), 1u);
    }
}

TEST_F(ConnectionTest, TestarComunicacaoWithoutConnectingTestsTheChosenPortAndFreesIt)
{
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Refuse, {1, 1}), 3);  // too flaky to identify itself
    RightClick("gb0", QStringLiteral("Testar comunica\u00e7\u00e3o"));
    EXPECT_EQ(sim.Counts().frames, 10u);
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Comunica\u00e7\u00e3o: 7 de 10 respostas")))
        << Status().toStdString();
    EXPECT_FALSE(window->Session().Connected());
    EXPECT_TRUE(Find<QPushButton>("btRun")->isEnabled());
    EXPECT_TRUE(PortFree());
}

TEST_F(ConnectionTest, EnterAfterEmitirLxRunsTheReadingAgainStillConnected)
{
    Connect();
    QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);
    QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Frames().size(), 2u);
    EXPECT_TRUE(window->Session().Connected());
    EXPECT_EQ(window->focusWidget(), Find<QPushButton>("btLX"));
}

TEST_F(ConnectionTest, BusyPrinterGetsTheFrameAgainWithTheNextNumber)
{
    Connect();
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}), 3);
    QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);

    EXPECT_EQ(
        Only(log.Tags(), {"SendCmd ini", "SendCmd WAK", "SendCmd ACK"}),
        (std::vector<std::string> {"SendCmd ini", "SendCmd WAK", "SendCmd WAK", "SendCmd WAK", "SendCmd ACK"}));
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 4u);
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_EQ(frames[i].seq, static_cast<uint8_t>(frames[i - 1].seq + 1)) << i;
    // Each wait is five pauses of 100 ms with "Cancelar" shown; no other pause shows it.
    int waitPauses = 0;
    for (const PauseSeen& pause : pauses) {
        EXPECT_EQ(pause.cancelShown, pause.ms == 100);
        waitPauses += pause.ms == 100;
    }
    EXPECT_EQ(waitPauses, 15);
    EXPECT_FALSE(Find<QLabel>("lbStCancel")->isVisible());
    EXPECT_EQ(Status(), "");
}

TEST_F(ConnectionTest, CancelarEndsAWaitingCommand)
{
    SimPlan busyResponse;
    busyResponse.enqBusy = 1000;
    busyResponse.enqBusyPair = {1, 1};
    struct Row {
        const char* name;
        std::function<void()> plan;
        const char* tag;
        int result;
    } const rows[] = {
        {"printer busy with the frame",
         [&] {
             sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}), 1000);
         },
         "SendCmd Cancel", CommandCycle::kFailed},
        {"printer busy with the response", [&] { sim.QueuePlan(busyResponse); }, "RecebeBuffer Cancel",
         CommandCycle::kCancelled},
    };
    Connect();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        log.Clear();
        row.plan();
        int clicks = 0;
        onPause = [&] {
            if (Find<QLabel>("lbStCancel")->isVisible() && clicks++ == 0)
                QTest::mouseClick(Find<QLabel>("lbStCancel"), Qt::LeftButton);
        };
        PrepareXReading();
        EXPECT_EQ(PrinterSessionTestSeam::Cycle(window->Session()).ExecCmd(), row.result);
        onPause = nullptr;
        sim.ClearPlans();

        const auto tags = log.Tags();
        EXPECT_EQ(CountTag(tags, row.tag), 1);
        EXPECT_EQ(CountTag(tags, "SendCmd WAK") + CountTag(tags, "RecebeBuffer WAK"), 1);
        EXPECT_EQ(CountTag(tags, "ExecCmd Fim"), 1);
        EXPECT_EQ(Status(), QString::fromStdString(
                                Cp1252ToUtf8(PrinterSessionTestSeam::Link(window->Session())->GetError())));
        EXPECT_NE(Status(), "");
        EXPECT_FALSE(Find<QLabel>("lbStCancel")->isVisible());
        EXPECT_TRUE(PortFree());
        // The printer is still there for the next command.
        PrepareXReading();
        EXPECT_EQ(PrinterSessionTestSeam::Cycle(window->Session()).ExecCmd(), CommandCycle::kDone);
    }
}

TEST_F(ConnectionTest, ExecCmdOnAPortThatDoesNotReopen)
{
    SKIP_WITHOUT_HELD_PORTS();
    Connect();
    struct Row {
        const char* name;
        std::function<std::unique_ptr<PortHolder>()> block;
        std::optional<int> error;
    } const rows[] = {
        {"grabbed by another program", [this] { return std::make_unique<PortHolder>(sim.SlavePath()); }, EBUSY},
        {"line gone",
         [this] {
             sim.DropLine();
             return std::unique_ptr<PortHolder>();
         },
         std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto holder = row.block();
        log.Clear();
        PrepareXReading();
        EXPECT_EQ(PrinterSessionTestSeam::Cycle(window->Session()).ExecCmd(), CommandCycle::kNotStarted);

        const int error = PrinterSessionTestSeam::Link(window->Session())->LastError();
        EXPECT_NE(error, 0);
        if (row.error) {
            EXPECT_EQ(error, *row.error);
        }
        EXPECT_TRUE(Status().startsWith(QString("Erro ao abrir Porta Serial! (%1) ").arg(error)))
            << Status().toStdString();
        const auto tags = log.Tags();
        EXPECT_EQ(CountTag(tags, "ExecCmd"), 1);
        EXPECT_EQ(CountTag(tags, "SendCmd ini"), 0);
        EXPECT_EQ(CountTag(tags, "ExecCmd Fim"), 0);
        EXPECT_EQ(PrinterSessionTestSeam::Cycle(window->Session()).RetResp(0), "4");
        // Through the button the same failure reads "Erro!", and the window stays connected.
        QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);
        EXPECT_EQ(Status(), "Erro!");
        EXPECT_TRUE(window->Session().Connected());
        EXPECT_TRUE(Find<QGroupBox>("gbTeste")->isEnabled());
    }
}

// ---- Response fields -----------------------------------------------------------------------

TEST_F(ConnectionTest, RetRespTakesOneFieldAndAlwaysEndsTheCommand)
{
    struct Row {
        std::vector<std::string> blocks;
        int index;
        std::optional<std::string> field;  // none: the index error
    } const rows[] = {
        {{"A|", "B|"}, 0, "A"},
        {{"A|", "B|"}, 1, "B"},
        {{"A|", "B|"}, 2, std::nullopt},
        {{"A", "B|"}, 0, "AB"},
        {{"|X|"}, 0, ""},
        {{"|X|"}, 1, "X"},
        {{"A|B|C"}, 1, "B"},
        {{"A|B|C"}, 2, std::nullopt},
        {{"AB"}, 0, std::nullopt},
        {{""}, 0, std::nullopt},
    };
    Connect();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.blocks.front() + " index " + std::to_string(row.index));
        log.Clear();
        sim.QueuePlan(SimPlan::WithBlocks(row.blocks));
        PrepareXReading();
        if (row.field) {
            EXPECT_EQ(PrinterSessionTestSeam::Cycle(window->Session()).RetResp(row.index), *row.field);
        } else {
            EXPECT_THROW(PrinterSessionTestSeam::Cycle(window->Session()).RetResp(row.index), std::out_of_range);
        }
        const auto tags = log.Tags();
        EXPECT_EQ(CountTag(tags, "RecebeBuffer RECEIVE"), static_cast<int>(row.blocks.size()));
        EXPECT_EQ(CountTag(tags, "RecebeBuffer FIM"), 1);
        ASSERT_FALSE(tags.empty());
        EXPECT_EQ(tags.back(), "End");
        EXPECT_TRUE(PortFree());
    }
}

TEST_F(ConnectionTest, LongResponseIsCutAtTheBufferAndReadToItsEnd)
{
    const std::string a4094(4094, 'a');
    struct Row {
        const char* name;
        std::vector<std::string> blocks;
        std::optional<std::string> field;
        bool cut;
    } const rows[] = {
        {"fills the buffer exactly", {a4094 + "|"}, a4094, false},
        {"one byte too long", {a4094 + "a|"}, std::nullopt, true},
        {"10 KiB in one block", {"first|" + std::string(10240, 'b') + "|"}, "first", true},
        {"cut in the second block",
         {std::string(3000, 'c') + "|", std::string(3000, 'd') + "|"},
         std::string(3000, 'c'),
         true},
    };
    Connect();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        log.Clear();
        sim.QueuePlan(SimPlan::WithBlocks(row.blocks));
        PrepareXReading();
        if (row.field) {
            EXPECT_EQ(PrinterSessionTestSeam::Cycle(window->Session()).RetResp(0), *row.field);
        } else {
            EXPECT_THROW(PrinterSessionTestSeam::Cycle(window->Session()).RetResp(0), std::out_of_range);
        }
        const auto tags = log.Tags();
        EXPECT_EQ(CountTag(tags, "RecebeBuffer CUT"), row.cut ? 1 : 0);
        EXPECT_EQ(CountTag(tags, "RecebeBuffer FIM"), 1);
        // Nothing of it is left on the line: the next command reads its own response.
        PrepareXReading();
        EXPECT_EQ(PrinterSessionTestSeam::Cycle(window->Session()).ExecCmd(), CommandCycle::kDone);
    }
}

// ---- Closing the window --------------------------------------------------------------------

TEST_F(ConnectionTest, ClosingWhileConnectedDisconnectsFirst)
{
    Connect();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(log.Tags(), std::vector<std::string> {"Stop"});
    EXPECT_EQ(PrinterSessionTestSeam::Link(window->Session()), nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(PortFree());
}

TEST_F(ConnectionTest, ClosingDuringACommandCancelsItThenCloses)
{
    Connect();
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, {1, 1}), 1000);
    onPause = [&] {
        if (window->isVisible())
            window->close();
    };
    QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);
    onPause = nullptr;
    // The command has ended before the link went away.
    const auto tags = log.Tags();
    EXPECT_EQ(Only(tags, {"SendCmd Cancel", "ExecCmd Fim", "Stop"}),
              (std::vector<std::string> {"SendCmd Cancel", "ExecCmd Fim"}));
    EXPECT_TRUE(WaitFor([&] {
        QCoreApplication::processEvents();
        return !window->isVisible();
    }));
    EXPECT_EQ(PrinterSessionTestSeam::Link(window->Session()), nullptr);
    EXPECT_EQ(CountTag(log.Tags(), "Stop"), 1);
    EXPECT_TRUE(PortFree());
}

TEST_F(ConnectionTest, OneCloseDuringConectarEndsTheWholeConnection)
{
    // A printer busy with every frame, and one that never answers: the close arrives with the
    // first events the connection lets through.
    for (const SimAnswer answer : {SimAnswer::Busy, SimAnswer::Silent}) {
        SCOPED_TRACE(static_cast<int>(answer));
        log.Clear();
        sim.ClearPlans();
        sim.SetDefaultPlan(SimPlan::Answer(answer, {1, 1}));
        window->show();
        QTimer::singleShot(0, window.get(), [this] { window->close(); });
        QTest::mouseClick(Find<QPushButton>("btRun"), Qt::LeftButton);
        EXPECT_EQ(CountTag(log.Tags(), "RetResp"), 1);
        EXPECT_TRUE(WaitFor([&] {
            QCoreApplication::processEvents();
            return !window->isVisible();
        }));
        EXPECT_FALSE(window->Session().Connected());
        EXPECT_TRUE(PortFree());
    }
}

// ---- The traffic view ------------------------------------------------------------------

TEST_F(ConnectionTest, TrafficViewOpenedDuringConnectShowsEveryMessageDecoded)
{
    // F2 while the first query's block is on show: the view opens with what came before it.
    int rowsWhenOpened = -1;
    const auto table = [this] { return window->findChild<QTableView*>("tvTrafego"); };
    onPause = [&] {
        if (table() == nullptr) {
            QTest::keyClick(window.get(), Qt::Key_F2);
            rowsWhenOpened = table() ? table()->model()->rowCount() : -1;
        }
    };
    QTest::mouseClick(Find<QPushButton>("btRun"), Qt::LeftButton);
    onPause = nullptr;
    ASSERT_TRUE(window->Session().Connected());
    ASSERT_NE(table(), nullptr);
    EXPECT_TRUE(table()->window()->isVisible());
    EXPECT_EQ(table()->window()->windowTitle(), QString::fromUtf8("Tr\u00e1fego"));
    EXPECT_EQ(rowsWhenOpened, 8);

    const QAbstractItemModel& rows = *table()->model();
    std::vector<std::string> meanings;
    for (int row = 0; row < rows.rowCount(); ++row)
        meanings.push_back(rows.index(row, 2).data().toString().toStdString());
    // The link's note, SYN and its answer, then for each query its frame, the ACK, the ENQ, the
    // block's header and its data.
    ASSERT_EQ(meanings.size(), 18u);
    EXPECT_EQ(meanings[0].rfind("Conectado (" + sim.PortName() + ", ", 0), 0u) << meanings[0];
    EXPECT_EQ(meanings[1], "SYN: pede o n\u00famero de sequ\u00eancia");
    EXPECT_EQ(meanings[2].rfind("SYN: o pr\u00f3ximo n\u00famero de sequ\u00eancia \u00e9 ", 0), 0u);
    const char* queries[] = {"\"15|2|\"", "\"15|4|\"", "\"15|14|\""};
    const char* answers[] = {"\"ECF A\u00e7\u00e3o|\"", "\"KS010000000000000042|\"", "\"010203|\""};
    for (size_t i = 0; i < 3; ++i) {
        const auto command = meanings.begin() + 3 + 5 * static_cast<long>(i);
        EXPECT_NE(command[0].find(queries[i]), std::string::npos) << command[0];
        EXPECT_EQ(command[1], "ACK: comando aceito");
        EXPECT_EQ(command[2], "ENQ: pede o bloco 1");
        EXPECT_EQ(command[3].rfind("cabe\u00e7alho do bloco 1: ", 0), 0u) << command[3];
        EXPECT_NE(command[4].find(answers[i]), std::string::npos) << command[4];
    }

    // The X reading goes on in the open view; "Salvar..." writes one line per row.
    QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);
    ASSERT_EQ(rows.rowCount(), 23);
    if (const char* folder = std::getenv("KESTRO_SCREENSHOT_DIR")) {
        EXPECT_TRUE(table()->window()->grab().save(QString::fromUtf8(folder) + "/traffic-view.png"));
    }
    auto* view = static_cast<TrafficView*>(table()->window());
    const QString saved =
        QDir::temp().filePath("kestro-traffic-" + QString::number(QCoreApplication::applicationPid()));
    ASSERT_TRUE(view->SaveTo(saved));
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // Text lines: CR LF on Windows.
    const QStringList lines = QString::fromUtf8(file.readAll()).remove('\r').split('\n', Qt::SkipEmptyParts);
    file.remove();
    // The header names the format, the program and the port; then one line per row.
    ASSERT_EQ(lines.size(), 24);
    EXPECT_TRUE(lines[0].startsWith("# kestro-trace 1; kestro v")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("; port " + QString::fromStdString(sim.PortName()) + "; "));
    EXPECT_TRUE(
        lines[2].endsWith(QString::fromUtf8(" ms  \u2192  SYN: pede o n\u00famero de sequ\u00eancia  [16]")));
    // "Limpar" asks first, naming what goes.
    QTest::mouseClick(view->findChild<QPushButton*>("btLimpar"), Qt::LeftButton);
    auto* question = view->findChild<QMessageBox*>("mbLimpar");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QString::fromUtf8("Apagar as 23 mensagens do tr\u00e1fego?"));
    EXPECT_EQ(question->button(QMessageBox::Yes)->text(), "&Sim");
    QTest::mouseClick(question->button(QMessageBox::Yes), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return rows.rowCount() == 0; }));
}

TEST_F(SilentPrinterTest, TrafficWindowWorksFromTheKeyboardAndNotesWhatDidNotCome)
{
    Connect();
    sim.QueuePlan(SimPlan::Answer(SimAnswer::Silent));
    QTest::mouseClick(Find<QPushButton>("btLX"), Qt::LeftButton);
    QTest::keyClick(window.get(), Qt::Key_F2);
    auto* view = window->findChild<TrafficView*>("fmTrafego");
    ASSERT_NE(view, nullptr);
    // Activation comes from the window system, after the key.
    const auto active = [](QWidget* shown) {
        return WaitFor([shown] {
            QCoreApplication::processEvents();
            return shown->isActiveWindow();
        });
    };
    ASSERT_TRUE(active(view));
    const QAbstractItemModel& rows = *view->findChild<QTableView*>("tvTrafego")->model();
    const int last = rows.rowCount() - 1;
    // The silent frame's wait: 500 polls of 2 ms.
    EXPECT_EQ(rows.index(last, 2).data().toString(), "sem resposta em 1.000 ms");

    // Tab goes round the table and the three buttons; Ctrl+C copies every row.
    QStringList focus;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        focus << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(focus, QStringList({"btCopiar", "btSalvar", "btLimpar", "tvTrafego"}));
    QApplication::clipboard()->clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().count('\n'), rows.rowCount());

    // Escape closes it; F2 opens it again, and from it closes it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(view->isVisible());
    window->activateWindow();  // as the window system does when the view closes
    ASSERT_TRUE(active(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F2);
    ASSERT_TRUE(active(view));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    EXPECT_FALSE(view->isVisible());
}

}  // namespace

TEST_F(ConnectionTest, TestarComunicacaoCountsTheAnswersAndCancelarStopsIt)
{
    Connect();
    int busyShown = 0;
    int cancelShown = 0;
    std::set<QString> progress;
    onPause = [&] {
        busyShown += window->cursor().shape() == Qt::BusyCursor;
        cancelShown += Find<QLabel>("lbStCancel")->isVisible();
        progress.insert(Status());
    };
    const uint64_t before = sim.Counts().frames;
    RightClick("gbTeste", QStringLiteral("Testar comunica\u00e7\u00e3o"));
    EXPECT_EQ(sim.Counts().frames - before, 10u);
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Comunica\u00e7\u00e3o: 10 de 10 respostas, ")))
        << Status().toStdString();
    EXPECT_TRUE(Status().endsWith(" ms"));
    EXPECT_EQ(busyShown, 10);
    EXPECT_EQ(cancelShown, 10);
    // Each exchange's pause shows which one runs.
    std::set<QString> expected;
    for (int n = 1; n <= 10; ++n)
        expected.insert(QString::fromUtf8("Testando comunica\u00e7\u00e3o: %1 de 10\u2026").arg(n));
    EXPECT_EQ(progress, expected);
    EXPECT_NE(window->cursor().shape(), Qt::BusyCursor);

    // "Cancelar" in the third exchange: the two before it are what is told.
    int pausesSeen = 0;
    onPause = [&] {
        if (++pausesSeen == 3)
            QTest::mouseClick(Find<QLabel>("lbStCancel"), Qt::LeftButton);
    };
    RightClick("gbTeste", QStringLiteral("Testar comunica\u00e7\u00e3o"));
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Comunica\u00e7\u00e3o: 2 de 2 respostas, ")))
        << Status().toStdString();
    EXPECT_FALSE(Find<QLabel>("lbStCancel")->isVisible());
    EXPECT_TRUE(Find<QGroupBox>("gbTeste")->isEnabled());
    EXPECT_TRUE(PortFree());
    EXPECT_TRUE(window->Session().Connected());
}

// ---- The support report ------------------------------------------------------------------------

TEST_F(ConnectionTest, SupportReportUsesTheConnectedLinkCancelLeavesNoFileAndTheDeskOpensIt)
{
    Connect();
    // "Gerar" in the report's dialog, with `during` at each of the display's pauses; what it said.
    const auto generate = [&](const std::function<void(QDialog&)>& during) {
        RightClick("gbTeste", QStringLiteral("Gerar relat\u00f3rio para o suporte"));
        auto* dialog = window->findChild<QDialog*>("fmRelatorio");
        EXPECT_NE(dialog, nullptr);
        if (dialog == nullptr)
            return QString();
        EXPECT_TRUE(dialog->findChild<QCheckBox*>("ckTrafego")->isChecked());
        onPause = [&] { during(*dialog); };
        QTest::mouseClick(dialog->findChild<QPushButton*>("btGerar"), Qt::LeftButton);
        onPause = nullptr;
        const QString said = dialog->findChild<QLabel*>("lbProgresso")->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return said;
    };
    const SimCounts before = sim.Counts();
    const QString saved = generate([](QDialog&) {});
    EXPECT_TRUE(saved.startsWith(QStringLiteral("Relat\u00f3rio salvo: kestro-suporte-"))) << saved.toStdString();
    // The link as it was: no new synchronisation, the ten exchanges only.
    EXPECT_EQ(sim.Counts().syns, before.syns);
    EXPECT_EQ(sim.Counts().frames - before.frames, 10u);
    const QStringList files = QDir(reports.path()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    const QString path = reports.filePath(files[0]);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains(QStringLiteral("\nOK       Impressora: Modelo: ECF A\u00e7\u00e3o").toUtf8()));

    // "Cancelar" in the fourth exchange: no file.
    const QString cancelled = generate([](QDialog& dialog) {
        if (dialog.findChild<QLabel*>("lbProgresso")->text() ==
            QStringLiteral("Gerando relat\u00f3rio: teste 4 de 10\u2026"))
            QTest::mouseClick(dialog.findChild<QPushButton*>("btCancelar"), Qt::LeftButton);
    });
    EXPECT_EQ(cancelled, QStringLiteral("Relat\u00f3rio cancelado; nenhum arquivo foi salvo."));
    EXPECT_EQ(QDir(reports.path()).entryList(QDir::Files).size(), 1);
    EXPECT_TRUE(PortFree() || window->Session().Connected());
    // The window closed meanwhile (a termination signal closes it so): the report is cancelled too.
    const QString closed = generate([&](QDialog& dialog) {
        if (dialog.findChild<QLabel*>("lbProgresso")->text() ==
            QStringLiteral("Gerando relat\u00f3rio: teste 4 de 10\u2026"))
            window->close();
    });
    EXPECT_EQ(closed, QStringLiteral("Relat\u00f3rio cancelado; nenhum arquivo foi salvo."));
    EXPECT_EQ(QDir(reports.path()).entryList(QDir::Files).size(), 1);

    // The support desk opens it from its command line: the summary, and the traffic with its times.
    MainWindowSeams desk;
    desk.candidates = [](const std::vector<std::string>&) { return std::vector<PortCandidate>(); };
    const auto open = [&](const QString& report, int& rows) {
        TfmMainComunic opened({"kestro", report.toStdString()}, desk);
        EXPECT_TRUE(ShowListed(opened));
        opened.findChild<QAction*>("acTrafego")->trigger();
        rows = opened.findChild<QTableView*>("tvTrafego")->model()->rowCount();
        auto* summary = opened.findChild<QPlainTextEdit*>("txResumo");
        return std::make_pair(opened.findChild<QLabel*>("lbSt")->text(),
                              summary ? summary->toPlainText() : QString());
    };
    int rows = 0;
    const auto [said, summary] = open(path, rows);
    EXPECT_TRUE(said.endsWith(QStringLiteral(" mensagens no Tr\u00e1fego (F2)."))) << said.toStdString();
    EXPECT_GT(rows, 60);
    EXPECT_TRUE(summary.contains(QStringLiteral("OK       Linha: Comunica\u00e7\u00e3o: 10 de 10 respostas")));

    // A byte changed on the way: said, and nothing loaded.
    QByteArray damaged = text;
    damaged[damaged.size() - 5] = 'Z';
    const QString damagedPath = reports.filePath("danificado.txt");
    QFile out(damagedPath);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(damaged);
    out.close();
    const auto [damagedSaid, noSummary] = open(damagedPath, rows);
    EXPECT_TRUE(damagedSaid.startsWith(QStringLiteral("O relat\u00f3rio est\u00e1 danificado")))
        << damagedSaid.toStdString();
    EXPECT_EQ(rows, 0);
    EXPECT_TRUE(noSummary.isEmpty());
}
