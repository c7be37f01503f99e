// Parsing and usage text of kestro-cli's command line.
#include "cli/cli_options.h"

#include "base/command_line.h"
#include "base/option_table.h"
#include "base/version.h"
#include "cli/cli_commands.h"
#include "serial/port_address.h"
#include "serial/port_list.h"
#include "serial/system.h"
#include "session/line_check.h"
#include "session/printer_session.h"
#include "vocab/address_words.h"
#include "vocab/cp1252.h"
#include "vocab/filling.h"
#include "vocab/usage_words.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace {

const CliCommand* CommandNamed(const std::string& word)
{
    for (const CliCommand& command : CliCommands()) {
        if (word == command.name)
            return &command;
    }
    return nullptr;
}

// "(ports, identify, ... ou ping)": the commands, for the mistakes that ask for one.
std::string CommandNames()
{
    const std::vector<CliCommand>& commands = CliCommands();
    std::string names;
    for (size_t i = 0; i + 1 < commands.size(); ++i)
        names += std::string(i == 0 ? "" : ", ") + commands[i].name;
    return FillInUtf8(kCommandListText, {{"commands", names}, {"last", commands.back().name}});
}

// The whole word as a decimal integer within [low, high]; no blanks, no "+", no hex.
bool ParseInteger(const std::string& word, int64_t low, int64_t high, int64_t& value)
{
    const char* end = word.data() + word.size();
    const auto parsed = std::from_chars(word.data(), end, value);
    return parsed.ec == std::errc() && parsed.ptr == end && value >= low && value <= high;
}

// A word that is no option: +APPLOG (left to the log), the command, send's numbers or a device path.
bool TakeWord(const std::string& word, CliOptions& options, std::vector<std::string>& operands, std::string& error)
{
    if (IsAppLogSwitch(word))
        return true;
    if (options.command != nullptr && options.command->readOperands != nullptr) {
        operands.push_back(word);  // "-5" is send's parameter here, not an option
    } else if (CommandNamed(word) != nullptr) {
        if (options.command != nullptr) {
            error = FillInUtf8(kSecondCommandText, {{"word", word}});
            return false;
        }
        options.command = CommandNamed(word);
    } else if (IsPortWord(word)) {
        options.extraPaths.push_back(word);
    } else if (word.rfind('-', 0) == 0) {
        error = FillInUtf8(kUnknownOptionText, {{"word", word}});
        return false;
    } else {
        error = FillInUtf8(kUnknownWordText, {{"word", word}, {"commands", CommandNames()}});
        return false;
    }
    return true;
}

// The options that only some commands take, and the port that only some need.
bool UsableTogether(const CliOptions& options, std::string& error)
{
    for (const CliCommand& command : CliCommands()) {
        for (const CommandOption* option : command.options) {
            if (options.*option->given && options.command != &command) {
                error = FillInUtf8(kOptionOnlyForText, {{"option", option->name}, {"command", command.name}});
                return false;
            }
        }
    }
    if (options.command == nullptr) {
        error = FillInUtf8(kNoCommandText, {{"commands", CommandNames()}});
        return false;
    }
    const CliCommand& command = *options.command;
    const bool portGiven = !options.port.name.empty();
    if (command.portUse == PortUse::kPaths && portGiven) {
        error = FillInUtf8(kPortNotUsedText, {{"command", command.name}});
        return false;
    }
    if (!command.exchanges && (options.trace || !options.traceFile.empty())) {
        error = Cp1252ToUtf8(kNothingToTraceText);
        return false;
    }
    if (command.portUse == PortUse::kPort && !portGiven) {
        error = Cp1252ToUtf8(kNoPortText);
        return false;
    }
    if (command.portUse != PortUse::kPaths && portGiven && !options.extraPaths.empty()) {
        error = Cp1252ToUtf8(kPathsNotUsedText);
        return false;
    }
    return true;
}

// A server's port without its host or its port number is a mistake in the word, not a name to look up.
bool ServerPortsRead(const CliOptions& options, std::string& error)
{
    std::vector<PortAddress> addresses {options.port};
    for (const std::string& word : options.extraPaths)
        addresses.push_back(ReadPortName(word));
    for (const PortAddress& address : addresses) {
        if (address.OnServer() && address.host.empty()) {
            error = FillInUtf8(kNetworkPortFormText, {{"word", address.name}});
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options, std::string& error)
{
    options = {};
    std::vector<std::string> operands;
    const std::vector<OptionRule> rules = {
        SwitchRule("-h", options.help),
        SwitchRule("--help", options.help),
        SwitchRule("--version", options.version),
        {"--port", kPortNeeds,
         [&](const std::string& value) {
             // "/dev/pts/3" names the same port as "pts/3", which is what the port list shows.
             options.port = ReadPortName(PortNameForDevicePath(value));
             return !options.port.name.empty();
         }},
        {"--relay", kPortNeeds,
         [&](const std::string& value) {
             options.relayGiven = true;
             options.relay = ReadPortName(PortNameForDevicePath(value));
             return !options.relay.name.empty();
         }},
        {"--link", kFileNeeds,
         [&](const std::string& value) {
             options.linkGiven = true;
             options.link = value;
             return !value.empty();
         }},
        SwitchRule("--trace", options.trace),
        {"--trace-file", kFileNeeds,
         [&](const std::string& value) {
             options.traceFile = value;
             return !value.empty();
         }},
        SwitchRule("--verbose", options.verbose),
        SwitchRule("--raw", options.raw),
        SwitchRule("--all", options.all),
        SwitchRule("--json", options.json),
        {"--output", kFileNeeds,
         [&](const std::string& value) {
             options.output = value;
             options.outputGiven = true;
             return !value.empty();
         }},
        SwitchRule("--no-traffic", options.noTraffic),
        {"--count", kCountNeeds,
         [&](const std::string& value) {
             int64_t count = 0;
             options.countGiven = true;
             options.count = ParseInteger(value, 1, LineChecker::kMaxCount, count) ? static_cast<long>(count) : 0;
             return options.count > 0;
         }},
    };
    const auto other = [&](const std::string& word, std::string& wordError) {
        return TakeWord(word, options, operands, wordError);
    };
    if (!ParseOptions(arguments, rules, other, {NeedsValueText, BadValueText}, error))
        return false;
    if (options.help || options.version) {
        options.command = nullptr;
        return true;
    }
    return UsableTogether(options, error) && ServerPortsRead(options, error) &&
           (options.command->readOperands == nullptr || options.command->readOperands(operands, options, error));
}

bool ParseSendRequest(const std::vector<std::string>& words, SendRequest& request, std::string& error)
{
    request = {};
    if (words.size() < 2) {
        error = Cp1252ToUtf8(kSendNeedsText);
        return false;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const bool byte = i < 2;
        const int64_t low = byte ? 0 : INT32_MIN;
        const int64_t high = byte ? 255 : INT32_MAX;
        int64_t value = 0;
        if (!ParseInteger(words[i], low, high, value)) {
            static const char* const names[] = {"CMD", "EXT", "PARAM"};
            error = FillInUtf8(kNotANumberText, {{"name", names[std::min<size_t>(i, 2)]},
                                                 {"low", std::to_string(low)},
                                                 {"high", std::to_string(high)},
                                                 {"word", words[i]}});
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
        error = Cp1252ToUtf8(kParamsDoNotFitText);
        return false;
    }
    return true;
}

namespace {

// Lines of a help paragraph after a first column `width` wide: the first beside it, the rest
// indented as far.
std::string Indented(const std::string& first, size_t width, const std::string& lines)
{
    // A first column too wide for its place stands on a line of its own.
    std::string text = "  " + first +
                       (width > first.size() ? std::string(width - first.size(), ' ') : "\n" + std::string(width + 2, ' '));
    for (const char c : lines)
        text += c == '\n' ? "\n" + std::string(width + 2, ' ') : std::string(1, c);
    return text + "\n";
}

// An option as the help writes it: "--count N".
std::string OptionSpelling(const CommandOption& option)
{
    return std::string(option.name) + (*option.value ? std::string(" ") + option.value : "");
}

// A command's line in the help's usage.
std::string UsageLine(const CliCommand& command)
{
    const bool port = command.portUse == PortUse::kPort;
    std::string line = std::string("  kestro-cli ") + (port ? "--port NOME " : "") + command.name;
    if (command.portUse == PortUse::kPortOrPaths)
        line += " [--port NOME | {path}...]";
    for (const CommandOption* option : command.options)
        line += " [" + OptionSpelling(*option) + "]";
    if (command.portUse == PortUse::kPaths)
        line += " [{path}...]";
    if (*command.operands)
        line += std::string(" ") + command.operands;
    return line + "\n";
}

std::string UsageLines()
{
    std::string lines;
    for (const CliCommand& command : CliCommands())
        lines += UsageLine(command);
    return lines;
}

std::string CommandParagraphs()
{
    std::string paragraphs;
    for (const CliCommand& command : CliCommands())
        paragraphs += Indented(command.name, 10, command.help);
    return paragraphs;
}

// The options that only one command takes, in the commands' order.
std::string CommandOptionParagraphs()
{
    std::string paragraphs;
    for (const CliCommand& command : CliCommands()) {
        for (const CommandOption* option : command.options)
            paragraphs += Indented(OptionSpelling(*option), 13, option->help);
    }
    return paragraphs;
}

// The help, with {path}, {example} and {port} for the ports and device paths as the system writes them.
std::string UsageWords()
{
    return "kestro-cli " + ProgramVersionText() +
           ": fala com uma impressora fiscal numa porta serial, pelo\n"
           "terminal.\n"
           "\n"
           "Uso:\n" +
           UsageLines() +
           "  kestro-cli --help | --version\n"
           "\n"
           "Comandos:\n" +
           CommandParagraphs() +
           "\n"
           "Opções:\n"
           "  --port NOME  {port}\n"
           "               Num servidor serial (ser2net): socket://MÁQUINA:PORTA ou\n"
           "               rfc2217://MÁQUINA:PORTA.\n"
           "  --trace      Com identify, lx, send, ping, find e report: escreve na saída de\n"
           "               erro cada mensagem trocada com a impressora, na hora,\n"
           "               decodificada, uma por linha: os milissegundos desde que a porta\n"
           "               abriu, uma seta para a direção, o significado, os bytes em\n"
           "               hexadecimal. Com find, cada linha começa com a sua porta.\n"
           "  --trace-file ARQUIVO\n"
           "               As mesmas linhas, acrescentadas ao ARQUIVO (criado se preciso).\n"
           "               Com monitor, só este: o tráfego já sai na saída padrão.\n"
           "  +APPLOG      Em maiúsculas ou minúsculas, em qualquer lugar: acrescenta um\n"
           "               registro de diagnóstico de cada passo ao AppLog.log da pasta\n"
           "               atual, começando pela linha de comando.\n" +
           CommandOptionParagraphs() +
           "  --json       Com qualquer comando: escreve os resultados em JSON para\n"
           "               scripts, um objeto por linha na saída padrão, com chaves fixas\n"
           "               em inglês e \"format\": 1; os textos da saída de erro também são\n"
           "               campos do objeto. find escreve uma linha por impressora assim\n"
           "               que a encontra, depois uma linha de resumo. Sem eco, sem pontos\n"
           "               de progresso.\n"
           "  -h, --help   Mostra este texto.\n"
           "  --version    Mostra a versão do programa.\n"
           "\n"
           "Os resultados vão para a saída padrão. Os textos que a linha de status da\n"
           "janela mostraria (os textos de erro da impressora, \"Erro ao ler ECF\", \"Erro!\")\n"
           "vão para a saída de erro, em UTF-8.\n"
           "\n"
           "Uma porta em uso por outro programa é recusada, com o nome desse programa\n"
           "quando o sistema o mostra: \"Erro ao abrir Porta Serial! (16) Em uso por NOME\n"
           "(pid N).\"\n"
           "\n"
           "Código de saída: 0 feito; 1 a porta não abriu, a impressora não foi\n"
           "identificada ou o comando falhou (find: nenhuma impressora respondeu); 2 a\n"
           "linha de comando não foi entendida, inclusive os números de send, e nada foi\n"
           "enviado.\n";
}

}  // namespace

std::string CliUsage()
{
    const PortSpelling& ports = SystemPortSpelling();
    return FillIn(
        UsageWords(),
        {{"path", ports.anyPath}, {"example", ports.examplePath}, {"port", Cp1252ToUtf8(ports.portOption)}});
}
