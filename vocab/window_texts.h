// Texts of the window's own features: the activity icons' tooltips, the port search's result and
// the traffic window, with {name} for what FillIn puts in (vocab/filling.h).
#pragma once

#include "vocab/filling.h"
#include "vocab/text.h"

#include <ctime>
#include <string>

// What the activity display shows, by display code: 1 sending, 2 asking for the response, 3 a
// block arrived, 4 printer busy, 5 error (its text is on the status line), 6 part of the response
// arrived and more follows.
constexpr const char* kActivityTips[] = {
    "",
    "Enviando o comando"_cp1252,
    "Pedindo a resposta"_cp1252,
    "Recebendo"_cp1252,
    "ECF ocupado: aguardando"_cp1252,
    "",
    "Há mais blocos"_cp1252,
};
// Empty for the codes that show no activity (idle, and any code beyond the last).
const char* ActivityTip(int code);

// The search's pick, with the printer's model, or, when no printer identified itself, one that
// only answered, with {why} it did not identify itself; then kAndMoreText (vocab/search_words.h)
// when others answered too, whose lines, "{port}: {model}" or the port and why, the tooltip lists
// under its heading.
constexpr const char* kFoundPrinterText = "ECF {model} em {port}"_cp1252;
constexpr const char* kFoundUnidentifiedText = "ECF em {port}: {why}"_cp1252;
constexpr const char* kOtherPrinterLine = "{port}: {model}"_cp1252;
constexpr const char* kUnidentifiedPortLine = "{port}: {why}"_cp1252;
constexpr CountedWords kOtherPrintersWords = {"Outro ECF respondeu:"_cp1252, "Outros ECFs responderam:"_cp1252};

// The context menu's copy of the header's identification, as one line for a support ticket.
constexpr const char* kCopyIdentificationAction = "Copiar identificação"_cp1252;
constexpr const char* kIdentificationLine = "ECF: {model}; NS: {serial}; SB: {version}"_cp1252;

// kestro --help: {version}, and {path} and {example}, a device path as the system writes them.
constexpr const char* kWindowUsageText =
    "kestro {version}: a janela para falar com uma impressora fiscal numa porta\n"
    "serial.\n"
    "\n"
    "Uso:\n"
    "  kestro [{path}...] [+APPLOG]\n"
    "  kestro --help | --version\n"
    "\n"
    "  {path}\n"
    "            Tenta também esse caminho de dispositivo ({example}), além das\n"
    "            portas que o sistema lista.\n"
    "  +APPLOG   Em maiúsculas ou minúsculas, em qualquer lugar: acrescenta um\n"
    "            registro de diagnóstico de cada passo ao AppLog.log da pasta atual.\n"
    "  --help    Mostra este texto.\n"
    "  --version Mostra a versão do programa.\n"
    "\n"
    "Num terminal, sem janela: kestro-cli --help.\n"_cp1252;
// The window cannot open: no display to show it on.
constexpr const char* kNoDisplayText =
    "kestro: nenhuma tela para mostrar a janela; abra-o numa sessão gráfica ou use o kestro-cli."_cp1252;

// The traffic window: its title (and the action's), columns and buttons.
constexpr const char* kTrafficTitle = "Tráfego"_cp1252;
constexpr const char* kTrafficColumns[] = {"Tempo"_cp1252, "", "Significado"_cp1252, "Bytes"_cp1252};
constexpr const char* kCopyButton = "Copiar"_cp1252;
constexpr const char* kSaveButton = "Salvar..."_cp1252;
constexpr const char* kClearButton = "Limpar"_cp1252;

// "Limpar": the question, naming how many messages go, and what to do to keep them.
constexpr CountedWords kClearQuestionWords = {"Apagar a mensagem do tráfego?"_cp1252,
                                              "Apagar as {count} mensagens do tráfego?"_cp1252};
constexpr const char* kClearAdvice =
    "Elas não poderão ser recuperadas. Para guardá-las, use \"Salvar...\" antes."_cp1252;

// "Salvar...": the dialog's title and file types; the file saved, or why not.
constexpr const char* kSaveTitle = "Salvar tráfego"_cp1252;
constexpr const char* kSaveFileTypes = "Texto (*.txt);;Todos os arquivos (*)"_cp1252;
constexpr const char* kSavedText = "Salvo em {path}"_cp1252;
constexpr const char* kSaveFailedText = "Erro ao salvar {path}: {reason}"_cp1252;
// Why a save failed, in Portuguese: the system's own reason comes in the system's language.
enum class SaveFailure { kNoFolder, kIsFolder, kFileReadOnly, kFolderReadOnly, kWriteFailed, kNotOpened };
// In the order of SaveFailure.
constexpr const char* kSaveFailures[] = {
    "a pasta não existe; escolha outra pasta"_cp1252,
    "esse nome é de uma pasta; escolha um nome de arquivo"_cp1252,
    "o arquivo está protegido contra gravação; escolha outro nome"_cp1252,
    "sem permissão para gravar nessa pasta; escolha outra pasta"_cp1252,
    "a gravação falhou (disco cheio ou removido?); tente outro local"_cp1252,
    "o arquivo não pôde ser criado; escolha outro local"_cp1252,
};
const char* SaveFailureText(SaveFailure failure);

// The suggested file name, with the port and the clock time: characters that a file name cannot
// hold become '-'. A system's name, not a text: as the port's name comes.
std::string TrafficFileName(const std::string& port, const std::tm& when);
