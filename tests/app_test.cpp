// The window program started where there is no display: its own options answer all the same, and
// the window says in one line of Portuguese why it cannot open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Started {
    int status = -1;
    std::string output;  // standard output and error together
};

Started WithoutDisplay(const std::string& arguments)
{
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE -u QT_QPA_PLATFORM " +
                                std::string(KESTRO_APP_PATH) + " " + arguments + " 2>&1";
    Started run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char chunk[4096];
    for (size_t n = 0; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        run.output.append(chunk, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(WindowWithoutDisplay, AnswersHelpAndVersionAndSaysInOneLineWhyTheWindowCannotOpen)
{
    const struct {
        const char* arguments;
        int status;
        const char* says;
    } rows[] = {
        {"--help", 0, "\nUso:\n  kestro [/dev/DISPOSITIVO...] [+APPLOG]\n"},
        {"--version", 0, "kestro v"},
        {"/dev/ttyS0", 1, "kestro: nenhuma tela para mostrar a janela; "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const Started run = WithoutDisplay(row.arguments);
        EXPECT_EQ(run.status, row.status);
        EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
        if (row.status != 0) {
            EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        }
    }
}

}  // namespace
