// Saves the window's four states and a printer that asks to wait, as docs/screenshots shows
// them, on two pseudo-terminals of its own: cmake --build <dir> --target window_screenshots,
// then <dir>/ui/window_screenshots docs/screenshots. Linux only; run it again after changing
// the form and commit the pictures.
#include "serial/port_list.h"
#include "ui/kestro_application.h"
#include "ui/main_window.h"

#include <QComboBox>
#include <QImage>

#include <cstdio>
#include <pty.h>
#include <string>
#include <vector>

namespace {

// A pseudo-terminal that stays open while the window lists it.
PortCandidate NewPort(const char* name, const char* description)
{
    int master = -1, slave = -1;
    char path[128] = {};
    if (openpty(&master, &slave, path, nullptr, nullptr) != 0) {
        std::perror("openpty");
        std::exit(1);
    }
    return {path, name, description};
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_screenshots FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");  // the form at 100 %
    KestroApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::vector<PortCandidate> ports = {NewPort("ttyUSB0", "USB-Serial Controller"), NewPort("ttyUSB1", "")};
    MainWindowSeams seams;
    seams.candidates = [&ports](const std::vector<std::string>&) { return ports; };
    seams.pause = [](int) {};
    TfmMainComunic window({"kestro"}, seams);
    window.show();
    // The ports are listed once the window has been painted.
    const QWidget* portGroup = window.findChild<QWidget*>(QStringLiteral("gbPorta"));
    for (int round = 0; round < 1000 && !portGroup->isEnabled(); ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    bool saved = true;
    const auto save = [&](const char* name) {
        QCoreApplication::processEvents();
        saved = window.grab().toImage().save(folder + "/" + name) && saved;
    };
    save("window-start.png");
    window.findChild<QComboBox*>("cbPorta")->setCurrentIndex(0);
    window.cbPortaChange();
    save("window-port-chosen.png");
    window.Rodando(true);
    window.AtualizaHeader({"ECF-IF MODELO 2", "BR021900000012345", "010203"});
    // After a successful command the status line stays empty.
    window.SetSt("");
    save("window-connected.png");
    // A command waiting for a busy printer: the gears and the cancel link.
    window.ShowCmd(4, true);
    save("window-printer-busy.png");
    window.ShowCmd(0);
    window.Rodando(false);
    window.SetSt("");
    save("window-disconnected.png");
    return saved ? 0 : 1;
}
