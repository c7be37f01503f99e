// Texts of the window's own features: the activity icons' tooltips, the port search's result and
// the traffic window; Windows-1252, with {name} for what FillIn puts in (vocab/filling.h).
#pragma once

#include "vocab/filling.h"

#include <ctime>
#include <string>

// What the activity display shows, by display code: 1 sending, 2 asking for the response, 3 a
// block arrived, 4 printer busy, 5 error (its text is on the status line), 6 part of the response
// arrived and more follows.
constexpr const char* kActivityTips[] = {
    "", "Enviando o comando", "Pedindo a resposta", "Recebendo", "ECF ocupado: aguardando",
    "", "H\341 mais blocos",
};
// Empty for the codes that show no activity (idle, and any code beyond the last).
const char* ActivityTip(int code);

// The search's pick, with the printer's model, or, when no printer identified itself, one that
// only answered, with {why} it did not identify itself; then kAndMoreText (vocab/search_words.h)
// when others answered too, whose lines, "{port}: {model}" or the port and why, the tooltip lists
// under its heading.
constexpr char kFoundPrinterText[] = "ECF {model} em {port}";
constexpr char kFoundUnidentifiedText[] = "ECF em {port}: {why}";
constexpr char kOtherPrinterLine[] = "{port}: {model}";
constexpr char kUnidentifiedPortLine[] = "{port}: {why}";
constexpr CountedWords kOtherPrintersWords = {"Outro ECF respondeu:", "Outros ECFs responderam:"};

// The context menu's copy of the header's identification, as one line for a support ticket.
constexpr char kCopyIdentificationAction[] = "Copiar identifica\347\343o";
constexpr char kIdentificationLine[] = "ECF: {model}; NS: {serial}; SB: {version}";

// kestro --help: {version}, and {path} and {example}, a device path as the system writes them.
constexpr char kWindowUsageText[] =
    "kestro {version}: a janela para falar com uma impressora fiscal numa porta\n"
    "serial.\n"
    "\n"
    "Uso:\n"
    "  kestro [{path}...] [+APPLOG]\n"
    "  kestro --help | --version\n"
    "\n"
    "  {path}\n"
    "            Tenta tamb\351m esse caminho de dispositivo ({example}), al\351m das\n"
    "            portas que o sistema lista.\n"
    "  +APPLOG   Em mai\372sculas ou min\372sculas, em qualquer lugar: acrescenta um\n"
    "            registro de diagn\363stico de cada passo ao AppLog.log da pasta atual.\n"
    "  --help    Mostra este texto.\n"
    "  --version Mostra a vers\343o do programa.\n"
    "\n"
    "Num terminal, sem janela: kestro-cli --help.\n";
// The window cannot open: no display to show it on.
constexpr char kNoDisplayText[] =
    "kestro: nenhuma tela para mostrar a janela; abra-o numa sess\343o gr\341fica ou use o kestro-cli.";

// The traffic window: its title (and the action's), columns and buttons.
constexpr char kTrafficTitle[] = "Tr\341fego";
constexpr const char* kTrafficColumns[] = {"Tempo", "", "Significado", "Bytes"};
constexpr char kCopyButton[] = "Copiar";
constexpr char kSaveButton[] = "Salvar...";
constexpr char kClearButton[] = "Limpar";

// "Limpar": the question, naming how many messages go, and what to do to keep them.
constexpr CountedWords kClearQuestionWords = {"Apagar a mensagem do tr\341fego?",
                                              "Apagar as {count} mensagens do tr\341fego?"};
constexpr char kClearAdvice[] =
    "Elas n\343o poder\343o ser recuperadas. Para guard\341-las, use \"Salvar...\" antes.";

// "Salvar...": the dialog's title and file types; the file saved, or why not.
constexpr char kSaveTitle[] = "Salvar tr\341fego";
constexpr char kSaveFileTypes[] = "Texto (*.txt);;Todos os arquivos (*)";
constexpr char kSavedText[] = "Salvo em {path}";
constexpr char kSaveFailedText[] = "Erro ao salvar {path}: {reason}";
// Why a save failed, in Portuguese: the system's own reason comes in the system's language.
enum class SaveFailure { kNoFolder, kIsFolder, kFileReadOnly, kFolderReadOnly, kWriteFailed, kNotOpened };
// In the order of SaveFailure.
constexpr const char* kSaveFailures[] = {
    "a pasta n\343o existe; escolha outra pasta",
    "esse nome \351 de uma pasta; escolha um nome de arquivo",
    "o arquivo est\341 protegido contra grava\347\343o; escolha outro nome",
    "sem permiss\343o para gravar nessa pasta; escolha outra pasta",
    "a grava\347\343o falhou (disco cheio ou removido?); tente outro local",
    "o arquivo n\343o p\364de ser criado; escolha outro local",
};
const char* SaveFailureText(SaveFailure failure);

// The suggested file name, with the port and the clock time: characters that a file name cannot
// hold become '-'. A system's name, not a text: as the port's name comes.
std::string TrafficFileName(const std::string& port, const std::tm& when);

// Every fixed text above but the tables, which Vocabulary (vocab/vocabulary.h) takes whole.
constexpr const char* kWindowWords[] = {
    kFoundPrinterText,
    kFoundUnidentifiedText,
    kOtherPrinterLine,
    kUnidentifiedPortLine,
    kOtherPrintersWords.one,
    kOtherPrintersWords.many,
    kTrafficTitle,
    kCopyButton,
    kSaveButton,
    kClearButton,
    kClearQuestionWords.one,
    kClearQuestionWords.many,
    kClearAdvice,
    kSaveTitle,
    kSaveFileTypes,
    kSavedText,
    kSaveFailedText,
    kCopyIdentificationAction,
    kIdentificationLine,
    kWindowUsageText,
    kNoDisplayText,
};
