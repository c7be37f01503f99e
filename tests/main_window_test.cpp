// The main window on real widgets: display states, activity display, identification header,
// port discovery on real ports (pseudo-terminals, or COM ports under Wine), program entry and fatal
// errors.
#include "base/log.h"
#include "base/version.h"
#include "serial/system.h"
#include "session/adapter_texts.h"
#include "tests/support/port_holder.h"
#include "tests/support/spare_port.h"
#include "tests/support/wait_for.h"
#include "ui/kestro_application.h"
#include "ui/main_window.h"
#include "ui/qt_compat.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#ifndef _WIN32
#include "tests/support/stalled_server.h"
#endif

namespace fs = std::filesystem;

namespace {

const QString k20(20, QChar('_'));
const QString k22(22, QChar('_'));

// One row of the window's state table.
struct StateRow {
    const char* state;
    bool portControlsEnabled;  // btPorta and cbPorta
    bool runVisible, runEnabled, stopVisible;
    bool chosenTile, connectedTile, portNameShown;
    bool idlePanel;  // gb0 in front, gbTeste hidden; the reverse when false
    QString identification;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("kestro-window-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        SetAppLogFolder(folder.string());
        SetAppLogClock([] { return LogTime {10, 20, 30, 40}; });
    }
    void TearDown() override
    {
        window.reset();
        SetAppLogEnabled(false);
        SetAppLogClock({});
        SetAppLogFolder({});
        fs::remove_all(folder);
    }

    void Open(std::vector<PortCandidate> ports = {}, std::vector<std::string> arguments = {"kestro"})
    {
        MainWindowSeams seams;
        seams.candidates = [this, ports](const std::vector<std::string>& extra) {
            extraSeen = extra;
            if (window) {  // a rescan: what the list shows while the ports are tried
                listDuringScan = Combo("cbPorta")->currentText();
                groupEnabledDuringScan = Group("gbPorta")->isEnabled();
            }
            return ports;
        };
        seams.adapters = [this] { return adapters; };
        seams.pause = [this](int ms) { pauses.push_back(ms); };
        window.reset();
        window = std::make_unique<TfmMainComunic>(arguments, seams);
        window->show();
        // The ports are listed once the window has been painted.
        ASSERT_TRUE(WaitFor([this] {
            QCoreApplication::processEvents();
            return Group("gbPorta")->isEnabled();
        }));
        pauses.clear();
    }

    template <typename T>
    T* Find(const char* name) const
    {
        T* widget = window->findChild<T*>(name);
        if (widget == nullptr)
            ADD_FAILURE() << "no control " << name;
        return widget;
    }
    QLabel* Label(const char* name) const { return Find<QLabel>(name); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    QGroupBox* Group(const char* name) const { return Find<QGroupBox>(name); }
    QComboBox* Combo(const char* name) const { return Find<QComboBox>(name); }

    QStringList PortList() const
    {
        QStringList names;
        for (int i = 0; i < Combo("cbPorta")->count(); ++i)
            names << Combo("cbPorta")->itemText(i);
        return names;
    }

    // Picks an entry as the user does: drop the list down and click the entry.
    void PickPort(int index)
    {
        QComboBox* list = Combo("cbPorta");
        list->showPopup();
        QAbstractItemView* view = list->view();
        ASSERT_TRUE(WaitFor([&] { return view->isVisible(); }));
        // On the part of the entry that the list shows: Qt 5 drops down a list no wider than the box, and an
        // entry's text may be wider.
        const QRect item = view->visualRect(view->model()->index(index, 0)).intersected(view->viewport()->rect());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
        ASSERT_TRUE(WaitFor([&] {
            QCoreApplication::processEvents();
            return !view->isVisible();
        }));
    }

    // Which of the six stored activity icons a picture shows; -1 for none of them.
    int IconOf(const char* picture) const
    {
        const QImage shown = LabelPixmap(*Label(picture)).toImage();
        for (int i = 0; i < 6; ++i) {
            const std::string store = "imMsg" + std::to_string(i);
            if (LabelPixmap(*Label(store.c_str())).toImage() == shown)
                return i;
        }
        return -1;
    }

    std::string LogText() const
    {
        std::ifstream in(folder / "AppLog.log", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void ExpectState(const StateRow& row) const
    {
        SCOPED_TRACE(row.state);
        EXPECT_EQ(Button("btPorta")->isEnabled(), row.portControlsEnabled);
        EXPECT_EQ(Combo("cbPorta")->isEnabled(), row.portControlsEnabled);
        EXPECT_EQ(Button("btRun")->isVisible(), row.runVisible);
        EXPECT_EQ(Button("btRun")->isEnabled(), row.runEnabled);
        EXPECT_EQ(Button("btStop")->isVisible(), row.stopVisible);
        if (row.stopVisible) {
            EXPECT_TRUE(Button("btStop")->isEnabled());
        }
        EXPECT_TRUE(Label("imCom0")->isVisible());
        EXPECT_EQ(Label("imCom1")->isVisible(), row.chosenTile);
        EXPECT_EQ(Label("imCom2")->isVisible(), row.connectedTile);
        EXPECT_EQ(Label("lbCom")->isVisible(), row.portNameShown);
        EXPECT_EQ(Group("gb0")->isVisible(), row.idlePanel);
        EXPECT_EQ(Group("gbTeste")->isVisible(), !row.idlePanel);
        for (const char* name : {"lbFS", "lbNS", "lbSB"})
            EXPECT_EQ(Label(name)->text(), row.identification) << name;
        // Between commands the activity icons and the cancel link are hidden.
        EXPECT_FALSE(Label("imTx")->isVisible());
        EXPECT_FALSE(Label("imRx")->isVisible());
        EXPECT_FALSE(Label("lbStCancel")->isVisible());
    }

    fs::path folder;
    std::unique_ptr<TfmMainComunic> window;
    std::vector<int> pauses;
    std::vector<std::string> extraSeen;
    std::vector<AdapterReport> adapters;  // what the system's adapters are taken to be
    QString listDuringScan;
    bool groupEnabledDuringScan = true;
};

// ---- The four display states -------------------------------------------------------------

TEST_F(WindowTest, GoesThroughTheFourStatesOfAConnection)
{
    SparePort port;
    Open({{port.Path(), port.Name(), ""}});
    ExpectState({"start", true, true, false, false, false, false, false, true, k20});
    EXPECT_EQ(Label("lb0")->text(), "Desconectado");
    EXPECT_EQ(Label("lbSt")->text(), "");

    PickPort(0);
    ExpectState({"port chosen", true, true, true, false, true, false, true, true, k20});
    EXPECT_EQ(Label("lbCom")->text(), QString::fromStdString(port.Name()));
    EXPECT_EQ(Combo("cbPorta")->currentText().toStdString(), port.Name());

    window->Rodando(true);
    window->AtualizaHeader({"MODELO X", "AB0123456789", "010203"});
    EXPECT_EQ(Button("btStop")->text(), "Desconectar");
    EXPECT_EQ(Button("btLX")->text(), "Emitir LX");
    EXPECT_TRUE(Button("btLX")->isEnabled());
    EXPECT_EQ(Label("lbFS")->text(), "MODELO X");
    EXPECT_EQ(Label("lbNS")->text(), "AB0123456789");
    EXPECT_EQ(Label("lbSB")->text(), "01.02.03");
    EXPECT_FALSE(Button("btRun")->isVisible());
    EXPECT_TRUE(Label("imCom2")->isVisible());
    EXPECT_FALSE(Label("imCom1")->isVisible());
    EXPECT_TRUE(Label("lbCom")->isVisible());
    EXPECT_FALSE(Button("btPorta")->isEnabled());
    EXPECT_FALSE(Combo("cbPorta")->isEnabled());
    EXPECT_TRUE(Group("gbTeste")->isVisible());
    EXPECT_FALSE(Group("gb0")->isVisible());

    window->Rodando(false);
    ExpectState({"disconnected again", true, true, true, false, true, false, true, true, k22});
    EXPECT_EQ(Label("lbCom")->text(), QString::fromStdString(port.Name()));
}

TEST_F(WindowTest, EnterPressesConnectOnlyWhileItCanBePressed)
{
    SparePort port;
    Open({{port.Path(), port.Name(), ""}});
    int presses = 0;
    QObject::connect(Button("btRun"), &QPushButton::clicked, [&] { ++presses; });
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_EQ(presses, 0);
    PickPort(0);
    Combo("cbPorta")->setFocus();  // as the click that chose the port gives it
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_EQ(presses, 1);
    window->Rodando(true);
    QTest::keyClick(window.get(), Qt::Key_Enter);
    EXPECT_EQ(presses, 1);
}

#ifndef _WIN32
TEST_F(WindowTest, AServerThatLetsNoConnectionInKeepsTheWindowAliveUntilEscapeOrCancelar)
{
    const StalledServer server;
    const QString where = QString::fromStdString(server.Where());
    Open();
    QTest::keyClicks(Combo("cbPorta")->lineEdit(), "socket://" + where);
    const std::function<void()> cancels[] = {[&] { QTest::keyClick(window.get(), Qt::Key_Escape); },
                                             [&] { QTest::mouseClick(Label("lbStCancel"), Qt::LeftButton); }};
    for (const auto& cancel : cancels) {
        // The timer fires only while the window's events go on; its third turn cancels.
        QStringList seen;
        QTimer turns;
        QObject::connect(&turns, &QTimer::timeout, [&] {
            seen << Label("lbSt")->text();
            if (seen.size() == 3)
                cancel();
        });
        turns.start(20);
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(Button("btRun"), Qt::LeftButton);
        turns.stop();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));  // the open's bound is 5 s
        EXPECT_EQ(seen.value(2), QString::fromUtf8("Conectando a %1\u2026").arg(where));
        EXPECT_EQ(Label("lbSt")->text(), QString::fromUtf8("Conex\u00e3o com %1 cancelada").arg(where));
        ExpectState({"cancelled", true, true, true, false, true, false, true, true, k20});
    }
}

TEST_F(WindowTest, TheScanGivesAServerPortUpAtEscapeAndAtACloseWithTheWindowAlive)
{
    const StalledServer server;
    const std::string url = "socket://" + server.Where();
    const QString checking = QString::fromUtf8("Verificando %1\u2026").arg(QString::fromStdString(server.Where()));
    // The timer fires only while the window's events go on: it ends the check that it sees.
    std::function<void()> end = [&] { QTest::keyClick(window.get(), Qt::Key_Escape); };
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        if (window && Label("lbSt")->text() == checking)
            end();
    });
    turns.start(20);
    auto start = std::chrono::steady_clock::now();
    Open({{url, url, "", PortKind::kRawServer}});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));  // the open's bound is 5 s
    EXPECT_EQ(PortList(), QStringList());
    EXPECT_EQ(Label("lbSt")->text(), QString::fromStdString("Nenhuma porta dispon\u00edvel: " + url +
                                                            " n\u00e3o verificada (cancelada; confira o servidor serial)"));
    end = [&] { window->close(); };
    start = std::chrono::steady_clock::now();
    QTest::mouseClick(Button("btPorta"), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] {
        QCoreApplication::processEvents();
        return !window->isVisible();
    }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_FALSE(server.Connecting());
}
#endif

TEST_F(WindowTest, EnterPressesTheFocusedButtonAndShiftF10OpensTheMenuOnItsFirstOfferedEntry)
{
    SparePort port;
    Open({{port.Path(), port.Name(), ""}});
    PickPort(0);
    std::map<std::string, int> presses;
    for (const char* name : {"btPorta", "btRun", "btStop", "btLX"})
        QObject::connect(Button(name), &QPushButton::clicked, [&presses, name] { ++presses[name]; });
    const auto keyOn = [&](const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        Find<QWidget>(name)->setFocus();
        QTest::keyClick(window->focusWidget(), key, modifiers);
    };
    // The menu that the keys opened: its chosen entry, then the one after Down.
    const auto menuEntries = [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || menu->activeAction() == nullptr)
            return QStringList();
        QStringList entries {menu->activeAction()->text()};
        QTest::keyClick(menu, Qt::Key_Down);
        entries << (menu->activeAction() ? menu->activeAction()->text() : QString());
        menu->close();
        return entries;
    };
    keyOn("btPorta", Qt::Key_Return);  // scans anew and drops the list down
    Combo("cbPorta")->hidePopup();
    EXPECT_EQ(presses, (std::map<std::string, int> {{"btPorta", 1}}));
    keyOn("cbPorta", Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(menuEntries(), QStringList({"Localizar ECF", QString::fromUtf8("Tr\u00e1fego")}));

    window->Rodando(true);
    window->AtualizaHeader({"MODELO X", "AB0123456789", "010203"});
    keyOn("btLX", Qt::Key_Enter);
    keyOn("btStop", Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(menuEntries(), QStringList({QString::fromUtf8("Tr\u00e1fego"),
                                          QString::fromUtf8("Copiar identifica\u00e7\u00e3o")}));
    window->findChild<QAction*>("acCopiaIdentificacao")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "ECF: MODELO X; NS: AB0123456789; SB: 01.02.03");
    QTest::mouseDClick(Label("lbNS"), Qt::LeftButton, {}, QPoint(4, Label("lbNS")->height() / 2));
    EXPECT_EQ(Label("lbNS")->selectedText(), "AB0123456789");
    keyOn("btStop", Qt::Key_Return);
    EXPECT_EQ(presses, (std::map<std::string, int> {{"btPorta", 1}, {"btLX", 1}, {"btStop", 1}}));
    EXPECT_FALSE(Button("btStop")->isVisible());
}

TEST_F(WindowTest, TrafficWindowFitsTheScreenWithItsBytesInAFixedPitchFont)
{
    Open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F2);
    auto* view = window->findChild<QWidget*>("fmTrafego");
    ASSERT_NE(view, nullptr);
    const QRect area = view->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(view->frameGeometry())) << view->frameGeometry().width() << " on " << area.width();
    const auto* table = view->findChild<QTableView*>("tvTrafego");
    EXPECT_LT(table->columnViewportPosition(3) + 100, table->viewport()->width());
    for (const char* name : {"btCopiar", "btSalvar", "btLimpar"}) {
        const QWidget* button = view->findChild<QWidget*>(name);
        EXPECT_TRUE(area.contains(QRect(button->mapToGlobal(QPoint()), button->size()))) << name;
    }
    EXPECT_TRUE(QFontInfo(table->font()).fixedPitch()) << QFontInfo(table->font()).family().toStdString();
    EXPECT_FALSE(view->findChild<QPushButton*>("btSalvar")->isEnabled());  // nothing to save yet
}

TEST_F(WindowTest, WindowIsFixedAndEveryPictureIsThere)
{
    Open();
    EXPECT_EQ(window->size(), QSize(545, 360));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(223, 243, 253));
    // The panels share one place, and the status panel ends inside the client area.
    EXPECT_EQ(Group("gb0")->geometry(), Group("gbTeste")->geometry());
    EXPECT_EQ(Button("btRun")->geometry(), Button("btStop")->geometry());
    EXPECT_LE(Group("gbCmdSt")->geometry().bottom(), window->height());
    // The stored icons sit outside the client area and differ from each other.
    std::vector<QImage> icons;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "imMsg" + std::to_string(i);
        EXPECT_FALSE(window->rect().intersects(Label(name.c_str())->geometry())) << name;
        EXPECT_EQ(LabelPixmap(*Label(name.c_str())).size(), QSize(32, 32)) << name;
        for (const auto& other : icons)
            EXPECT_NE(LabelPixmap(*Label(name.c_str())).toImage(), other) << name;
        icons.push_back(LabelPixmap(*Label(name.c_str())).toImage());
    }
    for (const char* name : {"imCom0", "imCom1", "imCom2"})
        EXPECT_EQ(LabelPixmap(*Label(name)).size(), QSize(36, 36)) << name;
    // Each button shows our own grey variant of its picture while disabled.
    const std::pair<const char*, const char*> buttons[] = {
        {"btPorta", "bt_porta"}, {"btRun", "bt_run"}, {"btStop", "bt_stop"}};
    for (const auto& [name, picture] : buttons) {
        const QIcon icon = Button(name)->icon();
        const auto format = QImage::Format_ARGB32_Premultiplied;
        const QImage grey = QImage(QString(":/pictures/%1_disabled.png").arg(picture)).convertToFormat(format);
        EXPECT_EQ(icon.pixmap(16, QIcon::Disabled).toImage().convertToFormat(format), grey) << name;
        EXPECT_NE(icon.pixmap(16, QIcon::Normal).toImage().convertToFormat(format), grey) << name;
    }
}

TEST_F(WindowTest, SetGBMovesTheGroupsInStepsOf165)
{
    Open();
    window->SetGB(1);
    EXPECT_EQ(Group("gbPorta")->pos(), QPoint(12, 71 + 165));
    EXPECT_EQ(Group("gbCmdSt")->pos(), QPoint(12, 297 + 165));
    EXPECT_EQ(Group("gb0")->pos(), QPoint(12, 165));
    window->SetGB(-1);
    EXPECT_EQ(Group("gbPorta")->pos(), QPoint(12, 71));
    EXPECT_EQ(Group("gbHeader")->pos(), QPoint(-1, -10));
    EXPECT_EQ(Group("gb0")->pos(), QPoint(12, 0));
    EXPECT_EQ(Group("gbTeste")->pos(), QPoint(12, 0));
}

// ---- Activity display --------------------------------------------------------------------

TEST_F(WindowTest, ShowCmdShowsTheIconsOfEachCode)
{
    Open();
    struct Row {
        int code, tx, rx;
        bool shown;
    } const rows[] = {
        {1, 1, 0, true}, {2, 2, 0, true}, {3, 0, 3, true},  {0, 0, 0, false}, {4, 0, 4, true},  {5, 5, 0, true},
        {6, 0, 3, true}, {7, 0, 0, true}, {0, 0, 0, false}, {-1, 0, 0, true}, {99, 0, 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.code));
        window->ShowCmd(row.code);
        EXPECT_EQ(IconOf("imTx"), row.tx);
        EXPECT_EQ(IconOf("imRx"), row.rx);
        EXPECT_EQ(Label("imTx")->isVisible(), row.shown);
        EXPECT_EQ(Label("imRx")->isVisible(), row.shown);
    }
    // The pauses are the command cycle's (a busy printer's are counted in the connection's tests).
    EXPECT_TRUE(pauses.empty());
}

TEST_F(WindowTest, ShowCmdWithFlagShowsOrHidesCancel)
{
    Open();
    window->ShowCmd(4, true);
    EXPECT_EQ(IconOf("imRx"), 4);
    EXPECT_TRUE(Label("lbStCancel")->isVisible());

    window->ShowCmd(4);
    EXPECT_FALSE(Label("lbStCancel")->isVisible());

    window->ShowCmd(4, true);
    window->ShowCmd(3, false);
    EXPECT_FALSE(Label("lbStCancel")->isVisible());
}

TEST_F(WindowTest, StatusLineShowsTextAsIs)
{
    Open();
    window->SetSt(QString::fromUtf8("Impressora não responde <b>&amp;</b>"));
    EXPECT_EQ(Label("lbSt")->text(), QString::fromUtf8("Impressora não responde <b>&amp;</b>"));
    EXPECT_EQ(Label("lbSt")->textFormat(), Qt::PlainText);
    window->SetSt("");
    EXPECT_EQ(Label("lbSt")->text(), "");
}

TEST_F(WindowTest, HeaderSplitsTheBasicSoftwareVersion)
{
    Open();
    struct Row {
        std::string sb;
        QString shown;
    } const rows[] = {
        {"010203", "01.02.03"}, {"0102", "01.02."}, {"", ""}, {"1", "1.."}, {"01020304", "01.02.03"},
    };
    for (const auto& row : rows) {
        window->AtualizaHeader({"", "", row.sb});
        EXPECT_EQ(Label("lbSB")->text(), row.shown) << row.sb;
    }
    EXPECT_EQ(Label("lbFS")->text(), "");
    EXPECT_EQ(Label("lbNS")->text(), "");
}

// ---- Port discovery ----------------------------------------------------------------------

TEST_F(WindowTest, ListsOnlyThePortsThatOpenInTheirOrder)
{
    SKIP_WITHOUT_HELD_PORTS();
    SparePort first, held, last;
    PortHolder holder(held.Path(), "ModemManager");
    ASSERT_TRUE(holder.held);
    Open({{first.Path(), first.Name(), "USB Serial Adapter"},
          {held.Path(), held.Name(), ""},
          {"/dev/kestro-no-such-port", "kestro-no-such-port", ""},
          {last.Path(), last.Name(), ""}});
    EXPECT_EQ(PortList(),
              QStringList({QString::fromStdString(first.Name()), QString::fromStdString(last.Name())}));
    EXPECT_EQ(Combo("cbPorta")->currentIndex(), -1);
    EXPECT_EQ(Combo("cbPorta")->currentText(), "");
    EXPECT_FALSE(Button("btRun")->isEnabled());
    EXPECT_TRUE(Group("gbPorta")->isEnabled());
    EXPECT_EQ(Combo("cbPorta")->itemData(0, Qt::ToolTipRole).toString(), "USB Serial Adapter");
    EXPECT_FALSE(Combo("cbPorta")->itemData(1, Qt::ToolTipRole).isValid());
    EXPECT_EQ(Combo("cbPorta")->currentText().toStdString(), "");
    // The ports left out: the held one on the status line with its holder, both in the tooltip.
    const QString holderText =
        holder.Pid() > 0 ? QString("ModemManager (pid %1)").arg(holder.Pid()) : "outro programa";
    const QString heldName = QString::fromStdString(held.Name());
    EXPECT_EQ(Label("lbSt")->text(), heldName + " em uso por " + holderText + " (e mais 1)");
    EXPECT_EQ(Combo("cbPorta")->toolTip(), heldName + ": em uso por " + holderText +
                                               QString::fromUtf8("\nkestro-no-such-port: não encontrada "
                                                                 "(verifique o cabo e o adaptador)"));
}

TEST_F(WindowTest, AnAdapterWithoutDriverIsNamedWhenNoPortIsLeftAndBesideAPortItGives)
{
    const WindowsDevice ch340 {"USB\\VID_1A86&PID_7523\\5&2&0&2",
                               {"USB\\VID_1A86&PID_7523&REV_0254"},
                               "USB2.0-Serial",
                               "",
                               "",
                               "",
                               "",
                               true,
                               28};
    adapters = DiagnoseWindowsDevices({ch340});
    Open();
    EXPECT_EQ(Label("lbSt")->text(),
              QString::fromUtf8("Nenhuma porta disponível: adaptador WCH CH340 sem driver (código 28)"));
    EXPECT_EQ(Combo("cbPorta")->toolTip(), QString::fromStdString(AdapterProblemText(adapters[0])));

    SparePort port;
    adapters.push_back(
        {port.Name(), {true, 0x0403, 0x6001, 0x0600, "A50285BI", "FTDI FT232R"}, "FTDI FT232R", true, 0});
    Open({{port.Path(), port.Name(), "USB Serial Port"}});
    EXPECT_EQ(Combo("cbPorta")->itemData(0, Qt::ToolTipRole).toString(),
              "USB Serial Port (FTDI FT232R, 0403:6001)");
    EXPECT_EQ(Label("lbSt")->text(), QString::fromUtf8("adaptador WCH CH340 sem driver (código 28)"));
}

TEST_F(WindowTest, ConectarOnAPortOfAnAdapterWithAProblemSaysItAndOnAGonePortWhereItsAdapterIsNow)
{
    const WindowsDevice refused {
        "USB\\VID_067B&PID_2303\\5&1&0&1", {"USB\\VID_067B&PID_2303&REV_0300"}, "", "", "", "", "COM34", true, 10};
    WindowsDevice kept {"USB\\VID_0403&PID_6001\\A50285BI", {}, "USB Serial Port", "", "", "", "COM33", false, 0};
    WindowsDevice now = kept;
    now.present = true;
    now.portName = "COM43";
    adapters = DiagnoseWindowsDevices({refused, kept, now});
    Open();
    for (const auto& [port, said] :
         {std::pair {"COM34",
                     "Adaptador Prolific PL2303 (067B:2303) recusado pelo driver (código 10):\no driver atual "
                     "não aceita este chip, antigo ou falsificado; use outro adaptador (FTDI, CP210x) ou o "
                     "driver anterior do fabricante."},
          {"COM33", "COM33 não encontrada; o adaptador FTDI FT232R (A50285BI) está agora em COM43"}}) {
        Combo("cbPorta")->lineEdit()->clear();
        QTest::keyClicks(Combo("cbPorta")->lineEdit(), port);
        QTest::mouseClick(Button("btRun"), Qt::LeftButton);
        EXPECT_EQ(Label("lbSt")->text().toStdString(),
                  "Erro ao abrir Porta Serial! (" + std::to_string(window->Session().OpenError()) + ")\n" + said);
    }
}

TEST_F(WindowTest, AStatusTooWideForItsLineIsDrawnSmallerAndWholeInItsTooltip)
{
    SKIP_WITHOUT_HELD_PORTS();
    SparePort held;
    PortHolder holder(held.Path(), "ModemManager");
    ASSERT_TRUE(holder.held);
    Open({{held.Path(), held.Name(), ""}, {"/dev/kestro-no-such-port", "kestro-no-such-port", ""}});
    const QLabel* status = Label("lbSt");
    ASSERT_TRUE(status->text().startsWith(QString::fromUtf8("Nenhuma porta disponível: ")))
        << status->text().toStdString();
    EXPECT_LE(QFontMetrics(status->font()).horizontalAdvance(status->text()), status->width());
    EXPECT_EQ(status->toolTip(), status->text());
}

TEST_F(WindowTest, ThePrintersReasonOnThreeLinesIsDrawnSmallerAndWhole)
{
    Open();
    const QString reasons[] = {QString::fromStdString(Cp1252ToUtf8(ErrorText(1, 2))),
                               QString::fromStdString(Cp1252ToUtf8(ErrorText(1, 1)))};
    for (const QString& reason : reasons) {
        window->SetSt(reason);
        const QLabel* status = Label("lbSt");
        const QRect drawn = QFontMetrics(status->font()).boundingRect(status->rect(), Qt::AlignCenter, reason);
        EXPECT_TRUE(status->rect().contains(drawn)) << reason.toStdString();
    }
    window->SetSt("Erro!");  // one line again: the form's place and size
    EXPECT_EQ(Label("lbSt")->geometry(), QRect(90, 18, 345, 16));
}

TEST_F(WindowTest, TwoLongNamesThatDifferOnlyInTheMiddleAreToldApart)
{
    SparePort a, b;
    const QString first = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3Q7M-if00-port0";
    const QString second = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_B20K3Q7M-if00-port0";
    Open({{a.Path(), first.toStdString(), ""}, {b.Path(), second.toStdString(), ""}});
    QComboBox* list = Combo("cbPorta");
    list->showPopup();
    ASSERT_TRUE(WaitFor([&] { return list->view()->isVisible(); }));
    EXPECT_GE(list->view()->viewport()->width(), list->view()->fontMetrics().horizontalAdvance(first));
    list->hidePopup();
    PickPort(0);
    const QString firstLabel = Label("lbCom")->text();
    PickPort(1);
    EXPECT_NE(Label("lbCom")->text().toStdString(), firstLabel.toStdString());
    EXPECT_EQ(Label("lbCom")->toolTip(), second);
}

TEST_F(WindowTest, NoPortLeavesConnectDisabled)
{
    Open();
    EXPECT_EQ(Combo("cbPorta")->count(), 0);
    EXPECT_FALSE(Button("btRun")->isEnabled());
    EXPECT_FALSE(Label("lbCom")->isVisible());
}

TEST_F(WindowTest, PortaAgainClearsTheChoiceAndDropsTheListDown)
{
    SparePort a, b;
    Open({{a.Path(), a.Name(), ""}, {b.Path(), b.Name(), ""}});
    PickPort(1);
    EXPECT_TRUE(Button("btRun")->isEnabled());
    EXPECT_TRUE(Label("imCom1")->isVisible());
    EXPECT_EQ(Label("lbCom")->text(), QString::fromStdString(b.Name()));

    QTest::mouseClick(Button("btPorta"), Qt::LeftButton);
    EXPECT_EQ(listDuringScan, "Aguarde...");
    EXPECT_FALSE(groupEnabledDuringScan);
    EXPECT_TRUE(Group("gbPorta")->isEnabled());
    EXPECT_FALSE(Button("btRun")->isEnabled());
    EXPECT_FALSE(Label("imCom1")->isVisible());
    EXPECT_FALSE(Label("lbCom")->isVisible());
    EXPECT_EQ(PortList().size(), 2);
    EXPECT_EQ(Combo("cbPorta")->currentIndex(), -1);
    EXPECT_TRUE(WaitFor([&] { return Combo("cbPorta")->view()->isVisible(); }));
    Combo("cbPorta")->hidePopup();
}

TEST_F(WindowTest, CommandLinePathsAreOfferedAsCandidates)
{
    // Device paths as the system writes them: /dev/ttyUSB3 here, \\.\ttyUSB3 on Windows.
    const std::string first = DevicePathForPortName("ttyUSB3");
    const std::string second = DevicePathForPortName("pts/7");
    // A path outside the device folder is tried too; the program's own path is no port.
    const std::string outside = DevicePathForPortName("/tmp/kestro-link");
    Open({}, {"/usr/bin/kestro", first, "+applog", "dev/x", outside, second});
    EXPECT_EQ(extraSeen, (std::vector<std::string> {first, outside, second}));
}

// ---- Program entry -----------------------------------------------------------------------

TEST_F(WindowTest, LowerCaseSwitchTurnsTheLogOnAndLogsTheCommandLineFirst)
{
    Open({}, {"/usr/bin/kestro", "+applog"});
    EXPECT_TRUE(AppLogEnabled());
    const std::string log = LogText();
    EXPECT_EQ(log.substr(0, log.find("\r\n") + 2), "10:20:30.040 /usr/bin/kestro +applog \r\n");
}

TEST_F(WindowTest, SwitchIsFoundInAnyCaseAnywhereButOnlyWhole)
{
    struct Row {
        std::vector<std::string> arguments;
        bool on;
    } const rows[] = {
        {{"kestro", "+APPLOG"}, true},   {{"kestro", "x", "+aPpLoG", "y"}, true},  {{"+applog"}, true},
        {{"kestro", "+APPLOGX"}, false}, {{"kestro", "APPLOG", "-applog"}, false}, {{"kestro"}, false},
    };
    for (const auto& row : rows) {
        SetAppLogEnabled(false);
        Open({}, row.arguments);
        EXPECT_EQ(AppLogEnabled(), row.on) << row.arguments.back();
    }
}

TEST_F(WindowTest, WithoutTheSwitchNoLogFileIsCreated)
{
    Open({}, {"kestro", "/dev/ttyS0"});
    EXPECT_FALSE(AppLogEnabled());
    EXPECT_FALSE(fs::exists(folder / "AppLog.log"));
}

TEST_F(WindowTest, CaptionIsProductNameAndVersion)
{
    Open();
    EXPECT_EQ(window->windowTitle(), "Orlimo Kestro v01.00.00");
    EXPECT_EQ(QCoreApplication::applicationName(), "Orlimo Kestro");
}

TEST(WindowEntry, UnreadableVersionLeavesTheTrailingBlank)
{
    MainWindowSeams seams;
    seams.candidates = [](const std::vector<std::string>&) { return std::vector<PortCandidate>(); };
    seams.versionText = [] { return std::string(); };
    TfmMainComunic window({"kestro"}, seams);
    EXPECT_EQ(window.windowTitle(), "Orlimo Kestro ");
}

// Notes that the window it watches was painted.
class PaintWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }
    bool painted = false;
};

TEST(WindowEntry, IsPaintedSayingAguardeBeforeThePortsAreListed)
{
    PaintWatch watch;
    bool scanned = false, paintedBeforeScan = false;
    MainWindowSeams seams;
    seams.candidates = [&](const std::vector<std::string>&) {
        scanned = true;
        paintedBeforeScan = watch.painted;
        return std::vector<PortCandidate>();
    };
    seams.adapters = [] { return std::vector<AdapterReport>(); };
    TfmMainComunic window({"kestro"}, seams);
    window.installEventFilter(&watch);
    EXPECT_FALSE(scanned);
    EXPECT_EQ(window.findChild<QComboBox*>("cbPorta")->currentText(), "Aguarde...");
    window.show();
    EXPECT_TRUE(WaitFor([&] {
        QCoreApplication::processEvents();
        return window.findChild<QGroupBox*>("gbPorta")->isEnabled();
    }));
    EXPECT_TRUE(scanned && paintedBeforeScan);
    EXPECT_EQ(window.findChild<QComboBox*>("cbPorta")->count(), 0);
}

// An object whose every event handler fails, to raise an exception inside the event loop.
class FailingObject : public QObject {
public:
    explicit FailingObject(bool standard) : standard(standard) {}
    bool event(QEvent*) override
    {
        if (standard)
            throw std::runtime_error("handler failed");
        throw 42;
    }
    bool standard;
};

TEST(WindowEntry, ExceptionInTheEventLoopIsReportedAndEndsTheLoop)
{
    auto* app = static_cast<KestroApplication*>(QCoreApplication::instance());
    for (const bool standard : {true, false}) {
        std::vector<QString> reports;
        KestroApplication::SetFatalReport([&](const QString& message) { reports.push_back(message); });
        FailingObject failing(standard);
        QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
        EXPECT_EQ(app->Run(), 1);
        KestroApplication::SetFatalReport({});
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0], standard ? "handler failed" : "Erro inesperado.");
    }
}

}  // namespace
