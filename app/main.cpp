// Program entry of the window program: the application object, the main window, the event loop.
#include "ui/kestro_application.h"
#include "ui/main_window.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // The command line as given, before Qt takes out the options that are its own.
    const std::vector<std::string> arguments(argv, argv + argc);
    KestroApplication app(argc, argv);
    TfmMainComunic fmMainComunic(arguments);
    fmMainComunic.show();
    return app.Run();
}
