// The words for the serial adapters that the system sees: a driver missing or refusing, a device
// disabled or stopped, a COM number kept by an absent adapter or moved to another; {name} stands
// for a fact that FillIn (vocab/filling.h) puts in.
#pragma once

#include "vocab/filling.h"
#include "vocab/text.h"

// What is wrong with an adapter, as a kind that --json names.
enum class AdapterProblem {
    kNone,
    kNoDriver,         // code 28
    kNotStarted,       // code 10
    kChipRefused,      // code 10 for a Prolific chip: the driver refuses an old or counterfeit one
    kDisabled,         // code 22
    kDriverNotLoaded,  // codes 31 and 39
    kStopped,          // code 43
    kOtherCode,        // another code
    kErasedProductId,  // an FTDI chip whose product id reads 0000
    kReserved,         // the COM number that an absent adapter keeps
    kNoModule,         // Linux: a known chip that no driver gave a tty
};

// A device problem as Device Manager numbers it: what the adapter is, then what to do.
struct AdapterProblemWords {
    unsigned code;       // Windows' problem code; 0 in the last row, for any other code
    AdapterProblem kind;
    const char* state;   // after the adapter's name: "sem driver"
    const char* advice;  // after the colon
};
constexpr int kAdapterProblemCount = 7;
extern const AdapterProblemWords kAdapterProblemWords[kAdapterProblemCount];
// Code 10 on the old or counterfeit chips that the current drivers refuse.
extern const AdapterProblemWords kRefusedChipWords;

// {adapter} is the adapter's name with its ids, "WCH CH340 (1A86:7523)".
constexpr const char* kAdapterProblemText = "Adaptador {adapter} {state} (código {code}): {advice}"_cp1252;
// The same in a few words, for a status line: {adapter} without its ids.
constexpr const char* kAdapterBriefText = "adaptador {adapter} {state} (código {code})"_cp1252;
// The same after the failure of a port that the adapter gives: what to do on a line of its own,
// since the window's status line is too narrow for both on one.
constexpr const char* kAdapterPortProblemText = "Adaptador {adapter} {state} (código {code}):\n{advice}"_cp1252;

// An FTDI clone whose product id the vendor's driver wrote over with 0000.
constexpr const char* kErasedProductText =
    "Adaptador {adapter} com o código de produto apagado: o driver do fabricante o reprogramou por "
    "ser um chip falsificado; use outro adaptador."_cp1252;
constexpr const char* kErasedProductBrief = "adaptador {adapter} com o código de produto apagado"_cp1252;

// A COM number that an unplugged adapter keeps.
constexpr const char* kReservedPortText = "{port}: reservada pelo adaptador {adapter} ausente"_cp1252;
constexpr const char* kReservedSerialText = " (número de série {serial})"_cp1252;

// The port asked for is gone, and the adapter that kept its number is on another one: the same
// adapter, by its serial number; or only one of its chip, which may be another adapter.
constexpr const char* kMovedPortText = "{port} não encontrada; o adaptador {adapter} está agora em {now}"_cp1252;
constexpr const char* kSameChipPortText = "{port} não encontrada; há um adaptador {adapter} em {now}"_cp1252;
constexpr const char* kMovedSerialText = " ({serial})"_cp1252;

// Linux: a known serial chip that no driver gave a tty.
constexpr const char* kNoModuleText =
    "adaptador {adapter} sem driver (o módulo {module} não está carregado)"_cp1252;
constexpr const char* kNoModuleBrief = "adaptador {adapter} sem driver"_cp1252;

// kestro-cli ports: the adapters with a problem, counted.
constexpr CountedWords kProblemAdaptersWords = {"adaptador com problema"_cp1252,
                                                "adaptadores com problema"_cp1252};
constexpr const char* kProblemAdaptersText =
    "{adapters}: kestro-cli ports --all mostra qual e o que fazer."_cp1252;
