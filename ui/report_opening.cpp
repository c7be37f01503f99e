// A report read, checked, then shown: its summary beside the window, its traffic in the view.
#include "ui/report_opening.h"

#include "session/report_reading.h"
#include "ui/traffic_view.h"
#include "vocab/error_reason.h"
#include "vocab/cp1252.h"
#include "vocab/report_words.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <cerrno>

namespace {

QString Words(const std::string& utf8) { return QString::fromStdString(utf8); }

// The summary's lines, in a window beside the main one.
void ShowSummary(QWidget& window, const OpenedReport& report, const QString& name)
{
    auto* shown = new QDialog(&window);
    shown->setObjectName(QStringLiteral("fmResumoRelatorio"));
    shown->setAttribute(Qt::WA_DeleteOnClose);
    shown->setWindowTitle(name);
    auto* text = new QPlainTextEdit(shown);
    text->setObjectName(QStringLiteral("txResumo"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QStringList lines;
    for (const std::string& line : report.summary)
        lines << Words(line);
    text->setPlainText(lines.join('\n'));
    auto* layout = new QVBoxLayout(shown);
    layout->addWidget(text);
    shown->resize(640, 240);
    shown->show();
}

}  // namespace

QString OpenSupportReport(QWidget& window, const QString& path, TrafficWatch& traffic)
{
    const std::string shownPath = QDir::toNativeSeparators(path).toStdString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const int error = file.error() == QFileDevice::OpenError && !QFileInfo::exists(path) ? ENOENT : EACCES;
        return Words(FillIn(kReportNotReadText, {{"path", shownPath}, {"reason", Cp1252ToUtf8(ErrorReason(error))}}));
    }
    const QByteArray bytes = file.readAll();
    OpenedReport report;
    std::string why;
    switch (ReadReport(bytes.toStdString(), report, why)) {
    case ReportRead::kNotAReport:
        return Words(FillIn(kNotAReportText, {{"path", shownPath}}));
    case ReportRead::kDamaged:
        return Words(FillIn(kDamagedReportText, {{"why", why}}));
    case ReportRead::kRead:
        break;
    }
    const size_t messages = report.traffic.size();
    traffic.Model().Load(std::move(report.traffic));
    ShowSummary(window, report, QFileInfo(path).fileName());
    return Words(FillIn(kReportOpenedText, {{"code", report.code}, {"messages", Counted(messages, kMessagesWords)}}));
}
