// The support report's dialog: its question, the gathering with progress and cancel, the file saved.
#include "ui/support_report_dialog.h"

#include "base/new_file.h"
#include "session/printer_session.h"
#include "session/report_gathering.h"
#include "session/support_report.h"
#include "ui/traffic_view.h"
#include "vocab/cp1252.h"
#include "vocab/error_reason.h"
#include "vocab/report_words.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <cerrno>
#include <vector>

namespace {

QString Words(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

SupportReportDialog::SupportReportDialog(QWidget* window, PrinterSession& session, const TrafficModel& traffic,
                                         ReportSettings settings)
    : QDialog(window),
      session(session),
      traffic(traffic),
      settings(std::move(settings)),
      progress(new QLabel(Words(kReportContentsText), this)),
      includeTraffic(new QCheckBox(Words(kIncludeTrafficOption), this)),
      generate(new QPushButton(Words(kMakeButton), this)),
      cancel(new QPushButton(Words(kCancelButton), this)),
      openFolder(new QPushButton(Words(kOpenFolderButton), this)),
      poll(new QTimer(this))
{
    setObjectName(QStringLiteral("fmRelatorio"));
    setWindowTitle(Words(kMakeReportAction));
    setAttribute(Qt::WA_DeleteOnClose);
    progress->setObjectName(QStringLiteral("lbProgresso"));
    progress->setWordWrap(true);
    progress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    progress->setMinimumWidth(420);
    includeTraffic->setObjectName(QStringLiteral("ckTrafego"));
    includeTraffic->setChecked(true);
    generate->setObjectName(QStringLiteral("btGerar"));
    generate->setDefault(true);
    cancel->setObjectName(QStringLiteral("btCancelar"));
    openFolder->setObjectName(QStringLiteral("btAbrirPasta"));
    openFolder->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(openFolder);
    buttons->addWidget(generate);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progress);
    layout->addWidget(includeTraffic);
    layout->addLayout(buttons);

    connect(generate, &QPushButton::clicked, this, &SupportReportDialog::Generate);
    connect(cancel, &QPushButton::clicked, this, &SupportReportDialog::reject);
    connect(openFolder, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(this->settings.folder)); });
    // The report's bounds, and a cancel, reach the link at its next wait.
    poll->setInterval(50);
    connect(poll, &QTimer::timeout, this, [this] {
        if (gathering != nullptr)
            gathering->Poll();
    });
}

SupportReportDialog::~SupportReportDialog() = default;

void SupportReportDialog::reject()
{
    if (gathering != nullptr) {
        Cancel();
        return;
    }
    QDialog::reject();
}

void SupportReportDialog::CancelGathering()
{
    if (gathering != nullptr)
        Cancel();
}

void SupportReportDialog::Cancel()
{
    cancelRequested = true;
    gathering->Poll();
}

void SupportReportDialog::Generate()
{
    generate->hide();
    includeTraffic->setEnabled(false);
    ReportWatch watch;
    watch.tick = [] { QCoreApplication::processEvents(); };
    watch.progress = [this](const std::string& step) { progress->setText(Words(step)); };
    watch.cancelled = [this] { return cancelRequested; };
    ReportGathering running(session, watch, settings.pacing);
    ReportRequest request;
    request.program = settings.program;
    request.useConnected = session.Connected();
    // The session's traffic is the traffic view's, which records it all.
    request.ownTraffic = false;
    request.withTraffic = includeTraffic->isChecked();
    request.survey = settings.survey;
    SupportReport report;
    gathering = &running;
    poll->start();
    settings.asCommand([&] { report = running.Gather(request); });
    poll->stop();
    gathering = nullptr;
    cancel->setText(Words(kCloseButton));
    if (running.Cancelled()) {
        progress->setText(Words(kReportCancelledText));
        return;
    }
    Save(report);
}

void SupportReportDialog::Save(SupportReport& report)
{
    report.qtVersion = qVersion();
    if (report.lastFailure.empty() && report.lastPair.errClass == 0) {
        report.lastFailure = settings.lastFailure;
        report.lastPair = settings.lastPair;
    }
    if (report.withTraffic) {
        const std::vector<TrafficMessage> messages(traffic.Messages().begin(), traffic.Messages().end());
        ReportGathering::AddTraffic(report, messages, ReportGathering::kTrafficCap);
        report.trafficPort = session.Port().name;
    }
    std::string code;
    const std::string text = ReportText(report, code);
    const std::string name = ReportFileName(report.when, code);
    // A Documents folder that was never made is made now.
    QDir().mkpath(settings.folder);
    const QString path = QDir(settings.folder).filePath(QString::fromStdString(name));
    const int error = WriteNewFile(QDir::toNativeSeparators(path).toStdString(), SystemTextForm(text));
    if (error != 0) {
        const std::string reason = error == EEXIST ? kNameTakenReason : Cp1252ToUtf8(ErrorReason(error));
        progress->setText(Words(FillIn(kReportNotSavedText,
                                       {{"path", QDir::toNativeSeparators(path).toStdString()}, {"reason", reason}})));
        return;
    }
    saved = path;
    progress->setText(Words(FillIn(kReportSavedText, {{"name", name}, {"code", code}})));
    openFolder->show();
}
