// The texts of the support report and of its commands in the window and kestro-cli: UTF-8, as the
// report itself is (no Windows-1252 turn), with {name} for what FillIn puts in (vocab/filling.h).
#pragma once

#include "vocab/filling.h"

// The report's first line; what opening one looks for. {code} is the report's code.
constexpr char kReportMark[] = "# Relatório de suporte do Kestro";
constexpr char kReportFirstLine[] = "# Relatório de suporte do Kestro; código {code}";
constexpr char kReportMadeText[] = "Gerado em {date} por {program}.";
constexpr char kPrivacyText[] =
    "Privacidade: o nome do usuário aparece como {user} e o do computador como {computer}.";
constexpr char kUserStandIn[] = "<usuário>";
constexpr char kComputerStandIn[] = "<computador>";
// The file's name: kestro-suporte-AAAAMMDD-HHMMSS-CODIGO.txt.
constexpr char kReportFilePrefix[] = "kestro-suporte-";

// The sections' titles, in their order, each on its own line between "== " and " ==".
constexpr char kSummarySection[] = "Resumo";
constexpr char kSystemSection[] = "Sistema";
constexpr char kPortsSection[] = "Portas e adaptadores";
constexpr char kPrinterSection[] = "Impressora";
constexpr char kLineSection[] = "Teste de comunicação";
constexpr char kTrafficSection[] = "Tráfego";

// The summary's levels, each line's first word.
constexpr char kCheckOk[] = "OK";
constexpr char kCheckWarning[] = "ATENÇÃO";
constexpr char kCheckFailure[] = "FALHA";

// A part that could not be gathered, and why.
constexpr char kPartFailedText[] = "não foi possível: {reason}";
constexpr char kTimedOutReason[] = "o tempo acabou";
constexpr char kCancelledReason[] = "cancelado";

// The summary's checks.
constexpr char kPortsFreeText[] = "Portas: {free} ({names}).";
constexpr CountedWords kFreePortsWords = {"livre", "livres"};
constexpr char kPortsLeftOutCheck[] = "Portas: {free}; {leftOut}: {first}.";
constexpr CountedWords kLeftOutWords = {"de fora", "de fora"};
constexpr char kNoFreePortText[] = "Portas: nenhuma livre{why}. Próximo passo: {step}";
constexpr char kNoPortStep[] = "ligue o cabo ou o adaptador da impressora e gere o relatório de novo.";
constexpr char kLeftOutStep[] = "veja em “Portas e adaptadores” por que cada porta ficou de fora.";
constexpr char kAdaptersOkText[] = "Adaptadores: nenhum com problema.";
constexpr char kAdaptersTroubledText[] = "Adaptadores: {problems}";
constexpr char kPrinterFoundText[] = "Impressora: {items}, na porta {port}.";
constexpr char kPrinterNotOpenedText[] = "Impressora: a porta {port} não abriu: {why}";
constexpr char kPrinterSilentText[] =
    "Impressora: nenhuma resposta na porta {port}. Próximo passo: confira se a impressora está "
    "ligada e o cabo nesta porta.";
constexpr char kPrinterNotIdentifiedText[] =
    "Impressora: na porta {port}, {why}. Próximo passo: desligue e ligue a impressora e gere o "
    "relatório de novo.";
constexpr char kNoPrinterAnsweredText[] =
    "Impressora: nenhum ECF encontrado em {tried}. Próximo passo: confira se a impressora está "
    "ligada e o cabo numa dessas portas.";
constexpr CountedWords kFreePortsTriedWords = {"porta livre", "portas livres"};
constexpr char kNoPortToTryText[] =
    "Impressora: nenhuma porta para procurar. Próximo passo: veja “Portas” acima.";
constexpr char kPrinterPartFailedText[] = "Impressora: {failed}.";
constexpr char kLineSoundText[] = "Linha: {summary}.";
constexpr char kLineFaultyText[] =
    "Linha: {summary}. Próximo passo: troque o cabo ou o adaptador e teste de novo.";
constexpr char kLineNotTestedText[] = "Linha: não testada: nenhuma impressora identificada.";
constexpr char kLinePartFailedText[] = "Linha: {failed}.";
constexpr char kNoLastFailureText[] = "Última falha: nenhuma nesta sessão.";
constexpr char kLastFailureText[] = "Última falha: {text}{pair}.";
constexpr char kLastFailurePair[] = " (erro {class}/{detail})";
constexpr char kHoldsReadingXText[] =
    "Tráfego: contém uma Leitura X, que traz os totais da loja.";
constexpr char kTrafficLeftOutText[] = "Tráfego: não incluído.";

// The system section.
constexpr char kProgramLine[] = "Kestro: {program} ({build})";
constexpr char kSystemLine[] = "Sistema: {system}";
constexpr char kBitsLine[] = "Arquitetura: programa de {program} bits, sistema de {system} bits";
constexpr char kQtLine[] = "Qt: {version}";
constexpr char kGroupMemberLine[] = "Grupo da porta {port}: {group}; o usuário está nele.";
constexpr char kGroupNotMemberLine[] =
    "Grupo da porta {port}: {group}; o usuário NÃO está nele (sudo usermod -aG {group} "
    "<usuário>, depois saia e entre de novo).";

// The ports section: a port's USB facts, after its adapter.
constexpr char kUsbFactsText[] = "USB {ids}{revision}{serial}";
constexpr char kNoPortsLine[] = "Nenhuma porta serial conhecida pelo sistema.";

// The printer section.
constexpr char kPrinterPortLine[] = "Porta: {port}";

// The traffic section's notes, after the trace's "# ".
constexpr char kTrafficCutNote[] = "# Cortado: só os últimos {size} do tráfego desta sessão.";
constexpr char kNoTrafficNote[] = "# Nenhuma mensagem trocada.";

// kestro-cli report's lines.
constexpr char kReportNotSavedText[] = "Relatório não salvo em {path}: {reason}.";
constexpr char kNameTakenReason[] = "já existe um arquivo com esse nome";

// The window's.
constexpr char kMakeReportAction[] = "Gerar relatório para o suporte";
constexpr char kOpenReportAction[] = "Abrir relatório de suporte";
constexpr char kReportFilesFilter[] = "Relatórios de suporte (kestro-suporte-*.txt);;Todos os arquivos (*)";
constexpr char kReportContentsText[] =
    "O relatório reúne num arquivo de texto o que o suporte pede: o resumo, o sistema, as "
    "portas e os adaptadores, a impressora, um teste de comunicação com 10 trocas e, se "
    "marcado, o tráfego desta sessão. O nome do usuário e o do computador são trocados.";
constexpr char kIncludeTrafficOption[] = "Incluir o tráfego desta sessão";
constexpr char kMakeButton[] = "Gerar";
constexpr char kCancelButton[] = "Cancelar";
constexpr char kCloseButton[] = "Fechar";
constexpr char kOpenFolderButton[] = "Abrir pasta";
constexpr char kMakingPortsText[] = "Gerando relatório: portas e adaptadores…";
constexpr char kMakingPrinterText[] = "Gerando relatório: procurando a impressora…";
constexpr char kMakingTestText[] = "Gerando relatório: teste {number} de {count}…";
constexpr char kReportSavedText[] = "Relatório salvo: {name} (código {code})";
constexpr char kReportCancelledText[] = "Relatório cancelado; nenhum arquivo foi salvo.";
constexpr char kNotAReportText[] =
    "Este arquivo não é um relatório de suporte do Kestro: {path}";
constexpr char kDamagedReportText[] =
    "O relatório está danificado ({why}): peça ao técnico que o envie de novo.";
constexpr char kCodeMismatchReason[] = "o código não confere com o conteúdo";
constexpr char kReportNotReadText[] = "Não foi possível ler o relatório {path}: {reason}.";
constexpr char kReportOpenedText[] = "Relatório {code} aberto: {messages} no Tráfego (F2).";
constexpr CountedWords kMessagesWords = {"mensagem", "mensagens"};
