// kestro-cli's command set: what each command is called, what it takes, how the help explains
// it and what runs it. Adding a command is adding a row.
#include "cli/cli_commands.h"

#include "serial/pseudo_terminal.h"
#include "vocab/cp1252.h"
#include "vocab/monitor_words.h"
#include "vocab/usage_words.h"

namespace {

bool ReadSendWords(const std::vector<std::string>& words, CliOptions& options, std::string& error)
{
    return ParseSendRequest(words, options.send, error);
}

// monitor takes no words; its other side is a second port or, where the system has them, a
// pseudo-terminal, and its traffic is its output.
bool CheckMonitorOptions(const std::vector<std::string>& words, CliOptions& options, std::string& error)
{
    const char* why = nullptr;
    if (!words.empty())
        why = kPathsNotUsedText;
    else if (options.relayGiven && options.linkGiven)
        why = kRelayWithLinkText;
    else if (!options.relayGiven && !PseudoTerminalsAvailable())
        why = kRelayNeededText;
    else if (options.trace)
        why = kMonitorTraceText;
    else if (options.json)
        why = kMonitorJsonText;
    if (why != nullptr)
        error = Cp1252ToUtf8(why);
    return why == nullptr;
}

const CommandOption kAllOption = {"--all", "", &CliOptions::all,
                                  "Com ports: todas as portas que o sistema conhece, uma por linha:\n"
                                  "o nome, uma tabulação, o estado (\"livre\", ou por que não pode\n"
                                  "ser usada), depois uma tabulação e o adaptador, quando\n"
                                  "conhecido."};
const CommandOption kVerboseOption = {"--verbose", "", &CliOptions::verbose,
                                      "Com find: diz também, na saída de erro, cada porta onde nenhuma\n"
                                      "impressora respondeu ou que ficou de fora, e por quê."};
const CommandOption kRawOption = {"--raw", "", &CliOptions::raw,
                                  "Com send: mostra os bytes da resposta em hexadecimal."};
const CommandOption kCountOption = {"--count", "N", &CliOptions::countGiven,
                                    "Com ping: quantas trocas, de 1 a 100.000 (10 se omitido)."};
const CommandOption kOutputOption = {"--output", "ARQUIVO", &CliOptions::outputGiven,
                                     "Com report: o arquivo a gerar; nunca substitui um que exista."};
const CommandOption kNoTrafficOption = {"--no-traffic", "", &CliOptions::noTraffic, "Com report: sem o tráfego."};
const CommandOption kRelayOption = {"--relay", "PORTA", &CliOptions::relayGiven,
                                    "Com monitor: a porta do outro programa."};
const CommandOption kLinkOption = {"--link", "CAMINHO", &CliOptions::linkGiven,
                                   "Com monitor, sem --relay: cria em CAMINHO um link para o\n"
                                   "pseudo-terminal, para o outro programa usar sempre o mesmo nome;\n"
                                   "o link é apagado no fim."};

}  // namespace

const std::vector<CliCommand>& CliCommands()
{
    // A row a command, its fields on its first line.
    // clang-format off
    static const std::vector<CliCommand> commands = {
        {"ports", PortUse::kPaths, false, {&kAllOption}, "", nullptr,
         "Lista as portas seriais que podem ser abertas agora, um nome por\n"
         "linha, seguido de uma tabulação e do nome do adaptador quando o\n"
         "sistema o conhece. Os caminhos de dispositivo dados depois dele\n"
         "({example}) também são tentados. As portas deixadas de fora (em\n"
         "uso por outro programa, sem permissão, ...) são contadas na saída\n"
         "de erro.",
         RunPorts},
        {"identify", PortUse::kPort, true, {}, "", nullptr,
         "Conecta como o \"Conectar\" da janela e mostra o modelo da impressora\n"
         "(Modelo), o número de série da memória fiscal (NS MF) e a versão do\n"
         "software básico (SB, como NN.NN.NN).",
         RunIdentify},
        {"lx", PortUse::kPort, true, {}, "", nullptr, "Conecta e identifica como identify, depois emite a Leitura X.",
         RunLx},
        {"find", PortUse::kPaths, true, {&kVerboseOption}, "", nullptr,
         "Procura uma impressora em todas as portas que ports lista (e nos\n"
         "caminhos de dispositivo dados), todas ao mesmo tempo, e mostra uma\n"
         "linha por impressora que se identificou: a porta, depois Modelo,\n"
         "NS MF e SB, separados por tabulações. Envia só a sincronização do\n"
         "enlace (SYN) e as três consultas de identificação; leva cerca de\n"
         "uma espera de resposta (6 segundos), quantas portas houver. A linha\n"
         "de cada impressora sai assim que ela é identificada; uma porta que\n"
         "responde mas não se identifica é dita na saída de erro, com o\n"
         "motivo. Uma última linha na saída de erro conta as impressoras, as\n"
         "portas tentadas e as deixadas de fora, e por quê (\"Nenhum ECF\n"
         "encontrado\" quando nenhuma impressora se identificou).",
         RunFind},
        {"send", PortUse::kPort, true, {&kRawOption}, "CMD EXT [PARAM...]", ReadSendWords,
         "Envia um comando tal como é dado: o byte de comando CMD e o byte de\n"
         "extensão EXT (0 a 255) e os parâmetros PARAM (inteiros de 32 bits,\n"
         "negativos também), pelo mesmo ciclo do lx, sem identificar antes.\n"
         "Mostra os campos da resposta, um por linha. Num terminal, mostra\n"
         "antes o comando.",
         RunSend},
        {"ping", PortUse::kPort, true, {&kCountOption}, "", nullptr,
         "Testa a linha: sincroniza e envia N vezes a consulta do modelo, que\n"
         "nada muda no ECF, pelo mesmo ciclo que identify, sem as pausas da\n"
         "tela. Uma linha por troca quando ela termina (\"1: 152 ms\", \"2: sem\n"
         "resposta\", \"3: recusado (NAK ...)\", \"4: resposta diferente da\n"
         "primeira: ...\", \"5: ocupado 3 vezes, 1.250 ms\"), depois o resumo\n"
         "com as contagens e os tempos (mín/mediana/máx). Depois de cada\n"
         "falha pede de novo o número de sequência (SYN), para que uma falha\n"
         "conte uma vez só. Sai com 0 quando todas as trocas tiveram a\n"
         "resposta da primeira, 1 se não.",
         RunPing},
        {"report", PortUse::kPortOrPaths, true, {&kOutputOption, &kNoTrafficOption}, "", nullptr,
         "Gera o relatório para o suporte: um arquivo de texto\n"
         "kestro-suporte-AAAAMMDD-HHMMSS-CÓDIGO.txt na pasta atual, com o\n"
         "resumo (uma linha OK, ATENÇÃO ou FALHA por verificação, com o\n"
         "próximo passo), o sistema, as portas e os adaptadores, a\n"
         "impressora, um teste de comunicação de 10 trocas e o tráfego, que\n"
         "kestro-sim --replay toca como a impressora. Sem --port, procura\n"
         "como find (também nos caminhos dados) e usa a primeira impressora\n"
         "que se identificar. O nome do usuário e o do computador são\n"
         "trocados. Mostra o caminho e o código do arquivo. Leva no máximo\n"
         "10 segundos. Sai com 0 quando o relatório foi salvo, o que quer\n"
         "que tenha achado; 1 se não pôde ser salvo.",
         RunReport},
        {"monitor", PortUse::kPort, true, {&kRelayOption, &kLinkOption}, "", CheckMonitorOptions,
         "Mostra o que outro programa (o da loja) e a impressora dizem um ao\n"
         "outro: fica no meio, entre a porta da impressora (--port) e a do\n"
         "outro programa, e passa cada byte como veio, nos dois sentidos, sem\n"
         "nunca enviar um byte seu. Cada mensagem sai na saída padrão assim\n"
         "que passa, decodificada como em --trace, com o tempo de cada\n"
         "resposta; \"sem resposta em N ms\" quando a impressora se cala. A\n"
         "porta do outro programa é a de --relay (um segundo adaptador ligado\n"
         "ao PC da loja por um cabo null-modem, ou uma ponta de um par de\n"
         "portas virtuais); sem --relay (só no Linux), um pseudo-terminal cujo\n"
         "caminho é mostrado. Ctrl-C para; no fim, na saída de erro, o resumo:\n"
         "comandos vistos, recusados (com o erro), sem resposta e a resposta\n"
         "mais longa. Uma porta perdida de qualquer lado é dita, e sai com 1.\n"
         "Com --trace-file, o arquivo toca de novo com kestro-sim --replay.",
         RunMonitor},
    };
    // clang-format on
    return commands;
}
