// Parsing and usage text of kestro-cli's command line.
#include "cli/cli_options.h"

#include "base/command_line.h"
#include "base/option_table.h"
#include "base/version.h"
#include "serial/network_port.h"
#include "serial/port_list.h"
#include "session/line_test.h"
#include "session/printer_session.h"
#include "vocab/address_words.h"
#include "vocab/cp1252.h"
#include "vocab/filling.h"
#include "vocab/usage_words.h"

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
            error = FillInUtf8(kSecondCommandText, {{"word", word}});
            return false;
        }
        options.command = CommandNamed(word);
    } else if (IsDevicePathArgument(word) || IsNetworkPortName(word)) {
        options.extraPaths.push_back(word);
    } else if (word.rfind('-', 0) == 0) {
        error = FillInUtf8(kUnknownOptionText, {{"word", word}});
        return false;
    } else {
        error = FillInUtf8(kUnknownWordText, {{"word", word}, {"commands", kCommandNames}});
        return false;
    }
    return true;
}

// The options that only some commands take, and the port that only some need.
bool UsableTogether(const CliOptions& options, std::string& error)
{
    const bool portGiven = !options.port.empty();
    const struct {
        bool given;
        Command command;
        const char* option;
        const char* commandName;
    } onlyFor[] = {
        {options.verbose, Command::Find, "--verbose", "find"},
        {options.raw, Command::Send, "--raw", "send"},
        {options.countGiven, Command::Ping, "--count", "ping"},
        {options.all, Command::Ports, "--all", "ports"},
    };
    for (const auto& rule : onlyFor) {
        if (rule.given && options.command != rule.command) {
            error = FillInUtf8(kOptionOnlyForText, {{"option", rule.option}, {"command", rule.commandName}});
            return false;
        }
    }
    switch (options.command) {
    case Command::None:
        error = FillInUtf8(kNoCommandText, {{"commands", kCommandNames}});
        return false;
    case Command::Ports:
    case Command::Find:
        if (portGiven) {
            error =
                FillInUtf8(kPortNotUsedText, {{"command", options.command == Command::Find ? "find" : "ports"}});
            return false;
        }
        if (options.command == Command::Ports && (options.trace || !options.traceFile.empty())) {
            error = Cp1252ToUtf8(kNothingToTraceText);
            return false;
        }
        return true;
    default:
        if (!portGiven) {
            error = Cp1252ToUtf8(kNoPortText);
            return false;
        }
        if (!options.extraPaths.empty()) {
            error = Cp1252ToUtf8(kPathsNotUsedText);
            return false;
        }
        return true;
    }
}

// A server's port without its host or its port number is a mistake in the word, not a name to look up.
bool ServerPortsRead(const CliOptions& options, std::string& error)
{
    std::vector<std::string> words = options.extraPaths;
    words.push_back(options.port);
    for (const std::string& word : words) {
        if (IsNetworkPortName(word) && !ParseNetworkPortName(word)) {
            error = FillInUtf8(kNetworkPortFormText, {{"word", word}});
            return false;
        }
    }
    return true;
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
        {"--port", kPortNeeds,
         [&](const std::string& value) {
             // "/dev/pts/3" names the same port as "pts/3", which is what the port list shows.
             options.port = PortNameForDevicePath(value);
             return !options.port.empty();
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
        {"--count", kCountNeeds,
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
    if (!ParseOptions(arguments, rules, other, {NeedsValueText, BadValueText}, error))
        return false;
    if (help || version) {
        options.command = help ? Command::Help : Command::Version;
        return true;
    }
    return UsableTogether(options, error) && ServerPortsRead(options, error) &&
           (options.command != Command::Send || ParseSendRequest(sendWords, options.send, error));
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

// The help, with {path}, {example} and {port} for the ports and device paths as the system writes them.
std::string UsageWords()
{
    return "kestro-cli " + ProgramVersionText() +
           ": fala com uma impressora fiscal numa porta serial, pelo\n"
           "terminal.\n"
           "\n"
           "Uso:\n"
           "  kestro-cli ports [--all] [{path}...]\n"
           "  kestro-cli --port NOME identify\n"
           "  kestro-cli --port NOME lx\n"
           "  kestro-cli find [--verbose] [{path}...]\n"
           "  kestro-cli --port NOME send [--raw] CMD EXT [PARAM...]\n"
           "  kestro-cli --port NOME ping [--count N]\n"
           "  kestro-cli --help | --version\n"
           "\n"
           "Comandos:\n"
           "  ports     Lista as portas seriais que podem ser abertas agora, um nome por\n"
           "            linha, seguido de uma tabulação e do nome do adaptador quando o\n"
           "            sistema o conhece. Os caminhos de dispositivo dados depois dele\n"
           "            ({example}) também são tentados. As portas deixadas de fora (em\n"
           "            uso por outro programa, sem permissão, ...) são contadas na saída\n"
           "            de erro.\n"
           "  identify  Conecta como o \"Conectar\" da janela e mostra o modelo da impressora\n"
           "            (Modelo), o número de série da memória fiscal (NS MF) e a versão do\n"
           "            software básico (SB, como NN.NN.NN).\n"
           "  lx        Conecta e identifica como identify, depois emite a Leitura X.\n"
           "  find      Procura uma impressora em todas as portas que ports lista (e nos\n"
           "            caminhos de dispositivo dados), todas ao mesmo tempo, e mostra uma\n"
           "            linha por impressora que se identificou: a porta, depois Modelo,\n"
           "            NS MF e SB, separados por tabulações. Envia só a sincronização do\n"
           "            enlace (SYN) e as três consultas de identificação; leva cerca de\n"
           "            uma espera de resposta (6 segundos), quantas portas houver. A linha\n"
           "            de cada impressora sai assim que ela é identificada; uma porta que\n"
           "            responde mas não se identifica é dita na saída de erro, com o\n"
           "            motivo. Uma última linha na saída de erro conta as impressoras, as\n"
           "            portas tentadas e as deixadas de fora, e por quê (\"Nenhum ECF\n"
           "            encontrado\" quando nenhuma impressora se identificou).\n"
           "  send      Envia um comando tal como é dado: o byte de comando CMD e o byte de\n"
           "            extensão EXT (0 a 255) e os parâmetros PARAM (inteiros de 32 bits,\n"
           "            negativos também), pelo mesmo ciclo do lx, sem identificar antes.\n"
           "            Mostra os campos da resposta, um por linha. Num terminal, mostra\n"
           "            antes o comando.\n"
           "  ping      Testa a linha: sincroniza e envia N vezes a consulta do modelo, que\n"
           "            nada muda no ECF, pelo mesmo ciclo que identify, sem as pausas da\n"
           "            tela. Uma linha por troca quando ela termina (\"1: 152 ms\", \"2: sem\n"
           "            resposta\", \"3: recusado (NAK ...)\", \"4: resposta diferente da\n"
           "            primeira: ...\", \"5: ocupado 3 vezes, 1.250 ms\"), depois o resumo\n"
           "            com as contagens e os tempos (mín/mediana/máx). Depois de cada\n"
           "            falha pede de novo o número de sequência (SYN), para que uma falha\n"
           "            conte uma vez só. Sai com 0 quando todas as trocas tiveram a\n"
           "            resposta da primeira, 1 se não.\n"
           "\n"
           "Opções:\n"
           "  --port NOME  {port}\n"
           "               Num servidor serial (ser2net): socket://MÁQUINA:PORTA ou\n"
           "               rfc2217://MÁQUINA:PORTA.\n"
           "  --trace      Com identify, lx, send, ping e find: escreve na saída de erro\n"
           "               cada mensagem trocada com a impressora, na hora, decodificada,\n"
           "               uma por linha: os milissegundos desde que a porta abriu, uma\n"
           "               seta para a direção, o significado, os bytes em hexadecimal. Com\n"
           "               find, cada linha começa com a sua porta.\n"
           "  --trace-file ARQUIVO\n"
           "               As mesmas linhas, acrescentadas ao ARQUIVO (criado se preciso).\n"
           "  +APPLOG      Em maiúsculas ou minúsculas, em qualquer lugar: acrescenta um\n"
           "               registro de diagnóstico de cada passo ao AppLog.log da pasta\n"
           "               atual, começando pela linha de comando.\n"
           "  --all        Com ports: todas as portas que o sistema conhece, uma por linha:\n"
           "               o nome, uma tabulação, o estado (\"livre\", ou por que não pode\n"
           "               ser usada), depois uma tabulação e o adaptador, quando\n"
           "               conhecido.\n"
           "  --verbose    Com find: diz também, na saída de erro, cada porta onde nenhuma\n"
           "               impressora respondeu ou que ficou de fora, e por quê.\n"
           "  --raw        Com send: mostra os bytes da resposta em hexadecimal.\n"
           "  --count N    Com ping: quantas trocas, de 1 a 100.000 (10 se omitido).\n"
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
