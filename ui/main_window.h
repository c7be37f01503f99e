// The program's one window: port choice, connection and identification, the X reading and the
// activity display that a running command drives.
#pragma once

#include "serial/port_survey.h"
#include "session/printer_session.h"
#include "ui/traffic_view.h"

#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class MonitorWatch;
class PrinterFinder;
class QAction;
class QComboBox;
class QGroupBox;

namespace Ui {
class TfmMainComunic;
}

// What tests replace; an empty member keeps the real behaviour.
struct MainWindowSeams {
    // The ports to try, given the device paths named on the command line (ListCandidatePorts).
    std::function<std::vector<PortCandidate>(const std::vector<std::string>& extraPaths)> candidates;
    // The adapters that the system sees (ListAdapters).
    std::function<std::vector<AdapterReport>()> adapters;
    // The display's pauses in milliseconds (a plain sleep).
    std::function<void(int milliseconds)> pause;
    // The version text of the caption (ProgramVersionText).
    std::function<std::string()> versionText;
    // The waits of the links that "Conectar" creates.
    LinkPacing pacing;
    // Where the support report goes (the Documents folder).
    std::string reportFolder;
};

class TfmMainComunic : public QWidget {
    Q_OBJECT

public:
    // arguments: the whole command line, the program's path first, as the system gave it.
    explicit TfmMainComunic(const std::vector<std::string>& arguments, MainWindowSeams seams = {},
                            QWidget* parent = nullptr);
    ~TfmMainComunic() override;

    // Activity display: 0 idle (icons hidden), 1 sending, 2 asking for the response,
    // 3 and 6 receiving (then a 50 ms pause), 4 printer busy, 5 error; other codes show empty tiles.
    void ShowCmd(int code);
    // The same, then the "Cancelar" link shown or hidden by the flag, and about half a second
    // during which the window stays alive.
    void ShowCmd(int code, bool cancelVisible);
    // The status line. The text is already Unicode: texts from the link are Windows-1252 bytes,
    // which the caller turns (Shown, ui/shown_text.h) before calling.
    void SetSt(const QString& text);
    // Moves the groups vertically by n steps of 165 pixels; 0 only places the two panels.
    void SetGB(int n);
    // Connected (true) or disconnected (false) state of the whole window.
    void Rodando(bool connected);
    // Shows the identification texts Modelo, NSMF and SB (Windows-1252, as the printer sent
    // them) in the header.
    void AtualizaHeader(const Identification& identification);

    // Handler of the user's choice in the port list.
    void cbPortaChange();
    // "Conectar": opens the link and identifies the printer; connected only when all three items were read.
    void btRunClick();
    // "Desconectar": closes the link and shows the disconnected state.
    void btStopClick();
    // "Emitir LX": the X reading on the current link; "Erro!" when it fails, with the printer's or
    // the open's reason that it replaces in the status line's tooltip.
    void btLXClick();
    // "Localizar ECF" (context menu): scans the ports as "Porta:" does, tries them all for a
    // printer at once and picks the first that identified itself, as if the user had chosen it;
    // only when none did, one that answered without identifying, saying why. The status line names
    // it and how many others answered, the tooltip who they are. The window stays alive meanwhile;
    // "Cancelar" or Escape stops the search, keeping a printer already picked.
    void LocalizaECF();

    // "Gerar relatório para o suporte" (context menu, Ctrl+R): the report's dialog
    // (ui/support_report_dialog.h), its gathering run as one of the window's commands.
    void GeraRelatorio();
    // "Abrir relatório de suporte" (context menu): a report chosen, then opened (ui/report_opening.h).
    void AbreRelatorio();

    // The connection behind the window, for tests and tools that look at it or run their own
    // commands on it.
    PrinterSession& Session() { return session; }

    static const QString kProductName;

protected:
    // Enter presses the focused button, elsewhere "Conectar", the window's default button; Shift+F10
    // opens the context menu, as the menu key does; Escape cancels as "Cancelar" does.
    void keyPressEvent(QKeyEvent* event) override;
    // Closing while connected disconnects first, so that the port is closed; during a command
    // the command is cancelled and the window closes when it has ended.
    void closeEvent(QCloseEvent* event) override;
    // A click on "Cancelar" asks the running command or port search to stop; Shift+F10 in the open
    // context menu goes no further.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The window's one context menu: "Localizar ECF", offered when "Porta:" is, "Testar
    // comunicação", offered on the chosen port while idle, "Monitorar outro programa", offered while
    // a port is chosen and not connected, "Tráfego" (F2) and "Copiar identificação".
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The first paint lists the ports right after it, so that the window shows before the scan.
    void paintEvent(QPaintEvent* event) override;

private:
    // The idle panel "Desconectado" in front, the test panel hidden.
    void GBinv();
    // The port picture: 0 none, 1 port chosen, 2 connected; the port name shows unless 0.
    void ImVisible(int k);
    // Lets pending window events through, so that the window stays painted during a command.
    void ProcessMessages();

    // Fills list with the ports that can be opened now; group is disabled during the scan. The
    // ports left out are named in the list's tooltip, each with its reason, and the most telling
    // one on the status line. A port on a serial server may take seconds: the status line names it
    // and the window's events go on; "Cancelar" or Escape gives it up, a close gives up every one.
    // Its callers run it as a command (CommandScope): nothing else starts meanwhile, and a close
    // waits for its end.
    void LocalizaCOM(QComboBox* list, QGroupBox* group);
    // LocalizaCOM's first steps: group disabled, list showing "Aguarde...".
    static void ShowScanWait(QComboBox* list, QGroupBox* group);
    // The start's scan, then the support reports named on the command line.
    void ListPortsAtStart();
    // Handler of "Porta:".
    void btPortaClick();
    // "Testar comunicação" (context menu, on the chosen port while idle, connected or not): ten
    // model queries with the busy cursor and "Cancelar" shown, the status line telling which one
    // runs; it ends with how many were answered and how fast.
    void TestaComunicacao();
    bool LineTestOffered() const;
    // "Copiar identificação" (context menu, while the header shows what was read): the model, the
    // NS and the SB on one line, to paste into a support ticket.
    void CopiaIdentificacao();

    // The window as the command cycle sees it: texts arrive in Windows-1252.
    class CycleView : public CycleDisplay {
    public:
        explicit CycleView(TfmMainComunic& window) : window(window) {}
        void ShowCmd(int code) override;
        void ShowCmd(int code, bool cancelVisible) override;
        void Wait(std::chrono::milliseconds duration) override;
        std::chrono::milliseconds WaitStep() const override { return std::chrono::milliseconds(100); }
        void SetSt(const std::string& text) override;
        void ShowIdentification(const Identification& identification) override;
        void ShowOpening(const std::string& where) override;
        void ProcessMessages() override;
        const std::string& LastText() const { return shown; }

    private:
        TfmMainComunic& window;
        std::string shown;  // the cycle's last status text
    };

    // Marks a handler that runs commands; a close asked for meanwhile happens at its end. The
    // focus goes back to the button that started it, which the command's disabled group took it
    // from: the next Enter repeats the command instead of pressing whatever came next.
    class CommandScope {
    public:
        explicit CommandScope(TfmMainComunic& window);
        ~CommandScope();
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;

    private:
        TfmMainComunic& window;
        QPointer<QWidget> starter;
    };

    void Pause(int milliseconds);
    // Lets a click on "Cancelar" that is on its way reach it before the link is hidden.
    void LetCancelClickLand();
    // "Porta:" and "Localizar ECF" alike: the choice dropped, the ports scanned anew.
    void ScanAgain();
    // The entries of the window's context menu.
    void FillContextMenu();
    // Pops the context menu up at a point of the screen, its entries offered as the window stands;
    // from the keyboard with the first entry offered chosen.
    void ShowContextMenu(const QPoint& where, bool fromKeys);
    // What "Copiar identificação" copies; empty while the header shows nothing read.
    QString IdentificationLine() const;
    // "Porta:" is enabled (disconnected, no command running): the search may start.
    bool SearchOffered() const;
    // Stops the running command or port search at its next wait.
    void CancelRunning();
    // The search's result on the status line: the printer picked and how many others answered,
    // those in the tooltip.
    void ShowFound(const PortProbe& picked, const std::vector<PortProbe>& probes);
    // The status line's note on the ports that the scan left out; empty when none.
    static QString LeftOutNote(const PortSurvey& survey);
    // Every port with its state and adapter, as the list is made from; the ports on serial servers
    // checked as the watch follows them.
    PortSurvey Survey(const ServerCheckWatch& watch) const;
    // The status line while a port on a serial server is opened, with "Cancelar": text names
    // {where}; an empty where once the open has ended.
    void ShowServerWait(const char* text, const std::string& where);
    // The chosen port's name as listed ("ttyUSB0", "pts/3"); empty when none is chosen.
    std::string PortName() const;
    // The same read as the address that the commands take.
    PortAddress Port() const;

    std::unique_ptr<Ui::TfmMainComunic> ui;
    MainWindowSeams seams;
    std::vector<std::string> extraPaths;  // device paths named on the command line
    std::vector<std::string> reports;     // support reports named on the command line, to open
    bool startScanDue = true;             // until the window's first paint
    std::array<QPixmap, 6> activityIcons;
    bool iconsVisible = false;  // the visibility last given to imTx and imRx
    CycleView cycleView {*this};
    PrinterSession session {cycleView, seams.pacing};
    TrafficWatch traffic {*this, session};  // "Tráfego" (F2)
    std::unique_ptr<MonitorWatch> monitorWatch;  // "Monitorar outro programa"
    bool commandRunning = false;
    bool closeRequested = false;  // the window was closed during a command
    QMenu contextMenu {this};
    QAction* acLocalizaECF = nullptr;
    QAction* acTestaComunicacao = nullptr;
    QAction* acCopiaIdentificacao = nullptr;
    QAction* acGeraRelatorio = nullptr;
    Identification header;            // what the header shows; empty once it shows underscores
    bool cancelKept = false;          // "Cancelar" stays shown between the commands of a line test
    PrinterFinder* finder = nullptr;  // the port search while it runs
    // "Cancelar" or Escape during the scan's check of a port on a serial server.
    bool serverCheckCancelled = false;
    QString scanNote;                 // what the last scan said of the ports it left out
    QRect statusLine;                 // lbSt's place in the form, for a text of one line
};
