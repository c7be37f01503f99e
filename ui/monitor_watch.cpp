// The window's monitor: the question, the relay, its rows in the traffic view and its status line.
#include "ui/monitor_watch.h"

#include "serial/port_address.h"
#include "serial/pseudo_terminal.h"
#include "ui/shown_text.h"
#include "ui/traffic_view.h"
#include "vocab/filling.h"
#include "vocab/monitor_words.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QTimer>

namespace {

// How often the window looks whether a side was lost.
constexpr int kEndLookMs = 100;

}  // namespace

MonitorWatch::MonitorWatch(Window window)
    : window(std::move(window)),
      action(new QAction(Shown(kMonitorAction), this->window.widget)),
      statusLine(this->window.statusLine->geometry()),
      endWatch(new QTimer(this))
{
    action->setObjectName(QStringLiteral("acMonitorar"));
    connect(action, &QAction::triggered, this, &MonitorWatch::Ask);
    connect(endWatch, &QTimer::timeout, this, &MonitorWatch::LookForEnd);
}

QLabel* MonitorWatch::StopLink()
{
    // Made on first use: laying out a link's text is a cost the window's start does without.
    if (stopLink == nullptr) {
        stopLink = new QLabel(window.statusLine->parentWidget());  // in the status line's own panel
        stopLink->setObjectName(QStringLiteral("lbStStop"));
        stopLink->setText(QStringLiteral("<a href=\"stop\">%1</a>").arg(Shown(kStopMonitorLink)));
        stopLink->adjustSize();
        stopLink->move(statusLine.right() - stopLink->width(), statusLine.top());
        connect(stopLink, &QLabel::linkActivated, this, [this] { Stop(); });
    }
    return stopLink;
}

MonitorWatch::~MonitorWatch()
{
    if (monitor)
        monitor->Stop();
}

void MonitorWatch::Ask()
{
    const std::string printer = window.printerPort();
    QStringList choices;
    if (PseudoTerminalsAvailable())
        choices << Shown(kNewPseudoTerminal);
    for (const std::string& port : window.ports()) {
        if (port != printer)
            choices << QString::fromStdString(port);
    }
    bool chosen = false;
    const QString other =
        QInputDialog::getItem(window.widget, Shown(kMonitorAction), Shown(kMonitorQuestion, {{"port", printer}}),
                              choices, 0, true, &chosen);
    if (!chosen || other.trimmed().isEmpty())
        return;
    StartWith(other == Shown(kNewPseudoTerminal) ? std::string() : other.trimmed().toStdString());
}

void MonitorWatch::StartWith(const std::string& otherPort)
{
    if (monitor)
        return;
    monitor = std::make_unique<PortMonitor>([this](const std::vector<TrafficMessage>& messages) { Queue(messages); });
    if (!monitor->Start({ReadPortName(window.printerPort()), ReadPortName(otherPort), {}})) {
        const QString why = Shown(monitor->FailureText());
        monitor.reset();
        window.setStatus(why);
        return;
    }
    window.monitoring(true);
    window.traffic->Show();
    window.setStatus(QString::fromStdString(
        FillIn(kMonitoringStatusUtf8, {{"printer", monitor->PrinterPort()}, {"other", monitor->OtherPort()}})));
    StopLink()->show();
    stopLink->raise();
    endWatch->start(kEndLookMs);
}

// The rows wait here for the window's thread, where the view lives: one call queued at a time, and
// no more rows kept than the view keeps, so that a window that does not paint for a while (a
// modal dialog, a slow desktop) does not grow the program's memory.
void MonitorWatch::Queue(const std::vector<TrafficMessage>& messages)
{
    std::lock_guard<std::mutex> lock(pendingLock);
    pending.insert(pending.end(), messages.begin(), messages.end());
    if (pending.size() > TrafficModel::kMaxMessages)
        pending.erase(pending.begin(), pending.end() - TrafficModel::kMaxMessages);
    if (!showQueued) {
        showQueued = true;
        QMetaObject::invokeMethod(this, &MonitorWatch::ShowQueued, Qt::QueuedConnection);
    }
}

void MonitorWatch::ShowQueued()
{
    std::vector<TrafficMessage> rows;
    {
        std::lock_guard<std::mutex> lock(pendingLock);
        rows.swap(pending);
        showQueued = false;
    }
    window.traffic->Model().Append(std::move(rows));
}

void MonitorWatch::Stop() { Stopped({}); }

void MonitorWatch::LookForEnd()
{
    if (monitor && !monitor->EndText().empty())
        Stopped(Shown(monitor->EndText()));
}

void MonitorWatch::Stopped(const QString& status)
{
    if (!monitor)
        return;
    endWatch->stop();
    monitor->Stop();
    monitor.reset();
    if (stopLink != nullptr)
        stopLink->hide();
    window.monitoring(false);
    window.setStatus(status);
}
