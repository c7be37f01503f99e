// The texts of the support report and of its commands in the window and kestro-cli. UTF-8, as the
// report itself is, with {name} for what FillIn puts in (vocab/filling.h).
#pragma once

#include "vocab/filling.h"

// The report's first line; what opening one looks for. {code} is the report's code.
constexpr char kReportMark[] = "# Relat\u00f3rio de suporte do Kestro";
constexpr char kReportFirstLine[] = "# Relat\u00f3rio de suporte do Kestro; c\u00f3digo {code}";
constexpr char kReportMadeText[] = "Gerado em {date} por {program}.";
constexpr char kPrivacyText[] =
    "Privacidade: o nome do usu\u00e1rio aparece como {user} e o do computador como {computer}.";
constexpr char kUserStandIn[] = "<usu\u00e1rio>";
constexpr char kComputerStandIn[] = "<computador>";
// The file's name: kestro-suporte-AAAAMMDD-HHMMSS-CODIGO.txt.
constexpr char kReportFilePrefix[] = "kestro-suporte-";

// The sections' titles, in their order, each on its own line between "== " and " ==".
constexpr char kSummaryTitle[] = "Resumo";
constexpr char kSystemTitle[] = "Sistema";
constexpr char kPortsTitle[] = "Portas e adaptadores";
constexpr char kPrinterTitle[] = "Impressora";
constexpr char kLineTitle[] = "Teste de comunica\u00e7\u00e3o";
constexpr char kTrafficTitle[] = "Tr\u00e1fego";

// The summary's levels, each line's first word.
constexpr char kCheckOk[] = "OK";
constexpr char kCheckWarning[] = "ATEN\u00c7\u00c3O";
constexpr char kCheckFailure[] = "FALHA";

// A part that could not be gathered, and why.
constexpr char kPartFailedText[] = "n\u00e3o foi poss\u00edvel: {reason}";
constexpr char kTimedOutReason[] = "o tempo acabou";
constexpr char kCancelledReason[] = "cancelado";

// The summary's checks.
constexpr char kPortsFreeText[] = "Portas: {free} ({names}).";
constexpr CountedWords kFreePortsWords = {"livre", "livres"};
constexpr char kPortsLeftOutCheck[] = "Portas: {free}; {leftOut}: {first}.";
constexpr CountedWords kLeftOutWords = {"de fora", "de fora"};
constexpr char kNoFreePortText[] = "Portas: nenhuma livre{why}. Pr\u00f3ximo passo: {step}";
constexpr char kNoPortStep[] = "ligue o cabo ou o adaptador da impressora e gere o relat\u00f3rio de novo.";
constexpr char kLeftOutStep[] = "veja em \u201cPortas e adaptadores\u201d por que cada porta ficou de fora.";
constexpr char kAdaptersOkText[] = "Adaptadores: nenhum com problema.";
constexpr char kAdaptersTroubledText[] = "Adaptadores: {problems}";
constexpr char kPrinterFoundText[] = "Impressora: {items}, na porta {port}.";
constexpr char kPrinterNotOpenedText[] = "Impressora: a porta {port} n\u00e3o abriu: {why}";
constexpr char kPrinterSilentText[] =
    "Impressora: nenhuma resposta na porta {port}. Pr\u00f3ximo passo: confira se a impressora est\u00e1 "
    "ligada e o cabo nesta porta.";
constexpr char kPrinterNotIdentifiedText[] =
    "Impressora: na porta {port}, {why}. Pr\u00f3ximo passo: desligue e ligue a impressora e gere o "
    "relat\u00f3rio de novo.";
constexpr char kNoPrinterAnsweredText[] =
    "Impressora: nenhum ECF encontrado em {tried}. Pr\u00f3ximo passo: confira se a impressora est\u00e1 "
    "ligada e o cabo numa dessas portas.";
constexpr CountedWords kFreePortsTriedWords = {"porta livre", "portas livres"};
constexpr char kNoPortToTryText[] =
    "Impressora: nenhuma porta para procurar. Pr\u00f3ximo passo: veja \u201cPortas\u201d acima.";
constexpr char kPrinterPartFailedText[] = "Impressora: {failed}.";
constexpr char kLineSoundText[] = "Linha: {summary}.";
constexpr char kLineFaultyText[] =
    "Linha: {summary}. Pr\u00f3ximo passo: troque o cabo ou o adaptador e teste de novo.";
constexpr char kLineNotTestedText[] = "Linha: n\u00e3o testada: nenhuma impressora identificada.";
constexpr char kLinePartFailedText[] = "Linha: {failed}.";
constexpr char kNoLastFailureText[] = "\u00daltima falha: nenhuma nesta sess\u00e3o.";
constexpr char kLastFailureText[] = "\u00daltima falha: {text}{pair}.";
constexpr char kLastFailurePair[] = " (erro {class}/{detail})";
constexpr char kHoldsReadingXText[] =
    "Tr\u00e1fego: cont\u00e9m uma Leitura X, que traz os totais da loja.";
constexpr char kTrafficLeftOutText[] = "Tr\u00e1fego: n\u00e3o inclu\u00eddo.";

// The system section.
constexpr char kProgramLine[] = "Kestro: {program} ({build})";
constexpr char kSystemLine[] = "Sistema: {system}";
constexpr char kBitsLine[] = "Arquitetura: programa de {program} bits, sistema de {system} bits";
constexpr char kQtLine[] = "Qt: {version}";
constexpr char kGroupMemberLine[] = "Grupo da porta {port}: {group}; o usu\u00e1rio est\u00e1 nele.";
constexpr char kGroupNotMemberLine[] =
    "Grupo da porta {port}: {group}; o usu\u00e1rio N\u00c3O est\u00e1 nele (sudo usermod -aG {group} "
    "<usu\u00e1rio>, depois saia e entre de novo).";

// The ports section: a port's USB facts, after its adapter.
constexpr char kUsbFactsText[] = "USB {ids}{revision}{serial}";
constexpr char kNoPortsLine[] = "Nenhuma porta serial conhecida pelo sistema.";

// The printer section.
constexpr char kPrinterPortLine[] = "Porta: {port}";

// The traffic section's notes, after the trace's "# ".
constexpr char kTrafficCutNote[] = "# Cortado: s\u00f3 os \u00faltimos {size} do tr\u00e1fego desta sess\u00e3o.";
constexpr char kNoTrafficNote[] = "# Nenhuma mensagem trocada.";

// kestro-cli report's lines.
constexpr char kReportNotSavedText[] = "Relat\u00f3rio n\u00e3o salvo em {path}: {reason}.";
constexpr char kReportTracesItselfText[] =
    "report guarda o tr\u00e1fego no pr\u00f3prio arquivo: nada para --trace";
constexpr char kNameTakenReason[] = "j\u00e1 existe um arquivo com esse nome";

// The window's.
constexpr char kMakeReportAction[] = "Gerar relat\u00f3rio para o suporte";
constexpr char kOpenReportAction[] = "Abrir relat\u00f3rio de suporte";
constexpr char kReportContentsText[] =
    "O relat\u00f3rio re\u00fane num arquivo de texto o que o suporte pede: o resumo, o sistema, as "
    "portas e os adaptadores, a impressora, um teste de comunica\u00e7\u00e3o com 10 trocas e, se "
    "marcado, o tr\u00e1fego desta sess\u00e3o. O nome do usu\u00e1rio e o do computador s\u00e3o trocados.";
constexpr char kIncludeTrafficOption[] = "Incluir o tr\u00e1fego desta sess\u00e3o";
constexpr char kMakeButton[] = "Gerar";
constexpr char kCancelButton[] = "Cancelar";
constexpr char kCloseButton[] = "Fechar";
constexpr char kOpenFolderButton[] = "Abrir pasta";
constexpr char kMakingPortsText[] = "Gerando relat\u00f3rio: portas e adaptadores\u2026";
constexpr char kMakingPrinterText[] = "Gerando relat\u00f3rio: procurando a impressora\u2026";
constexpr char kMakingTestText[] = "Gerando relat\u00f3rio: teste {number} de {count}\u2026";
constexpr char kReportSavedText[] = "Relat\u00f3rio salvo: {name} (c\u00f3digo {code})";
constexpr char kReportCancelledText[] = "Relat\u00f3rio cancelado; nenhum arquivo foi salvo.";
constexpr char kNotAReportText[] =
    "Este arquivo n\u00e3o \u00e9 um relat\u00f3rio de suporte do Kestro: {path}";
constexpr char kDamagedReportText[] =
    "O relat\u00f3rio est\u00e1 danificado ({why}): pe\u00e7a ao t\u00e9cnico que o envie de novo.";
constexpr char kCodeMismatchReason[] = "o c\u00f3digo n\u00e3o confere com o conte\u00fado";
constexpr char kReportNotReadText[] = "N\u00e3o foi poss\u00edvel ler o relat\u00f3rio {path}: {reason}.";
constexpr char kReportOpenedText[] = "Relat\u00f3rio {code} aberto: {messages} no Tr\u00e1fego (F2).";
constexpr CountedWords kMessagesWords = {"mensagem", "mensagens"};
