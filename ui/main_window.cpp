// The main window's construction, display states, port choice, connection and X reading.
#include "ui/main_window.h"

#include "base/command_line.h"
#include "base/log.h"
#include "base/version.h"
#include "serial/port_address.h"
#include "serial/system.h"
#include "session/adapter_texts.h"
#include "session/identification.h"
#include "session/line_check.h"
#include "session/port_texts.h"
#include "session/printer_finder.h"
#include "ui/monitor_watch.h"
#include "ui/port_combo_box.h"
#include "ui/qt_compat.h"
#include "ui/report_opening.h"
#include "ui/shown_text.h"
#include "ui/support_report_dialog.h"
#include "ui_main_window.h"
#include "vocab/command_words.h"
#include "vocab/connect_words.h"
#include "vocab/error_text.h"
#include "vocab/line_test_words.h"
#include "vocab/report_words.h"
#include "vocab/scan_words.h"
#include "vocab/search_words.h"
#include "vocab/status_words.h"
#include "vocab/window_texts.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>
#include <utility>

namespace {

// The outer size is 551 x 388. A fixed single border is 3 px on each side and the caption
// bar takes 25 px above the client area (3 px border plus 22 px title): 551 - 2 * 3 = 545
// wide and 388 - 25 - 3 = 360 high. The status panel ends at 344, within the client area.
constexpr int kClientWidth = 545;
constexpr int kClientHeight = 360;
constexpr int kOuterWidth = 551;
constexpr int kOuterHeight = 388;

constexpr int kPanelStep = 165;

// A printer's model without the blanks that pad its field: those that QString::trimmed takes.
std::string Trimmed(const std::string& cp1252)
{
    const char* const blanks = " \t\n\v\f\r\xA0";
    const size_t first = cp1252.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return cp1252.substr(first, cp1252.find_last_not_of(blanks) - first + 1);
}

// The context menu's arrow keys pass over the entries not offered now, whatever the system's style
// does (Windows' lands on them), so that the first one offered is one key away.
class SkipDisabledEntries : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override
    {
        return hint == SH_Menu_AllowActiveAndDisabled ? 0 : QProxyStyle::styleHint(hint, option, widget, answer);
    }
};

// Shift+F10, which opens a context menu from the keyboard as the menu key does.
bool IsMenuKeys(const QKeyEvent& event)
{
    return event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier;
}

}  // namespace

// The pictures live in this static library: their registration must be pulled in by hand,
// and from the global namespace.
static void InitPictures() { Q_INIT_RESOURCE(pictures); }

const QString TfmMainComunic::kProductName = QStringLiteral("Orlimo Kestro");

TfmMainComunic::TfmMainComunic(const std::vector<std::string>& arguments, MainWindowSeams seams, QWidget* parent)
    // The flags given before the form is built: given after, they make every control's style anew.
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TfmMainComunic>()),
      seams(std::move(seams))
{
    InitPictures();
    ui->setupUi(this);

    const std::string version = this->seams.versionText ? this->seams.versionText() : ProgramVersionText();
    setWindowTitle(kProductName + " " + QString::fromStdString(version));

    StartLogFromCommandLine(arguments);
    session.SetAdapterSource(this->seams.adapters);
    // The program's own path comes first: not a port.
    // A plain file is a support report to open, not a port.
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (QFileInfo(QString::fromStdString(arguments[i])).isFile())
            reports.push_back(arguments[i]);
        else if (IsPortWord(arguments[i]))
            extraPaths.push_back(arguments[i]);
    }

    connect(ui->btPorta, &QPushButton::clicked, this, &TfmMainComunic::btPortaClick);
    // activated comes from the user only, not from the scan refilling the list.
    connect(ui->cbPorta, qOverload<int>(&QComboBox::activated), this, &TfmMainComunic::cbPortaChange);
    // A port on a serial server is typed in ("socket://loja12:3001"): no scan lists it. What is
    // typed stands as typed: completing "pts/1" to "pts/10" would pick another port.
    ui->cbPorta->setCompleter(nullptr);
    connect(ui->cbPorta->lineEdit(), &QLineEdit::textEdited, this, &TfmMainComunic::cbPortaChange);
    connect(ui->btRun, &QPushButton::clicked, this, &TfmMainComunic::btRunClick);
    connect(ui->btStop, &QPushButton::clicked, this, &TfmMainComunic::btStopClick);
    connect(ui->btLX, &QPushButton::clicked, this, &TfmMainComunic::btLXClick);
    ui->lbStCancel->installEventFilter(this);
    // The identification can be selected and copied into a support ticket; a right click on it
    // opens the window's menu, with "Copiar identificação", as anywhere else.
    for (QLabel* label : {ui->lbFS, ui->lbNS, ui->lbSB}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setContextMenuPolicy(Qt::NoContextMenu);
    }
    monitorWatch = std::make_unique<MonitorWatch>(MonitorWatch::Window {
        this, &traffic, ui->lbSt, [this] { return PortName(); },
        [this] {
            std::vector<std::string> ports;
            for (int i = 0; i < ui->cbPorta->count(); ++i)
                ports.push_back(ui->cbPorta->itemText(i).toStdString());
            return ports;
        },
        [this](const QString& text) { SetSt(text); },
        // Both ports are the relay's meanwhile: no connecting, no port search.
        [this](bool monitoring) { ui->gbPorta->setEnabled(!monitoring); }});
    FillContextMenu();

    statusLine = ui->lbSt->geometry();
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kOuterWidth / 2, kOuterHeight / 2));
    const QLabel* store[] = {ui->imMsg0, ui->imMsg1, ui->imMsg2, ui->imMsg3, ui->imMsg4, ui->imMsg5};
    for (size_t i = 0; i < activityIcons.size(); ++i)
        activityIcons[i] = LabelPixmap(*store[i]);
    ShowCmd(kShowIdle);
    SetGB(0);
    SetSt("");
    GBinv();
    // The scan waits for the window to be painted: a machine with many processes or devices makes it
    // the slowest part of the start.
    ShowScanWait(ui->cbPorta, ui->gbPorta);
}

void TfmMainComunic::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!startScanDue)
        return;
    startScanDue = false;
    QTimer::singleShot(0, this, &TfmMainComunic::ListPortsAtStart);
}

void TfmMainComunic::ListPortsAtStart()
{
    {
        const CommandScope scope(*this);
        LocalizaCOM(ui->cbPorta, ui->gbPorta);
        if (closeRequested)
            return;
    }
    for (const std::string& report : reports)
        SetSt(OpenSupportReport(*this, QString::fromStdString(report), traffic));
}

TfmMainComunic::~TfmMainComunic() = default;

void TfmMainComunic::Pause(int milliseconds)
{
    if (seams.pause)
        seams.pause(milliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TfmMainComunic::ProcessMessages() { QCoreApplication::processEvents(); }

void TfmMainComunic::LetCancelClickLand()
{
    // A click made in the last step of a busy pause is still waiting; on Windows a round of events
    // only queues the input that it reads, and the next round delivers it. Both rounds while
    // "Cancelar" still shows, or the click would land on whatever lies beneath it.
    ProcessMessages();
    ProcessMessages();
}

void TfmMainComunic::ShowCmd(int code)
{
    // Icon of imTx and of imRx for codes 0 to 6; other codes show two empty tiles.
    static const int icons[7][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 3}, {0, 4}, {5, 0}, {0, 3}};
    const bool known = code >= kShowIdle && code <= kShowPartial;
    const int tx = known ? icons[code][0] : 0;
    const int rx = known ? icons[code][1] : 0;
    ui->imTx->setPixmap(activityIcons[tx]);
    ui->imRx->setPixmap(activityIcons[rx]);
    const QString tip = Shown(ActivityTip(code));
    ui->imTx->setToolTip(tip);
    ui->imRx->setToolTip(tip);
    const bool visible = code != kShowIdle;
    if (visible != iconsVisible) {
        iconsVisible = visible;
        ui->imTx->setVisible(visible);
        ui->imRx->setVisible(visible);
    }
    if (!cancelKept && ui->lbStCancel->isVisible())
        LetCancelClickLand();
    ui->lbStCancel->setVisible(cancelKept);
    ui->imTx->repaint();
    ui->imRx->repaint();
    ProcessMessages();
}

void TfmMainComunic::ShowCmd(int code, bool cancelVisible)
{
    ShowCmd(code);
    ui->lbStCancel->setVisible(cancelVisible);
}

void TfmMainComunic::SetSt(const QString& text)
{
    // A text wider than the status line (a port's reason, the advice after an open error) would
    // be cut at both ends: it is drawn smaller until it fits, and the tooltip holds it whole. A text
    // of several lines (the printer's reason) gets the status panel's height, centred on the line.
    constexpr int kFormPixels = 13;
    constexpr int kSmallestPixels = 9;
    const bool lines = text.contains(QLatin1Char('\n'));
    const QRect panel = ui->shCmdSt->geometry().adjusted(0, 1, 0, -1);
    ui->lbSt->setGeometry(lines ? QRect(statusLine.left(), panel.top(), statusLine.width(), panel.height())
                                : statusLine);
    ui->lbSt->ensurePolished();
    QFont font = ui->lbSt->font();
    const auto fits = [&](int pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        if (!lines)
            return metrics.horizontalAdvance(text) <= ui->lbSt->width();
        const QRect needed = metrics.boundingRect(ui->lbSt->rect(), Qt::AlignCenter, text);
        return needed.width() <= ui->lbSt->width() && needed.height() <= ui->lbSt->height();
    };
    int pixels = kFormPixels;
    while (!fits(pixels) && pixels > kSmallestPixels)
        --pixels;
    ui->lbSt->setStyleSheet(pixels == kFormPixels ? QString() : QStringLiteral("font-size: %1px;").arg(pixels));
    ui->lbSt->setToolTip(fits(kFormPixels) ? QString() : text);
    ui->lbSt->setText(text);
}

void TfmMainComunic::SetGB(int n)
{
    const int d = kPanelStep * n;
    const int top = d < 0 ? 0 : kPanelStep;
    ui->gb0->move(12, top);
    ui->gbTeste->move(12, top);
    for (QWidget* group :
         {static_cast<QWidget*>(ui->gbPorta), static_cast<QWidget*>(ui->gbImCOM), static_cast<QWidget*>(ui->gbID),
          static_cast<QWidget*>(ui->gbHeader), static_cast<QWidget*>(ui->gbCmdSt)})
        group->move(group->x(), group->y() + d);
}

void TfmMainComunic::GBinv()
{
    ui->gb0->setVisible(true);
    ui->gbTeste->setVisible(false);
}

void TfmMainComunic::ImVisible(int k)
{
    ui->imCom1->setVisible(k == 1);
    ui->imCom2->setVisible(k == 2);
    ui->lbCom->setVisible(k != 0);
}

void TfmMainComunic::Rodando(bool connected)
{
    const bool idle = !connected;
    ui->btPorta->setEnabled(idle);
    ui->cbPorta->setEnabled(idle);
    ui->btRun->setEnabled(idle);
    ui->btRun->setVisible(idle);
    ui->btStop->setVisible(connected);
    ui->btStop->setEnabled(connected);
    ui->imCom1->setVisible(idle);
    ui->imCom2->setVisible(connected);
    ui->gb0->setVisible(idle);
    ui->gbTeste->setVisible(connected);
    if (idle) {
        const QString blank(22, QChar('_'));
        ui->lbFS->setText(blank);
        ui->lbNS->setText(blank);
        ui->lbSB->setText(blank);
        header = {};
        GBinv();
    }
    ImVisible(connected ? 2 : 1);
    // A focus left on a control now disabled or hidden goes to the button there is to press, so that
    // Enter and Space act on it: "Emitir LX" once connected, "Conectar" once disconnected.
    const QWidget* focused = focusWidget();
    if (focused == nullptr || !focused->isEnabled() || !focused->isVisible())
        (connected ? ui->btLX : ui->btRun)->setFocus();
}

void TfmMainComunic::AtualizaHeader(const Identification& identification)
{
    header = identification;
    const auto show = [](QLabel* label, const std::string& text) { label->setText(Shown(text)); };
    show(ui->lbFS, identification.modelo);
    show(ui->lbNS, identification.nsMf);
    show(ui->lbSB, FormatSb(identification.sb));
    ProcessMessages();
}

PortSurvey TfmMainComunic::Survey(const ServerCheckWatch& watch) const
{
    const std::function<std::vector<AdapterReport>()> adapters = seams.adapters ? seams.adapters : ListAdapters;
    return seams.candidates ? SurveyPorts(seams.candidates(extraPaths), adapters(), extraPaths, watch)
                            : SurveyPorts(extraPaths, adapters, watch);
}

void TfmMainComunic::ShowScanWait(QComboBox* list, QGroupBox* group)
{
    group->setEnabled(false);
    list->clear();
    list->addItem(Shown(kWaitText));
    list->setCurrentIndex(0);
}

void TfmMainComunic::LocalizaCOM(QComboBox* list, QGroupBox* group)
{
    ShowScanWait(list, group);
    list->repaint();  // the device checks don't let events through: show the notice now
    ServerCheckWatch watch;
    watch.checking = [this](const std::string& where) {
        serverCheckCancelled = false;  // a cancel meant for an earlier wait
        ShowServerWait(kCheckingServerText, where);
    };
    watch.poll = [this] {
        ProcessMessages();
        return serverCheckCancelled || closeRequested;
    };
    const PortSurvey survey = Survey(watch);
    list->clear();
    QStringList notOffered;
    for (const auto& report : survey.ports) {
        const QString name = QString::fromStdString(report.port.name);
        if (!PortSurvey::Offers(report)) {
            notOffered << QString::fromStdString(LeftOutText(survey, report, report.port.name));
            continue;
        }
        AddPortEntry(*list, name, QString::fromStdString(PortAdapterText(report)));
    }
    for (const AdapterReport& adapter : survey.Troubled())
        notOffered << QString::fromStdString(AdapterProblemText(adapter));
    list->setToolTip(notOffered.join('\n'));
    scanNote = LeftOutNote(survey);
    SetSt(scanNote);
    list->setCurrentIndex(-1);
    group->setEnabled(true);
}

QString TfmMainComunic::LeftOutNote(const PortSurvey& survey)
{
    // The port a technician most likely looks for: an adapter that gives none, a server's port
    // whose check was just given up, one held, then refused (by the system or a server), then any
    // other.
    static const PortState order[] = {PortState::kNotChecked, PortState::kInUse,       PortState::kNoPermission,
                                      PortState::kRefused,    PortState::kUnreachable, PortState::kNameNotFound,
                                      PortState::kOpenError,  PortState::kGone,        PortState::kNotSerial,
                                      PortState::kNoDevice};
    const std::vector<PortReport>& reports = survey.ports;
    const bool noneFree = survey.Offered().empty();
    const auto told = [&](const PortReport& report) { return noneFree || LeftOut(report.status); };
    std::vector<std::string> notes;
    for (const AdapterReport& adapter : survey.Troubled()) {
        if (adapter.present)
            notes.push_back(AdapterBriefText(adapter));
    }
    for (const PortState state : order) {
        for (const PortReport& report : reports) {
            if (report.status.state == state && told(report))
                notes.push_back(report.port.name + " " + Cp1252ToUtf8(PortStateText(report.status)));
        }
    }
    if (notes.empty())
        return {};
    std::string note = notes.front();
    if (notes.size() > 1)
        note += Cp1252ToUtf8(FillIn(kAndMoreText, {{"count", std::to_string(notes.size() - 1)}}));
    if (noneFree)
        note = FillInUtf8(kNoPortAvailableText, {{"note", note}});
    return QString::fromStdString(note);
}

void TfmMainComunic::ScanAgain()
{
    ui->gb0->setVisible(true);
    ImVisible(0);
    ui->btRun->setEnabled(false);
    LocalizaCOM(ui->cbPorta, ui->gbPorta);
}

void TfmMainComunic::btPortaClick()
{
    {
        const CommandScope scope(*this);
        ScanAgain();
        if (closeRequested)
            return;
    }
    ui->cbPorta->showPopup();
}

void TfmMainComunic::cbPortaChange()
{
    const bool chosen = !PortName().empty();
    ui->btRun->setEnabled(chosen);
    ImVisible(chosen ? 1 : 0);
    // A port on a serial server by its host and port: the label has no room for the scheme. A long
    // name cut where it differs from the other ports' names, and whole in the tooltip.
    const std::string where = Port().Where();
    const QString name = where.empty() ? ui->cbPorta->currentText() : QString::fromStdString(where);
    ui->lbCom->ensurePolished();
    const QString shown = CutApart(name, ui->cbPorta->Names(), ui->lbCom->fontMetrics(), ui->lbCom->width());
    ui->lbCom->setText(shown);
    ui->lbCom->setToolTip(shown == name ? QString() : name);
}

std::string TfmMainComunic::PortName() const { return ui->cbPorta->currentText().trimmed().toStdString(); }

PortAddress TfmMainComunic::Port() const { return ReadPortName(PortName()); }

void TfmMainComunic::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the button that has the focus, as in any Windows dialog; from elsewhere (the
    // port list) "Conectar", the window's default button. A focused button passes Enter on to here.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    QPushButton* pressed = focused != nullptr ? focused : ui->btRun;
    if (enter && pressed->isVisible() && pressed->isEnabled()) {
        pressed->click();
        return;
    }
    if (IsMenuKeys(*event)) {
        QWidget* from = focusWidget() != nullptr ? focusWidget() : this;
        ShowContextMenu(from->mapToGlobal(from->rect().center()), true);
        return;
    }
    if (event->key() == Qt::Key_Escape && commandRunning) {
        CancelRunning();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfmMainComunic::btRunClick()
{
    CommandScope scope(*this);
    ui->gbPorta->setEnabled(false);
    const PrinterSession::ConnectResult result = session.Connect(Port());
    if (result == PrinterSession::kConnected)
        Rodando(true);
    ui->gbPorta->setEnabled(true);
}

void TfmMainComunic::btStopClick()
{
    ui->btStop->setEnabled(false);
    SetSt("");
    session.Disconnect();
    Rodando(false);
}

void TfmMainComunic::btLXClick()
{
    if (!session.Connected())
        return;
    CommandScope scope(*this);
    ui->gbPorta->setEnabled(false);
    ui->gbTeste->setEnabled(false);
    session.ReadingX();
    ui->gbPorta->setEnabled(true);
    ui->gbTeste->setEnabled(true);
}

bool TfmMainComunic::SearchOffered() const { return !commandRunning && ui->btPorta->isEnabled(); }

void TfmMainComunic::LocalizaECF()
{
    if (!SearchOffered())
        return;
    CommandScope scope(*this);
    ScanAgain();
    if (closeRequested)
        return;
    std::vector<PortAddress> ports;
    for (int i = 0; i < ui->cbPorta->count(); ++i)
        ports.push_back(ReadPortName(ui->cbPorta->itemText(i).toStdString()));

    ui->gbPorta->setEnabled(false);
    SetSt(Shown(kSearchingText));
    ui->lbStCancel->setVisible(true);
    PrinterFinder search(seams.pacing);
    finder = &search;
    SearchWatch watch;
    watch.tick = [this] { ProcessMessages(); };
    const SearchResult result = search.Search(ports, PrinterFinder::SearchEnd::kPicked, watch);
    finder = nullptr;
    ui->lbStCancel->hide();
    ui->gbPorta->setEnabled(true);

    if (!result.picked) {
        SetSt(result.cancelled ? QString()
                               : Shown(kNoPrinterFoundText) + (scanNote.isEmpty() ? "" : "; ") + scanNote);
        return;
    }
    const PortProbe& picked = result.probes[*result.picked];
    ShowFound(picked, result.probes);
    ui->cbPorta->setCurrentIndex(ui->cbPorta->findText(QString::fromStdString(picked.port.name)));
    cbPortaChange();
}

bool TfmMainComunic::LineTestOffered() const
{
    return !commandRunning && (session.Connected() || SearchOffered()) && !PortName().empty();
}

void TfmMainComunic::TestaComunicacao()
{
    if (!LineTestOffered())
        return;
    CommandScope scope(*this);
    ui->gbPorta->setEnabled(false);
    ui->gbTeste->setEnabled(false);
    SetSt("");
    // Disconnected, the test opens the chosen port for itself and closes it after, as kestro-cli
    // ping does: a printer too flaky to identify itself is the one that needs it. A port that
    // does not open says why on the status line.
    const bool ownPort = !session.Connected();
    if (ownPort && !session.Open(Port())) {
        ui->gbPorta->setEnabled(true);
        ui->gbTeste->setEnabled(true);
        return;
    }
    setCursor(Qt::BusyCursor);
    cancelKept = true;
    ui->lbStCancel->setVisible(true);
    std::string lost;
    // Which exchange runs, so that a slow line shows that the test goes on.
    const auto progress = [this](long number) {
        SetSt(Shown(FillIn(kProgressText, {{"number", std::to_string(number)},
                                           {"count", std::to_string(LineChecker::kWindowCount)}})));
    };
    progress(1);
    LineChecker test(session);
    const LineTally& tally = test.Run(LineChecker::kWindowCount, [&](const LineExchange& exchange) {
        if (exchange.result == LineExchange::kLineLost)
            lost = OneLine(exchange.ended.text) + "; ";
        if (exchange.number < LineChecker::kWindowCount)
            progress(exchange.number + 1);
    });
    cancelKept = false;
    ui->lbStCancel->hide();
    unsetCursor();
    // A lost line is said first: it is where the technician looks.
    SetSt(Shown(lost + StatusSummaryText(tally)));
    if (ownPort)
        session.Disconnect();
    ui->gbPorta->setEnabled(true);
    ui->gbTeste->setEnabled(true);
}

void TfmMainComunic::ShowFound(const PortProbe& picked, const std::vector<PortProbe>& probes)
{
    // The model, or why there is none, in the words; then the port's name as the system gives it.
    const auto said = [](const char* text, const PortProbe& probe) {
        return Shown(FillIn(text, {{"model", Trimmed(probe.identification.modelo)}, {"why", OneLine(probe.why)}}),
                     {{"port", probe.port.name}});
    };
    const auto line = [&](const PortProbe& probe) {
        return said(probe.identified ? kOtherPrinterLine : kUnidentifiedPortLine, probe);
    };
    QStringList others;
    for (const PortProbe& probe : probes) {
        if (probe.outcome == PortProbe::kPrinter && probe.port.name != picked.port.name)
            others << line(probe);
    }
    QString found = said(picked.identified ? kFoundPrinterText : kFoundUnidentifiedText, picked);
    if (!others.isEmpty())
        found += Shown(FillIn(kAndMoreText, {{"count", std::to_string(others.size())}}));
    SetSt(found + (scanNote.isEmpty() ? "" : "; ") + scanNote);
    if (others.isEmpty())
        return;
    const QString tip = ui->lbSt->toolTip();
    const auto count = static_cast<size_t>(others.size());
    ui->lbSt->setToolTip((tip.isEmpty() ? "" : tip + "\n") + Shown(InNumber(count, kOtherPrintersWords)) + "\n" +
                         others.join('\n'));
}

void TfmMainComunic::FillContextMenu()
{
    acLocalizaECF = contextMenu.addAction(Shown(kFindPrinterAction), this, &TfmMainComunic::LocalizaECF);
    acLocalizaECF->setObjectName("acLocalizaECF");
    acTestaComunicacao = contextMenu.addAction(Shown(kLineTestAction), this, &TfmMainComunic::TestaComunicacao);
    acTestaComunicacao->setObjectName("acTestaComunicacao");
    contextMenu.addAction(monitorWatch->Action());
    contextMenu.addAction(traffic.Action());
    acCopiaIdentificacao =
        contextMenu.addAction(Shown(kCopyIdentificationAction), this, &TfmMainComunic::CopiaIdentificacao);
    acCopiaIdentificacao->setObjectName("acCopiaIdentificacao");
    acGeraRelatorio = contextMenu.addAction(QString::fromUtf8(kMakeReportAction), this, &TfmMainComunic::GeraRelatorio);
    acGeraRelatorio->setObjectName("acGeraRelatorio");
    acGeraRelatorio->setShortcut(Qt::CTRL | Qt::Key_R);
    addAction(acGeraRelatorio);  // the key works with the menu closed
    contextMenu.addAction(QString::fromUtf8(kOpenReportAction), this, &TfmMainComunic::AbreRelatorio)
        ->setObjectName("acAbreRelatorio");
    auto* skip = new SkipDisabledEntries;
    skip->setParent(&contextMenu);
    contextMenu.setStyle(skip);
    contextMenu.installEventFilter(this);
    // The port list would keep the right click to itself and show nothing.
    ui->cbPorta->setContextMenuPolicy(Qt::NoContextMenu);
    ui->cbPorta->lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
}

void TfmMainComunic::contextMenuEvent(QContextMenuEvent* event)
{
    ShowContextMenu(event->globalPos(), event->reason() == QContextMenuEvent::Keyboard);
}

void TfmMainComunic::ShowContextMenu(const QPoint& where, bool fromKeys)
{
    // Shift+F10 may come both as a key and as the system's menu request: one menu.
    if (contextMenu.isVisible())
        return;
    acLocalizaECF->setEnabled(SearchOffered());
    acTestaComunicacao->setEnabled(LineTestOffered());
    monitorWatch->Action()->setEnabled(SearchOffered() && !session.Connected() && !PortName().empty());
    acCopiaIdentificacao->setEnabled(!IdentificationLine().isEmpty());
    acGeraRelatorio->setEnabled(!commandRunning);
    // Not exec(): a command may be running further up this thread's stack, and must not wait
    // for the menu to close.
    contextMenu.popup(where);
    if (!fromKeys)
        return;
    // From the keyboard, the first entry offered is chosen, for Enter.
    const QList<QAction*> entries = contextMenu.actions();
    const auto offered =
        std::find_if(entries.begin(), entries.end(), [](QAction* entry) { return entry->isEnabled(); });
    if (offered != entries.end())
        contextMenu.setActiveAction(*offered);
}

QString TfmMainComunic::IdentificationLine() const
{
    if (header.modelo.empty() && header.nsMf.empty() && header.sb.empty())
        return {};
    return Shown(
        FillIn(kIdentificationLine,
               {{"model", Trimmed(header.modelo)}, {"serial", header.nsMf}, {"version", FormatSb(header.sb)}}));
}

void TfmMainComunic::CopiaIdentificacao()
{
    const QString line = IdentificationLine();
    if (!line.isEmpty())
        QGuiApplication::clipboard()->setText(line);
}

void TfmMainComunic::GeraRelatorio()
{
    if (commandRunning)
        return;
    ReportSettings settings;
    settings.program = "kestro " + ProgramVersionText();
    settings.folder = seams.reportFolder.empty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                                 : QString::fromStdString(seams.reportFolder);
    settings.pacing = seams.pacing;
    settings.lastFailure = cycleView.LastText();
    settings.lastPair = session.ShownPair();
    settings.survey = [this](const std::function<bool()>& poll) {
        ServerCheckWatch watch;
        watch.poll = [this, &poll] { return poll() || closeRequested; };
        return Survey(watch);
    };
    settings.asCommand = [this](const std::function<void()>& run) {
        CommandScope scope(*this);
        const bool port = ui->gbPorta->isEnabled(), test = ui->gbTeste->isEnabled();
        ui->gbPorta->setEnabled(false);
        ui->gbTeste->setEnabled(false);
        run();
        ui->gbPorta->setEnabled(port);
        ui->gbTeste->setEnabled(test);
    };
    (new SupportReportDialog(this, session, traffic.Model(), std::move(settings)))->open();
}

void TfmMainComunic::AbreRelatorio()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QString::fromUtf8(kOpenReportAction), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QString::fromUtf8(kReportFilesFilter));
    if (!path.isEmpty())
        SetSt(OpenSupportReport(*this, path, traffic));
}

void TfmMainComunic::CancelRunning()
{
    session.Cancel();
    if (finder != nullptr)
        finder->Cancel();
    serverCheckCancelled = true;
    // A report being gathered (a close, a termination signal) stops as by its own "Cancelar".
    for (SupportReportDialog* report : findChildren<SupportReportDialog*>())
        report->CancelGathering();
}

TfmMainComunic::CommandScope::CommandScope(TfmMainComunic& window)
    : window(window),
      starter(window.focusWidget())
{
    window.commandRunning = true;
}

TfmMainComunic::CommandScope::~CommandScope()
{
    window.commandRunning = false;
    if (starter != nullptr && starter->isVisible() && starter->isEnabled())
        starter->setFocus();
    if (window.closeRequested) {
        window.closeRequested = false;
        // Queued: the handler that owns this scope finishes before the window goes.
        QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
    }
}

void TfmMainComunic::closeEvent(QCloseEvent* event)
{
    if (commandRunning) {
        // The link is in use further up this thread's stack: stop the command, close afterwards.
        closeRequested = true;
        CancelRunning();
        event->ignore();
        return;
    }
    if (session.Connected())
        btStopClick();
    QWidget::closeEvent(event);
}

bool TfmMainComunic::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->lbStCancel && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && ui->lbStCancel->rect().contains(MousePoint(*mouse))) {
            CancelRunning();
            return true;
        }
    }
    // Shift+F10 again while the menu is open: the menu stays, and the key goes no further (on
    // Windows it would open the window's system menu over it).
    if (watched == &contextMenu && event->type() == QEvent::KeyPress &&
        IsMenuKeys(*static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TfmMainComunic::CycleView::ShowCmd(int code) { window.ShowCmd(code); }

void TfmMainComunic::CycleView::ShowCmd(int code, bool cancelVisible) { window.ShowCmd(code, cancelVisible); }

void TfmMainComunic::CycleView::Wait(std::chrono::milliseconds duration)
{
    // Alive through the pause: a click on "Cancelar" or a close gets through.
    window.ProcessMessages();
    window.Pause(static_cast<int>(duration.count()));
}

void TfmMainComunic::CycleView::SetSt(const std::string& text)
{
    const std::string replaced = std::exchange(shown, text);
    window.SetSt(Shown(text));
    // "Erro!" and "Erro ao ler ECF" tell only that the command failed: the printer's or the open's
    // reason that they replace stays in the tooltip.
    if ((text == kReadingXFailedText || text == kReadFailedText) && !replaced.empty())
        window.ui->lbSt->setToolTip(Shown(replaced));
}

void TfmMainComunic::CycleView::ProcessMessages() { window.ProcessMessages(); }

void TfmMainComunic::ShowServerWait(const char* text, const std::string& where)
{
    const bool opening = !where.empty();
    SetSt(opening ? Shown(FillIn(text, {{"where", where}})) : QString());
    if (!opening)
        LetCancelClickLand();
    ui->lbStCancel->setVisible(opening);
    ProcessMessages();
}

void TfmMainComunic::CycleView::ShowOpening(const std::string& where)
{
    // Said on the status line, not as the cycle's text: it is no failure to keep for a report.
    window.ShowServerWait(kConnectingText, where);
}

void TfmMainComunic::CycleView::ShowIdentification(const Identification& identification)
{
    window.AtualizaHeader(identification);
}
