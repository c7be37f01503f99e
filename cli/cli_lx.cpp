// kestro-cli lx: the X reading, on the printer that identify opened.
#include "cli/cli_commands.h"
#include "cli/json_output.h"
#include "vocab/command_words.h"

int RunLx(const CliOptions& options)
{
    return RunIdentified(options, "lx",
                         [](PrinterSession& session, ConsoleDisplay& display, SessionReport& report) {
                             report.readingX = session.ReadingX();
                             if (*report.readingX)
                                 display.Result(kReadingXDoneText);
                         });
}
