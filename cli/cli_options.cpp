// Parsing and usage text of kestro-cli's command line.
#include "cli/cli_options.h"

#include "base/command_line.h"
#include "base/option_table.h"
#include "base/version.h"
#include "serial/port_list.h"
#include "session/line_test.h"
#include "session/printer_session.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace {

using Command = CliOptions::Command;

Command CommandNamed(const std::string& word)
{
    if (word == "ports")
        return Command::Ports;
    if (word == "identify")
        return Command::Identify;
    if (word == "lx")
        return Command::Lx;
    if (word == "find")
        return Command::Find;
    if (word == "send")
        return Command::Send;
    if (word == "ping")
        return Command::Ping;
    return Command::None;
}

// The whole word as a decimal integer within [low, high]; no blanks, no "+", no hex.
bool ParseInteger(const std::string& word, int64_t low, int64_t high, int64_t& value)
{
    const char* end = word.data() + word.size();
    const auto parsed = std::from_chars(word.data(), end, value);
    return parsed.ec == std::errc() && parsed.ptr == end && value >= low && value <= high;
}

// A word that is no option: +APPLOG (left to the log), the command, send's numbers or a device path.
bool TakeWord(const std::string& word, CliOptions& options, std::vector<std::string>& sendWords,
              std::string& error)
{
    if (IsAppLogSwitch(word))
        return true;
    if (options.command == Command::Send) {
        sendWords.push_back(word);  // "-5" is a parameter here, not an option
    } else if (CommandNamed(word) != Command::None) {
        if (options.command != Command::None) {
            error = "only one command at a time: '" + word + "'";
            return false;
        }
        options.command = CommandNamed(word);
    } else if (IsDevicePathArgument(word)) {
        options.extraPaths.push_back(word);
    } else {
        error = "unknown argument '" + word + "'";
        return false;
    }
    return true;
}

// The options that only some commands take, and the port that only some need.
bool UsableTogether(const CliOptions& options, std::string& error)
{
    const bool portGiven = !options.port.empty();
    if (options.verbose && options.command != Command::Find) {
        error = "--verbose is for find";
        return false;
    }
    if (options.raw && options.command != Command::Send) {
        error = "--raw is for send";
        return false;
    }
    if (options.countGiven && options.command != Command::Ping) {
        error = "--count is for ping";
        return false;
    }
    if (options.all && options.command != Command::Ports) {
        error = "--all is for ports";
        return false;
    }
    switch (options.command) {
    case Command::None:
        error = "no command given";
        return false;
    case Command::Ports:
    case Command::Find:
        if (portGiven) {
            error = std::string(options.command == Command::Find ? "find" : "ports") + " takes no --port";
            return false;
        }
        if (options.command == Command::Ports && (options.trace || !options.traceFile.empty())) {
            error = "ports has no traffic to trace";
            return false;
        }
        return true;
    default:
        if (!portGiven) {
            error = "this command needs --port NAME";
            return false;
        }
        if (!options.extraPaths.empty()) {
            error = "device paths are for ports and find; give the port with --port";
            return false;
        }
        return true;
    }
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options, std::string& error)
{
    options = {};
    bool help = false;
    bool version = false;
    std::vector<std::string> sendWords;
    const std::vector<OptionRule> rules = {
        SwitchRule("-h", help),
        SwitchRule("--help", help),
        SwitchRule("--version", version),
        {"--port", "a port name",
         [&](const std::string& value) {
             // "/dev/pts/3" names the same port as "pts/3", which is what the port list shows.
             options.port = PortNameForDevicePath(value);
             return !options.port.empty();
         }},
        SwitchRule("--trace", options.trace),
        {"--trace-file", "a file name",
         [&](const std::string& value) {
             options.traceFile = value;
             return !value.empty();
         }},
        SwitchRule("--verbose", options.verbose),
        SwitchRule("--raw", options.raw),
        SwitchRule("--all", options.all),
        SwitchRule("--json", options.json),
        {"--count", "a number",
         [&](const std::string& value) {
             int64_t count = 0;
             options.countGiven = true;
             options.count = ParseInteger(value, 1, LineTest::kMaxCount, count) ? static_cast<long>(count) : 0;
             return options.count > 0;
         }},
    };
    const auto other = [&](const std::string& word, std::string& wordError) {
        return TakeWord(word, options, sendWords, wordError);
    };
    if (!ParseOptions(arguments, rules, other, error))
        return false;
    if (help || version) {
        options.command = help ? Command::Help : Command::Version;
        return true;
    }
    return UsableTogether(options, error) &&
           (options.command != Command::Send || ParseSendRequest(sendWords, options.send, error));
}

bool ParseSendRequest(const std::vector<std::string>& words, SendRequest& request, std::string& error)
{
    request = {};
    if (words.size() < 2) {
        error = "send needs CMD and EXT";
        return false;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const bool byte = i < 2;
        const int64_t low = byte ? 0 : INT32_MIN;
        const int64_t high = byte ? 255 : INT32_MAX;
        int64_t value = 0;
        if (!ParseInteger(words[i], low, high, value)) {
            static const char* const names[] = {"CMD", "EXT", "PARAM"};
            error = std::string(names[std::min<size_t>(i, 2)]) + " must be a whole number from " +
                    std::to_string(low) + " to " + std::to_string(high) + ", not '" + words[i] + "'";
            return false;
        }
        if (i == 0)
            request.command = static_cast<uint8_t>(value);
        else if (i == 1)
            request.extension = static_cast<uint8_t>(value);
        else
            request.params.push_back(static_cast<int32_t>(value));
    }
    if (!PrinterSession::ParamsFit(request.params)) {
        error = "the parameters do not fit one command frame";
        return false;
    }
    return true;
}

std::string CliUsage()
{
    return "kestro-cli " + ProgramVersionText() +
           ": talks to a fiscal printer on a serial port from a terminal.\n"
           "\n"
           "Usage:\n"
           "  kestro-cli ports [--all] [/dev/DEVICE...]\n"
           "  kestro-cli --port NAME identify\n"
           "  kestro-cli --port NAME lx\n"
           "  kestro-cli find [--verbose] [/dev/DEVICE...]\n"
           "  kestro-cli --port NAME send [--raw] CMD EXT [PARAM...]\n"
           "  kestro-cli --port NAME ping [--count N]\n"
           "  kestro-cli --help | --version\n"
           "\n"
           "Commands:\n"
           "  ports     Lists the serial ports that can be opened now, one name per line, followed\n"
           "            by a tab and the adapter's product name when the system knows it. Device\n"
           "            paths given after it (/dev/pts/3) are tried as well. Ports left out (held by\n"
           "            another program, no permission, ...) are counted on standard error.\n"
           "  identify  Connects as the window's \"Conectar\" does and prints the printer's model\n"
           "            (Modelo), the serial number of its fiscal memory (NS MF) and its basic\n"
           "            software version (SB, as NN.NN.NN).\n"
           "  lx        Connects and identifies as identify does, then runs the X reading\n"
           "            (Leitura X).\n"
           "  find      Tries every port that ports lists (and the device paths given) for a\n"
           "            printer, all ports at once, and prints one line per printer that answered:\n"
           "            the port, then Modelo, NS MF and SB, separated by tabs. Sends nothing but\n"
           "            the link's synchronisation (SYN) and the three identification queries;\n"
           "            takes about one answer wait (6 seconds) however many ports there are.\n"
           "            Each printer's line comes out as soon as it is identified; one last line\n"
           "            on standard error counts the ports tried and those left out, and why\n"
           "            (\"Nenhum ECF encontrado\" when no printer answered).\n"
           "  send      Sends one command as it is given: the command byte CMD and the extension\n"
           "            byte EXT (0 to 255) and the parameters PARAM (32-bit integers, negative\n"
           "            ones too), through the same cycle as lx, without identifying first. Prints\n"
           "            the response's fields, one per line. Echoes the command on a terminal.\n"
           "  ping      Testa a linha: sincroniza e envia N vezes a consulta do modelo, que nada\n"
           "            muda no ECF, pelo mesmo ciclo que identify, sem as pausas da tela. Uma\n"
           "            linha por troca quando ela termina (\"1: 152 ms\", \"2: sem resposta\",\n"
           "            \"3: recusado (NAK ...)\", \"4: resposta diferente da primeira: ...\",\n"
           "            \"5: ocupado 3 vezes, 1.250 ms\"), depois o resumo com as contagens e os\n"
           "            tempos (m\u00edn/mediana/m\u00e1x). Depois de cada falha pede de novo o\n"
           "            n\u00famero de sequ\u00eancia (SYN), para que uma falha conte uma vez s\u00f3.\n"
           "            Sai com 0 quando todas as trocas tiveram a resposta da primeira, 1 se n\u00e3o.\n"
           "\n"
           "Options:\n"
           "  --port NAME  The port as ports lists it: ttyUSB0, ttyS0, pts/3 (COM3 on Windows).\n"
           "               A path /dev/NAME is taken as NAME; another absolute path as it stands.\n"
           "  --trace      With identify, lx, send and find: writes every message exchanged with\n"
           "               the printer to standard error as it happens, decoded, one per line:\n"
           "               milliseconds since the port opened, an arrow for the direction, the\n"
           "               meaning, the bytes in hex. With find each line starts with its port.\n"
           "  --trace-file FILE\n"
           "               The same lines, appended to FILE (created if needed).\n"
           "  +APPLOG      In any letter case and anywhere: appends a diagnostic log of every step\n"
           "               to AppLog.log in the current folder, starting with the command line.\n"
           "  --all        With ports: every port the system knows, one per line: the name, a tab,\n"
           "               its state (\"livre\", or why it can't be used, in Portuguese), then a tab\n"
           "               and the adapter when known.\n"
           "  --verbose    With find: also names, on standard error, each port where no printer\n"
           "               answered or that was left out, and why.\n"
           "  --raw        With send: prints the response's bytes in hexadecimal instead.\n"
           "  --count N    Com ping: quantas trocas, de 1 a 100.000 (10 se omitido).\n"
           "  --json       With any command: writes its results as JSON for scripts, one object a\n"
           "               line on standard output, with stable English keys and \"format\": 1;\n"
           "               the texts of standard error are fields of the object too. find writes\n"
           "               one line per printer as it is found, then a summary line. No echo, no\n"
           "               progress dots.\n"
           "  -h, --help   Shows this text.\n"
           "  --version    Shows the program's version.\n"
           "\n"
           "Results go to standard output. The texts that the window's status line would show\n"
           "(the printer's error texts, \"Erro ao ler ECF\", \"Erro!\") go to standard error, in\n"
           "Portuguese and UTF-8.\n"
           "\n"
           "A port that another program holds is refused, naming that program where the system\n"
           "shows it: \"Erro ao abrir Porta Serial! (16) Em uso por NAME (pid N).\"\n"
           "\n"
           "Exit status: 0 done; 1 the port did not open, the printer was not identified or the\n"
           "command failed (find: no printer answered); 2 the command line was not understood,\n"
           "send's numbers included, and nothing was sent.\n";
}
