// "Gerar relatório para o suporte": says what goes in, offers the session's traffic, then gathers
// the report with its progress shown (on the connected link, or searching as "Localizar ECF"
// does), "Cancelar" and Escape stopping it with no file left, and saves it in the Documents folder.
#pragma once

#include "session/command_cycle.h"
#include "link/link_pacing.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <string>

class PrinterSession;
class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class ReportGathering;
class TrafficModel;
struct PortSurvey;
struct SupportReport;

// What the report takes from the window.
struct ReportSettings {
    std::string program;  // "kestro v01.00.00"
    QString folder;       // where the file goes
    LinkPacing pacing;    // the search's links'
    // The window's last failure: its status text (Windows-1252) and the pair.
    std::string lastFailure;
    ErrorPair lastPair;
    // The ports as the window's list sees them (ReportRequest::survey).
    std::function<PortSurvey(const std::function<bool()>& poll)> survey;
    // Runs the gathering as one of the window's commands (the groups disabled, a close held back).
    std::function<void(const std::function<void()>&)> asCommand;
};

class SupportReportDialog : public QDialog {
    Q_OBJECT

public:
    SupportReportDialog(QWidget* window, PrinterSession& session, const TrafficModel& traffic,
                        ReportSettings settings);
    ~SupportReportDialog() override;

    // The file saved; empty until it is.
    const QString& SavedPath() const { return saved; }
    // Stops a report being gathered, as "Cancelar" does; nothing when none is.
    void CancelGathering();

protected:
    // Escape: stops a report being gathered; otherwise closes.
    void reject() override;

private:
    // "Gerar".
    void Generate();
    // Saves what was gathered and says where, or why not.
    void Save(SupportReport& report);
    void Cancel();

    PrinterSession& session;
    const TrafficModel& traffic;
    const ReportSettings settings;
    QLabel* progress;
    QCheckBox* includeTraffic;
    QPushButton* generate;
    QPushButton* cancel;
    QPushButton* openFolder;
    QTimer* poll;
    ReportGathering* gathering = nullptr;  // while it runs
    bool cancelRequested = false;
    QString saved;
};
