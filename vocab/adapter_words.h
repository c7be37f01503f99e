// The words for the serial adapters that the system sees: a driver missing or refusing, a device
// disabled or stopped, a COM number kept by an absent adapter or moved to another. Windows-1252;
// {name} stands for a fact that FillIn (vocab/filling.h) puts in.
#pragma once

#include "vocab/filling.h"

// A device problem as Device Manager numbers it: what the adapter is, then what to do.
struct AdapterProblemWords {
    unsigned code;       // Windows' problem code; 0 in the last row, for any other code
    const char* state;   // after the adapter's name: "sem driver"
    const char* advice;  // after the colon
};
constexpr int kAdapterProblemCount = 7;
extern const AdapterProblemWords kAdapterProblemWords[kAdapterProblemCount];
// Code 10 on the old or counterfeit chips that the current drivers refuse.
extern const AdapterProblemWords kRefusedChipWords;

// {adapter} is the adapter's name with its ids, "WCH CH340 (1A86:7523)".
constexpr char kAdapterProblemText[] = "Adaptador {adapter} {state} (c\363digo {code}): {advice}";
// The same in a few words, for a status line: {adapter} without its ids.
constexpr char kAdapterBriefText[] = "adaptador {adapter} {state} (c\363digo {code})";

// An FTDI clone whose product id the vendor's driver wrote over with 0000.
constexpr char kErasedProductText[] =
    "Adaptador {adapter} com o c\363digo de produto apagado: o driver do fabricante o reprogramou por "
    "ser um chip falsificado; use outro adaptador.";
constexpr char kErasedProductBrief[] = "adaptador {adapter} com o c\363digo de produto apagado";

// A COM number that an unplugged adapter keeps.
constexpr char kReservedPortText[] = "{port}: reservada pelo adaptador {adapter} ausente";
constexpr char kReservedSerialText[] = " (n\372mero de s\351rie {serial})";

// The port asked for is gone, and its adapter (the same serial number, else the same chip) is on
// another one.
constexpr char kMovedPortText[] = "{port} n\343o encontrada; o adaptador {adapter} est\341 agora em {now}";
constexpr char kMovedSerialText[] = " ({serial})";

// Linux: a known serial chip that no driver gave a tty.
constexpr char kNoModuleText[] = "adaptador {adapter} sem driver (o m\363dulo {module} n\343o est\341 carregado)";
constexpr char kNoModuleBrief[] = "adaptador {adapter} sem driver";

// kestro-cli ports: the adapters with a problem, counted.
constexpr CountedWords kProblemAdaptersWords = {"adaptador com problema", "adaptadores com problema"};
constexpr char kProblemAdaptersText[] = "{adapters}: kestro-cli ports --all mostra qual e o que fazer.";
