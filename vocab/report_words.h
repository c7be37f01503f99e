// The texts of the support report and of its commands in the window and kestro-cli: UTF-8, as the
// report itself is (_utf8: no Windows-1252 turn, the same build-time check as every text), with
// {name} for what FillIn puts in (vocab/filling.h).
#pragma once

#include "vocab/filling.h"
#include "vocab/text.h"

// The report's first line; what opening one looks for. {code} is the report's code.
constexpr const char* kReportMark = "# Relatório de suporte do Kestro"_utf8;
constexpr const char* kReportFirstLine = "# Relatório de suporte do Kestro; código {code}"_utf8;
constexpr const char* kReportMadeText = "Gerado em {date} por {program}."_utf8;
constexpr const char* kPrivacyText =
    "Privacidade: o nome do usuário aparece como {user} e o do computador como {computer}."_utf8;
constexpr const char* kUserStandIn = "<usuário>"_utf8;
constexpr const char* kComputerStandIn = "<computador>"_utf8;
// The file's name: kestro-suporte-AAAAMMDD-HHMMSS-CODIGO.txt.
constexpr const char* kReportFilePrefix = "kestro-suporte-"_utf8;

// The sections' titles, in their order, each on its own line between "== " and " ==".
constexpr const char* kSummarySection = "Resumo"_utf8;
constexpr const char* kSystemSection = "Sistema"_utf8;
constexpr const char* kPortsSection = "Portas e adaptadores"_utf8;
constexpr const char* kPrinterSection = "Impressora"_utf8;
constexpr const char* kLineSection = "Teste de comunicação"_utf8;
constexpr const char* kTrafficSection = "Tráfego"_utf8;

// The summary's levels, each line's first word.
constexpr const char* kCheckOk = "OK"_utf8;
constexpr const char* kCheckWarning = "ATENÇÃO"_utf8;
constexpr const char* kCheckFailure = "FALHA"_utf8;

// A part that could not be gathered, and why.
constexpr const char* kPartFailedText = "não foi possível: {reason}"_utf8;
constexpr const char* kTimedOutReason = "o tempo acabou"_utf8;
constexpr const char* kCancelledReason = "cancelado"_utf8;

// The summary's checks.
constexpr const char* kPortsFreeText = "Portas: {free} ({names})."_utf8;
constexpr CountedWords kFreePortsWords = {"livre", "livres"};
constexpr const char* kPortsLeftOutCheck = "Portas: {free}; {leftOut}: {first}."_utf8;
constexpr CountedWords kLeftOutWords = {"de fora", "de fora"};
constexpr const char* kNoFreePortText = "Portas: nenhuma livre{why}. Próximo passo: {step}"_utf8;
constexpr const char* kNoPortStep = "ligue o cabo ou o adaptador da impressora e gere o relatório de novo."_utf8;
constexpr const char* kLeftOutStep = "veja em “Portas e adaptadores” por que cada porta ficou de fora."_utf8;
constexpr const char* kAdaptersOkText = "Adaptadores: nenhum com problema."_utf8;
constexpr const char* kAdaptersTroubledText = "Adaptadores: {problems}"_utf8;
constexpr const char* kPrinterFoundText = "Impressora: {items}, na porta {port}."_utf8;
constexpr const char* kPrinterNotOpenedText = "Impressora: a porta {port} não abriu: {why}"_utf8;
constexpr const char* kPrinterSilentText =
    "Impressora: nenhuma resposta na porta {port}. Próximo passo: confira se a impressora está "
    "ligada e o cabo nesta porta."_utf8;
constexpr const char* kPrinterNotIdentifiedText =
    "Impressora: na porta {port}, {why}. Próximo passo: desligue e ligue a impressora e gere o "
    "relatório de novo."_utf8;
constexpr const char* kNoPrinterAnsweredText =
    "Impressora: nenhum ECF encontrado em {tried}. Próximo passo: confira se a impressora está "
    "ligada e o cabo numa dessas portas."_utf8;
constexpr CountedWords kFreePortsTriedWords = {"porta livre", "portas livres"};
constexpr const char* kNoPortToTryText =
    "Impressora: nenhuma porta para procurar. Próximo passo: veja “Portas” acima."_utf8;
constexpr const char* kPrinterPartFailedText = "Impressora: {failed}."_utf8;
constexpr const char* kLineSoundText = "Linha: {summary}."_utf8;
constexpr const char* kLineFaultyText =
    "Linha: {summary}. Próximo passo: troque o cabo ou o adaptador e teste de novo."_utf8;
constexpr const char* kLineNotTestedText = "Linha: não testada: nenhuma impressora identificada."_utf8;
constexpr const char* kLinePartFailedText = "Linha: {failed}."_utf8;
constexpr const char* kNoLastFailureText = "Última falha: nenhuma nesta sessão."_utf8;
constexpr const char* kLastFailureText = "Última falha: {text}{pair}."_utf8;
constexpr const char* kLastFailurePair = " (erro {class}/{detail})"_utf8;
constexpr const char* kHoldsReadingXText = "Tráfego: contém uma Leitura X, que traz os totais da loja."_utf8;
constexpr const char* kTrafficLeftOutText = "Tráfego: não incluído."_utf8;

// The system section.
constexpr const char* kProgramLine = "Kestro: {program} ({build})"_utf8;
constexpr const char* kSystemLine = "Sistema: {system}"_utf8;
constexpr const char* kBitsLine = "Arquitetura: programa de {program} bits, sistema de {system} bits"_utf8;
constexpr const char* kQtLine = "Qt: {version}"_utf8;
constexpr const char* kGroupMemberLine = "Grupo da porta {port}: {group}; o usuário está nele."_utf8;
constexpr const char* kGroupNotMemberLine =
    "Grupo da porta {port}: {group}; o usuário NÃO está nele (sudo usermod -aG {group} "
    "<usuário>, depois saia e entre de novo)."_utf8;

// The ports section: a port's USB facts, after its adapter.
constexpr const char* kUsbFactsText = "USB {ids}{revision}{serial}"_utf8;
constexpr const char* kNoPortsLine = "Nenhuma porta serial conhecida pelo sistema."_utf8;

// The printer section.
constexpr const char* kPrinterPortLine = "Porta: {port}"_utf8;

// The traffic section's notes, after the trace's "# ".
constexpr const char* kTrafficCutNote = "# Cortado: só os últimos {size} do tráfego desta sessão."_utf8;
constexpr const char* kNoTrafficNote = "# Nenhuma mensagem trocada."_utf8;

// kestro-cli report's lines.
constexpr const char* kReportNotSavedText = "Relatório não salvo em {path}: {reason}."_utf8;
constexpr const char* kNameTakenReason = "já existe um arquivo com esse nome"_utf8;

// The window's.
constexpr const char* kMakeReportAction = "Gerar relatório para o suporte"_utf8;
constexpr const char* kOpenReportAction = "Abrir relatório de suporte"_utf8;
constexpr const char* kReportFilesFilter =
    "Relatórios de suporte (kestro-suporte-*.txt);;Todos os arquivos (*)"_utf8;
constexpr const char* kReportContentsText =
    "O relatório reúne num arquivo de texto o que o suporte pede: o resumo, o sistema, as "
    "portas e os adaptadores, a impressora, um teste de comunicação com 10 trocas e, se "
    "marcado, o tráfego desta sessão. O nome do usuário e o do computador são trocados."_utf8;
constexpr const char* kIncludeTrafficOption = "Incluir o tráfego desta sessão"_utf8;
constexpr const char* kMakeButton = "Gerar"_utf8;
constexpr const char* kCancelButton = "Cancelar"_utf8;
constexpr const char* kCloseButton = "Fechar"_utf8;
constexpr const char* kOpenFolderButton = "Abrir pasta"_utf8;
constexpr const char* kMakingPortsText = "Gerando relatório: portas e adaptadores…"_utf8;
constexpr const char* kMakingPrinterText = "Gerando relatório: procurando a impressora…"_utf8;
constexpr const char* kMakingTestText = "Gerando relatório: teste {number} de {count}…"_utf8;
constexpr const char* kReportSavedText = "Relatório salvo: {name} (código {code})"_utf8;
constexpr const char* kReportCancelledText = "Relatório cancelado; nenhum arquivo foi salvo."_utf8;
constexpr const char* kNotAReportText = "Este arquivo não é um relatório de suporte do Kestro: {path}"_utf8;
constexpr const char* kDamagedReportText =
    "O relatório está danificado ({why}): peça ao técnico que o envie de novo."_utf8;
constexpr const char* kCodeMismatchReason = "o código não confere com o conteúdo"_utf8;
constexpr const char* kReportNotReadText = "Não foi possível ler o relatório {path}: {reason}."_utf8;
constexpr const char* kReportOpenedText = "Relatório {code} aberto: {messages} no Tráfego (F2)."_utf8;
constexpr CountedWords kMessagesWords = {"mensagem", "mensagens"};
