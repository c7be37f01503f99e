// Fuzzes the option table's reader through kestro-cli's own table: any words, split at each zero
// byte, as a script might pass them. A command line is either taken or refused with a one-line
// reason; a refused one leaves no half-read option behind it to act on. Built with libFuzzer,
// ASan and UBSan.
#include "cli/cli_commands.h"
#include "cli/cli_options.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "option_fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    CliOptions options;
    std::string error;
    const bool taken = ParseCliOptions(words, options, error);
    if (taken != error.empty())
        Fail("a result that disagrees with its reason");
    // The reason quotes the word it refuses as given; only a word that holds a line break may
    // break it (left to the usage texts' owner: the word reaches the terminal as typed).
    const bool brokenWord = std::any_of(
        words.begin(), words.end(), [](const std::string& word) { return word.find('\n') != std::string::npos; });
    if (!taken && !brokenWord && error.find('\n') != std::string::npos)
        Fail("a reason of more than one line");
    if (taken && options.command != nullptr && options.command->readOperands != nullptr) {
        SendRequest again;
        std::string why;
        std::vector<std::string> request {std::to_string(options.send.command),
                                          std::to_string(options.send.extension)};
        for (const int32_t value : options.send.params)
            request.push_back(std::to_string(value));
        if (!ParseSendRequest(request, again, why) || again.params != options.send.params)
            Fail("a send request taken that does not read back");
    }
    return 0;
}
