// Program entry of the window program: the application object, the main window, the event loop.
#include "app/window_answer.h"
#include "base/console_text.h"
#include "base/interrupt.h"
#include "serial/system.h"
#include "ui/kestro_application.h"
#include "ui/main_window.h"

#include <QMetaObject>

#include <atomic>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // The command line as given, before Qt takes out the options that are its own.
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::string answer = WindowAnswer(arguments);
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
