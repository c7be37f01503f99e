// The command lines' mistakes: kestro-cli's usage errors and the option reader's two
// (base/option_table.h); Windows-1252, with {name} for what FillIn puts in (vocab/filling.h).
// The words filled in are the caller's own, UTF-8: FillInUtf8.
#pragma once

#include <string>

// The option reader's: a value missing, and one refused; {needs} is the option's own word.
// Both programs' option tables word their errors so (OptionWording).
constexpr char kNeedsValueText[] = "{option} precisa de {needs}";
constexpr char kBadValueText[] = "valor inv\341lido para {option}: '{value}'";
// What kestro-cli's options with a value need.
constexpr char kPortNeeds[] = "um nome de porta";
constexpr char kFileNeeds[] = "um nome de arquivo";
constexpr char kCountNeeds[] = "um n\372mero de 1 a 100.000";

// kestro-cli's words, commands and their options; {commands} is kCommandNames. {path}, this
// system's form of a device path, is put in by kestro-cli once the caller's word is made safe for a
// terminal, which would double its backslashes (kDevicePathMark).
constexpr char kCommandNames[] = "(ports, identify, lx, find, send, ping ou monitor)";
constexpr char kSecondCommandText[] = "um comando por vez: '{word}' \351 o segundo";
constexpr char kUnknownOptionText[] = "op\347\343o desconhecida '{word}'";
constexpr char kUnknownWordText[] =
    "palavra desconhecida '{word}': esperado um comando {commands} ou um caminho {path}";
constexpr char kOptionOnlyForText[] = "{option} \351 s\363 para {command}";
constexpr char kNoCommandText[] = "falta o comando {commands}";
constexpr char kPortNotUsedText[] = "{command} n\343o usa --port";
constexpr char kNothingToTraceText[] = "ports n\343o troca mensagens com a impressora: nada para --trace";
constexpr char kNoPortText[] = "falta --port NOME: este comando fala com uma impressora";
constexpr char kPathsNotUsedText[] =
    "caminhos de dispositivo s\343o s\363 para ports e find; d\352 a porta com --port";
// send's numbers: {name} is CMD, EXT or PARAM.
constexpr char kSendNeedsText[] = "send precisa de CMD e EXT";
constexpr char kNotANumberText[] = "{name} deve ser um n\372mero inteiro de {low} a {high}, n\343o '{word}'";
constexpr char kParamsDoNotFitText[] = "os par\342metros n\343o cabem em um comando: envie menos";
// After each of them, on the same line.
constexpr char kSeeHelpText[] = ". Veja kestro-cli --help.";

// The option reader's errors filled in, UTF-8: the option's name and the value are UTF-8
// already, what it needs is one of the vocabulary's words.
std::string NeedsValueText(const std::string& option, const std::string& needs);
std::string BadValueText(const std::string& option, const std::string& value);

// Every text above, for tests.
constexpr const char* kUsageWords[] = {
    kNeedsValueText, kBadValueText,      kPortNeeds,          kFileNeeds,       kCountNeeds,
    kCommandNames,   kSecondCommandText, kUnknownOptionText,  kUnknownWordText, kOptionOnlyForText,
    kNoCommandText,  kPortNotUsedText,   kNothingToTraceText, kNoPortText,      kPathsNotUsedText,
    kSendNeedsText,  kNotANumberText,    kParamsDoNotFitText, kSeeHelpText};
