// The window program's answer to --help and --version, for kestro.exe and kestro.com alike.
#include "app/window_answer.h"

#include "base/version.h"
#include "serial/system.h"
#include "vocab/cp1252.h"
#include "vocab/filling.h"
#include "vocab/window_texts.h"

std::string WindowAnswer(const std::vector<std::string>& arguments)
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
