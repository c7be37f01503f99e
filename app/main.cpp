// Program entry of the window program: the application object, the main window, the event loop.
#include "base/console_text.h"
#include "base/interrupt.h"
#include "base/version.h"
#include "serial/system.h"
#include "ui/kestro_application.h"
#include "ui/main_window.h"
#include "vocab/cp1252.h"
#include "vocab/window_texts.h"

#include <QMetaObject>

#include <atomic>
#include <string>
#include <vector>

namespace {

// What --help and --version print, UTF-8; empty when the command line opens the window. They need
// no window, so they answer where there is no display too.
std::string Answer(const std::vector<std::string>& arguments)
{
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            const PortSpelling& ports = SystemPortSpelling();
            return Cp1252ToUtf8(FillIn(
                kWindowUsageText,
                {{"version", ProgramVersionText()}, {"path", ports.anyPath}, {"example", ports.examplePath}}));
        }
        if (arguments[i] == "--version")
            return "kestro " + ProgramVersionText() + "\n";
    }
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    // The command line as given, before Qt takes out the options that are its own.
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::string answer = Answer(arguments);
    if (!answer.empty())
        return WriteAnswer(answer) ? 0 : 1;
    std::atomic<TfmMainComunic*> window {nullptr};
    // Before any thread: a termination signal closes the window as its close button does (the
    // command in progress is cancelled, the port closed), and the program then ends with it.
    const InterruptWatch interrupts(
        [&window] {
            if (TfmMainComunic* shown = window)
                QMetaObject::invokeMethod(shown, &QWidget::close, Qt::QueuedConnection);
        },
        ReleaseAllPorts);
    KestroApplication app(argc, argv);
    TfmMainComunic fmMainComunic(arguments);
    window = &fmMainComunic;
    fmMainComunic.show();
    const int code = app.Run();
    window = nullptr;
    return interrupts.ExitStatus(code);
}
