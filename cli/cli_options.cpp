// Parsing and usage text of kestro-cli's command line.
#include "cli/cli_options.h"

#include "base/command_line.h"
#include "base/option_table.h"
#include "base/version.h"
#include "serial/port_list.h"
#include "session/printer_session.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace {

using Command = CliOptions::Command;

constexpr char kCommandNames[] = "(ports, identify, lx, find ou send)";

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
            error = "um comando por vez: '" + word + "' é o segundo";
            return false;
        }
        options.command = CommandNamed(word);
    } else if (IsDevicePathArgument(word)) {
        options.extraPaths.push_back(word);
    } else if (word.rfind('-', 0) == 0) {
        error = "opção desconhecida '" + word + "'";
        return false;
    } else {
        error = "palavra desconhecida '" + word + "': esperado um comando " + kCommandNames +
                " ou um caminho /dev/DISPOSITIVO";
        return false;
    }
    return true;
}

// The options that only some commands take, and the port that only some need.
bool UsableTogether(const CliOptions& options, std::string& error)
{
    const bool portGiven = !options.port.empty();
    if (options.verbose && options.command != Command::Find) {
        error = "--verbose é só para find";
        return false;
    }
    if (options.raw && options.command != Command::Send) {
        error = "--raw é só para send";
        return false;
    }
    if (options.all && options.command != Command::Ports) {
        error = "--all é só para ports";
        return false;
    }
    switch (options.command) {
    case Command::None:
        error = std::string("falta o comando ") + kCommandNames;
        return false;
    case Command::Ports:
    case Command::Find:
        if (portGiven) {
            error = std::string(options.command == Command::Find ? "find" : "ports") + " não usa --port";
            return false;
        }
        if (options.command == Command::Ports && (options.trace || !options.traceFile.empty())) {
            error = "ports não troca mensagens com a impressora: nada para --trace";
            return false;
        }
        return true;
    default:
        if (!portGiven) {
            error = "falta --port NOME: este comando fala com uma impressora";
            return false;
        }
        if (!options.extraPaths.empty()) {
            error = "caminhos de dispositivo são só para ports e find; dê a porta com --port";
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
        {"--port", "um nome de porta",
         [&](const std::string& value) {
             // "/dev/pts/3" names the same port as "pts/3", which is what the port list shows.
             options.port = PortNameForDevicePath(value);
             return !options.port.empty();
         }},
        SwitchRule("--trace", options.trace),
        {"--trace-file", "um nome de arquivo",
         [&](const std::string& value) {
             options.traceFile = value;
             return !value.empty();
         }},
        SwitchRule("--verbose", options.verbose),
        SwitchRule("--raw", options.raw),
        SwitchRule("--all", options.all),
        SwitchRule("--json", options.json),
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
        error = "send precisa de CMD e EXT";
        return false;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const bool byte = i < 2;
        const int64_t low = byte ? 0 : INT32_MIN;
        const int64_t high = byte ? 255 : INT32_MAX;
        int64_t value = 0;
        if (!ParseInteger(words[i], low, high, value)) {
            static const char* const names[] = {"CMD", "EXT", "PARAM"};
            error = std::string(names[std::min<size_t>(i, 2)]) + " deve ser um número inteiro de " +
                    std::to_string(low) + " a " + std::to_string(high) + ", não '" + words[i] + "'";
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
        error = "os parâmetros não cabem em um comando: envie menos";
        return false;
    }
    return true;
}

std::string CliUsage()
{
    return "kestro-cli " + ProgramVersionText() +
           ": fala com uma impressora fiscal numa porta serial, pelo terminal.\n"
           "\n"
           "Uso:\n"
           "  kestro-cli ports [--all] [/dev/DISPOSITIVO...]\n"
           "  kestro-cli --port NOME identify\n"
           "  kestro-cli --port NOME lx\n"
           "  kestro-cli find [--verbose] [/dev/DISPOSITIVO...]\n"
           "  kestro-cli --port NOME send [--raw] CMD EXT [PARAM...]\n"
           "  kestro-cli --help | --version\n"
           "\n"
           "Comandos:\n"
           "  ports     Lista as portas seriais que podem ser abertas agora, um nome por linha,\n"
           "            seguido de uma tabulação e do nome do adaptador quando o sistema o conhece.\n"
           "            Os caminhos de dispositivo dados depois dele (/dev/pts/3) também são\n"
           "            tentados. As portas deixadas de fora (em uso por outro programa, sem\n"
           "            permissão, ...) são contadas na saída de erro.\n"
           "  identify  Conecta como o \"Conectar\" da janela e mostra o modelo da impressora\n"
           "            (Modelo), o número de série da memória fiscal (NS MF) e a versão do\n"
           "            software básico (SB, como NN.NN.NN).\n"
           "  lx        Conecta e identifica como identify, depois emite a Leitura X.\n"
           "  find      Procura uma impressora em todas as portas que ports lista (e nos caminhos\n"
           "            de dispositivo dados), todas ao mesmo tempo, e mostra uma linha por\n"
           "            impressora que respondeu: a porta, depois Modelo, NS MF e SB, separados\n"
           "            por tabulações. Envia só a sincronização do enlace (SYN) e as três\n"
           "            consultas de identificação; leva cerca de uma espera de resposta\n"
           "            (6 segundos), quantas portas houver. A linha de cada impressora sai assim\n"
           "            que ela é identificada; uma última linha na saída de erro conta as portas\n"
           "            tentadas e as deixadas de fora, e por quê (\"Nenhum ECF encontrado\"\n"
           "            quando nenhuma impressora respondeu).\n"
           "  send      Envia um comando tal como é dado: o byte de comando CMD e o byte de\n"
           "            extensão EXT (0 a 255) e os parâmetros PARAM (inteiros de 32 bits,\n"
           "            negativos também), pelo mesmo ciclo do lx, sem identificar antes. Mostra\n"
           "            os campos da resposta, um por linha. Num terminal, mostra antes o comando.\n"
           "\n"
           "Opções:\n"
           "  --port NOME  A porta como ports a lista: ttyUSB0, ttyS0, pts/3 (COM3 no Windows).\n"
           "               Um caminho /dev/NOME vale como NOME; outro caminho absoluto, como está.\n"
           "  --trace      Com identify, lx, send e find: escreve na saída de erro cada mensagem\n"
           "               trocada com a impressora, na hora, decodificada, uma por linha: os\n"
           "               milissegundos desde que a porta abriu, uma seta para a direção, o\n"
           "               significado, os bytes em hexadecimal. Com find, cada linha começa com\n"
           "               a sua porta.\n"
           "  --trace-file ARQUIVO\n"
           "               As mesmas linhas, acrescentadas ao ARQUIVO (criado se preciso).\n"
           "  +APPLOG      Em maiúsculas ou minúsculas, em qualquer lugar: acrescenta um registro\n"
           "               de diagnóstico de cada passo ao AppLog.log da pasta atual, começando\n"
           "               pela linha de comando.\n"
           "  --all        Com ports: todas as portas que o sistema conhece, uma por linha: o nome,\n"
           "               uma tabulação, o estado (\"livre\", ou por que não pode ser usada),\n"
           "               depois uma tabulação e o adaptador, quando conhecido.\n"
           "  --verbose    Com find: diz também, na saída de erro, cada porta onde nenhuma\n"
           "               impressora respondeu ou que ficou de fora, e por quê.\n"
           "  --raw        Com send: mostra os bytes da resposta em hexadecimal.\n"
           "  --json       Com qualquer comando: escreve os resultados em JSON para scripts, um\n"
           "               objeto por linha na saída padrão, com chaves fixas em inglês e\n"
           "               \"format\": 1; os textos da saída de erro também são campos do objeto.\n"
           "               find escreve uma linha por impressora assim que a encontra, depois uma\n"
           "               linha de resumo. Sem eco, sem pontos de progresso.\n"
           "  -h, --help   Mostra este texto.\n"
           "  --version    Mostra a versão do programa.\n"
           "\n"
           "Os resultados vão para a saída padrão. Os textos que a linha de status da janela\n"
           "mostraria (os textos de erro da impressora, \"Erro ao ler ECF\", \"Erro!\") vão para\n"
           "a saída de erro, em UTF-8.\n"
           "\n"
           "Uma porta em uso por outro programa é recusada, com o nome desse programa quando o\n"
           "sistema o mostra: \"Erro ao abrir Porta Serial! (16) Em uso por NOME (pid N).\"\n"
           "\n"
           "Código de saída: 0 feito; 1 a porta não abriu, a impressora não foi identificada ou o\n"
           "comando falhou (find: nenhuma impressora respondeu); 2 a linha de comando não foi\n"
           "entendida, inclusive os números de send, e nada foi enviado.\n";
}
