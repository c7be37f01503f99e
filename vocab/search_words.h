// The texts of a look at the ports and of a search for printers, in the window and kestro-cli,
// with {name} for what FillIn puts in (vocab/filling.h).
#pragma once

#include "vocab/port_words.h"
#include "vocab/text.h"

// The window's port list while the ports are looked at, and its menu's search.
constexpr const char* kWaitText = "Aguarde..."_cp1252;
constexpr const char* kFindPrinterAction = "Localizar ECF"_cp1252;
constexpr const char* kSearchingText = "Localizando ECF..."_cp1252;

// The window's note on the ports left out: the first one's {note}, then how many more.
constexpr const char* kNoPortAvailableText = "Nenhuma porta disponível: {note}"_cp1252;
constexpr const char* kAndMoreText = " (e mais {count})"_cp1252;

// kestro-cli ports: the ports left out, counted, and where to see why.
constexpr CountedWords kPortsLeftOutWords = {"porta deixada"_cp1252, "portas deixadas"_cp1252};
constexpr const char* kPortsLeftOutText = "{ports} de fora: kestro-cli ports --all mostra o motivo."_cp1252;

// A search: none found, or how many; the summary of ports tried and left out, then each reason.
constexpr const char* kNoPrinterFoundText = "Nenhum ECF encontrado"_cp1252;
constexpr CountedWords kPrintersFoundWords = {"ECF encontrado"_cp1252, "ECFs encontrados"_cp1252};
constexpr CountedWords kPortsTriedWords = {"porta tentada"_cp1252, "portas tentadas"_cp1252};
constexpr CountedWords kPortsSkippedWords = {"deixada"_cp1252, "deixadas"_cp1252};
constexpr const char* kSearchSummaryText = "{printers}; {tried}, {skipped} de fora"_cp1252;
// The summary's count of the printers that answered without identifying, after {printers}.
constexpr CountedWords kUnidentifiedWords = {"respondeu sem se identificar"_cp1252,
                                             "responderam sem se identificar"_cp1252};
constexpr const char* kUnidentifiedCountText = ", {unidentified}"_cp1252;

// A port where a printer answered but did not identify itself, after the port's name, and the
// {reason} in a few words: refused with its pair, busy until given up, silent, and so on.
constexpr const char* kNotIdentifiedText = "responde, mas não se identificou ({reason})"_cp1252;
constexpr const char* kRefusedReason = "recusou: {class}/{detail}"_cp1252;
constexpr const char* kBusyReason = "ocupado"_cp1252;
constexpr const char* kNoAnswerReason = "sem resposta"_cp1252;
constexpr const char* kInvalidAnswerReason = "resposta inválida"_cp1252;
constexpr const char* kEmptyAnswerReason = "resposta vazia"_cp1252;
constexpr const char* kNotSentReason = "erro no envio"_cp1252;
constexpr const char* kInterruptedReason = "interrompido"_cp1252;
