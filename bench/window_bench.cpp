// The window's side of the benchmarks, one process per run: "bare" shows a plain 545x360 QWidget,
// "kestro [device]" the program's window, then connects and runs an X reading; "start bare|kestro" only
// shows the one or the other (the window until its port list is filled, listed_ms);
// "traffic" shows the traffic view and the time it takes to show a 64 KiB block; "search device..."
// times "Localizar ECF" among the devices, the printer's the last; "pull" pulls the printer's line
// during "Emitir LX" and plugs it back before the next.
// Prints "key value" lines: shown_ms (from KESTRO_BENCH_T0), connect_ms, lx_ms, CPU and VmHWM,
// block_shown_ms and full_block_shown_ms, search_ms and picked; wait_ and busy_ median_ms and max_ms.
#include "bench/bench_clock.h"
#include "sim/printer_sim.h"
#include "ui/kestro_application.h"
#include "ui/main_window.h"
#include "ui/traffic_view.h"

#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = BenchClock;

long VmHwmKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

// Time since the launcher's KESTRO_BENCH_T0, on the same monotonic clock.
double SinceLaunch()
{
    const char* t0 = std::getenv("KESTRO_BENCH_T0");
    const long long start = t0 != nullptr ? std::atoll(t0) : 0;
    const long long now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
    return (now - start) / 1e6;
}

// Reports the first expose of a window: the moment it is shown.
class ExposeWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && shownMs < 0 && static_cast<QWindow*>(watched)->isExposed()) {
            shownMs = SinceLaunch();
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }
    double shownMs = -1;
};

void ShowAndWait(QWidget& widget, ExposeWatch& watch)
{
    widget.winId();  // creates the native window, so its expose can be watched
    widget.windowHandle()->installEventFilter(&watch);
    widget.show();
    QCoreApplication::exec();
    std::printf("shown_ms %.1f\n", watch.shownMs);
}

// The window lists its ports once shown; they are there when "Porta:" can be used.
void WaitUntilListed(const TfmMainComunic& window)
{
    const QWidget* group = window.findChild<QWidget*>(QStringLiteral("gbPorta"));
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
    while (group != nullptr && !group->isEnabled() && Clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("listed_ms %.1f\n", SinceLaunch());
}

double IdleCpu()
{
    const double cpu = CpuMs();
    QTimer::singleShot(5000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    return CpuMs() - cpu;
}

// The runs of one exchange that brings a 65,535-byte block, as the link hands them over.
std::vector<std::pair<TrafficDirection, std::vector<uint8_t>>> BlockExchange()
{
    const std::vector<uint8_t> header {0x02, 0x00, 0x14, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF};
    std::vector<uint8_t> data(65536, 'q');
    return {{TrafficDirection::kSent, {0x01, 0x00, 0x14, 0x00, 0x02, 0x00, 0x30, 0x7C, 0xC2}},
            {TrafficDirection::kReceived, {0x06}},
            {TrafficDirection::kSent, {0x05, 0x00}},
            {TrafficDirection::kReceived, {header.begin(), header.begin() + 6}},
            {TrafficDirection::kReceived, {header.begin() + 6, header.end()}},
            {TrafficDirection::kReceived, data}};
}

// From the first run handed to the view's model to the view painted with the block in it.
double ShowBlock(TrafficModel& model, TrafficView& view)
{
    const Clock::time_point start = Clock::now();
    for (const auto& [direction, bytes] : BlockExchange())
        model.Add({direction, 0, bytes.data(), bytes.size()});
    view.repaint();
    QCoreApplication::processEvents();
    return Ms(Clock::now() - start);
}

int TrafficBench()
{
    TrafficModel model;
    TrafficView view(model, [] { return std::string(); }, nullptr);
    view.show();
    QCoreApplication::processEvents();
    std::printf("block_shown_ms %.2f\n", ShowBlock(model, view));
    // A full view: every message now pushes the oldest one out.
    const uint8_t note[] = "Conectado";
    while (model.rowCount() < static_cast<int>(TrafficModel::kMaxMessages))
        model.Add({TrafficDirection::kNote, 0, note, sizeof note - 1});
    ShowBlock(model, view);  // settles the view after the filling
    std::printf("full_block_shown_ms %.2f\n", ShowBlock(model, view));
    return 0;
}

// The window connected through a symbolic link, as to an adapter's fixed name; after each pull a
// new printer is plugged in behind it, and its line is pulled at a different moment of each run
// while the answer is awaited, or while busy is waited out. Prints the times from the pull to
// the text on the status line.
int PullBench()
{
    const QString plug = QStringLiteral("/tmp/kestro-bench-plug-%1").arg(::getpid());
    std::unique_ptr<PrinterSim> printer;
    const auto plugIn = [&] {
        printer = std::make_unique<PrinterSim>();
        QFile::remove(plug);
        return printer->Start() && QFile::link(QString::fromStdString(printer->SlavePath()), plug);
    };
    if (!plugIn())
        return 1;
    MainWindowSeams seams;
    seams.candidates = [&](const std::vector<std::string>&) {
        return std::vector<PortCandidate> {{plug.toStdString(), plug.toStdString(), ""}};
    };
    TfmMainComunic window({"kestro"}, seams);
    window.show();
    window.findChild<QComboBox*>(QStringLiteral("cbPorta"))->setCurrentIndex(0);
    window.cbPortaChange();
    window.btRunClick();
    if (!window.Session().Connected()) {
        std::fprintf(stderr, "window_bench: not connected through %s\n", plug.toStdString().c_str());
        return 1;
    }
    for (const bool busy : {false, true}) {
        std::vector<double> times;
        for (int run = 0; run < kPullRuns; ++run) {
            if (printer->LineDropped() && !plugIn())
                return 1;
            printer->QueuePlan(SimPlan::Answer(busy ? SimAnswer::Busy : SimAnswer::Silent, {1, 1}), 100);
            Clock::time_point pulledAt;
            std::thread puller([&] {
                std::this_thread::sleep_for(PullDelay(run));
                printer->DropLine();
                pulledAt = Clock::now();
            });
            window.btLXClick();
            const Clock::time_point shownAt = Clock::now();
            puller.join();
            const QString said = window.findChild<QLabel*>(QStringLiteral("lbSt"))->text();
            if (said != "Porta serial desconectada") {
                std::fprintf(stderr, "window_bench: the pulled line was said as: %s\n",
                             said.toStdString().c_str());
                return 1;
            }
            times.push_back(Ms(shownAt - pulledAt));
        }
        const char* name = busy ? "busy" : "wait";
        std::printf("%s_median_ms %.1f\n%s_max_ms %.1f\n", name, Median(times), name,
                    *std::max_element(times.begin(), times.end()));
    }
    QFile::remove(plug);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::string mode = argc > 1 ? argv[1] : "bare";
    KestroApplication app(argc, argv);
    ExposeWatch watch;
    if (mode == "traffic")
        return TrafficBench();
    if (mode == "pull")
        return PullBench();
    if (mode == "start" && arguments.size() > 2 && arguments[2] == "bare") {
        QWidget bare;
        bare.setFixedSize(545, 360);
        ShowAndWait(bare, watch);
        return 0;
    }
    if (mode == "bare") {
        QWidget bare;
        bare.setFixedSize(545, 360);
        ShowAndWait(bare, watch);
        std::printf("idle_cpu_ms %.1f\n", IdleCpu());
        std::printf("vmhwm_kb %ld\n", VmHwmKb());
        return 0;
    }

    TfmMainComunic window(arguments);
    ShowAndWait(window, watch);
    WaitUntilListed(window);
    if (mode == "start")
        return 0;
    if (mode == "search") {
        // "Localizar ECF" among the device paths given, the printer's last: until it is picked.
        const Clock::time_point start = Clock::now();
        window.LocalizaECF();
        std::printf("search_ms %.1f\n", Ms(Clock::now() - start));
        const QComboBox* ports = window.findChild<QComboBox*>(QStringLiteral("cbPorta"));
        const bool picked = ports != nullptr && ports->currentText().toStdString() == arguments.back().substr(5);
        std::printf("picked %d\n", picked ? 1 : 0);
        return 0;
    }
    if (argc > 2) {
        // Choose the named port, then "Conectar" and "Emitir LX" as the user would.
        const std::string device = argv[2];
        QComboBox* ports = window.findChild<QComboBox*>(QStringLiteral("cbPorta"));
        const int index = ports != nullptr ? ports->findText(QString::fromStdString(device.substr(5))) : -1;
        if (index < 0) {
            std::fprintf(stderr, "window_bench: %s is not in the port list\n", device.c_str());
            return 1;
        }
        ports->setCurrentIndex(index);
        const double cpu = CpuMs();
        Clock::time_point start = Clock::now();
        window.btRunClick();
        std::printf("connect_ms %.1f\n", Ms(Clock::now() - start));
        if (!window.Session().Connected()) {
            std::fprintf(stderr, "window_bench: not connected\n");
            return 1;
        }
        start = Clock::now();
        window.btLXClick();
        std::printf("lx_ms %.1f\n", Ms(Clock::now() - start));
        std::printf("busy_cpu_ms %.1f\n", CpuMs() - cpu);
        std::printf("idle_cpu_ms %.1f\n", IdleCpu());
        window.btStopClick();
    }
    std::printf("vmhwm_kb %ld\n", VmHwmKb());
    return 0;
}
