// kestro-cli: the printer tool for terminals and scripts, on the same link and command cycle
// as the window. This file reads the command line and hands it to its command.
#include "base/command_line.h"
#include "base/interrupt.h"
#include "base/log.h"
#include "base/version.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/interrupt_flag.h"
#include "cli/terminal_text.h"
#include "serial/port_list.h"
#include "serial/serial_port.h"
#include "serial/system.h"
#include "vocab/command_words.h"
#include "vocab/cp1252.h"
#include "vocab/error_reason.h"
#include "vocab/filling.h"
#include "vocab/usage_words.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int RunCommand(const CliOptions& options)
{
    if (options.help) {
        WriteText(stdout, CliUsage());
        return kExitDone;
    }
    if (options.version) {
        WriteText(stdout, "kestro-cli " + ProgramVersionText() + "\n");
        return kExitDone;
    }
    return options.command->run(options);
}

// Output that could not be written (a full disk, a closed pipe) is a failure, not a success.
bool OutputWritten()
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    const std::string why = ConsoleText(FillIn(kOutputNotWrittenText, {{"reason", ErrorReason(errno)}}));
    WriteText(stderr, "kestro-cli: " + why + "\n");
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    // Before any thread: a signal then cancels the command, which ends and frees its port.
    const InterruptWatch interrupts(RequestInterrupt, ReleaseAllPorts);
    PrepareConsole();
    const std::vector<std::string> arguments(argv, argv + argc);
    StartLogFromCommandLine(arguments);

    CliOptions options;
    std::string error;
    const std::vector<std::string> rest(arguments.empty() ? arguments.end() : arguments.begin() + 1,
                                        arguments.end());
    if (!ParseCliOptions(rest, options, error)) {
        // One line: the help's seventy would scroll it away. The word quoted in it is the caller's,
        // and may hold a line break or a terminal's control sequence.
        std::string reason = TerminalSafe(error);
        const size_t mark = reason.rfind(kDevicePathMark);
        if (mark != std::string::npos)
            reason.replace(mark, sizeof kDevicePathMark - 1, SystemPortSpelling().anyPath);
        WriteText(stderr, "kestro-cli: " + reason + Cp1252ToUtf8(kSeeHelpText) + "\n");
        return kExitUsage;
    }
    const int status = RunCommand(options);
    if (interrupts.Signal() != 0)
        return SignalExitStatus(interrupts.Signal());
    return OutputWritten() ? status : kExitFailed;
}
