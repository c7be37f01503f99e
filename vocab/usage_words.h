// The command lines' mistakes: kestro-cli's usage errors and the option reader's two
// (base/option_table.h), with {name} for what FillIn puts in (vocab/filling.h). The words filled
// in are the caller's own, as the system gives them: FillInUtf8.
#pragma once

#include "vocab/text.h"

#include <string>

// The option reader's: a value missing, and one refused; {needs} is the option's own word.
// Both programs' option tables word their errors so (OptionWording).
constexpr const char* kNeedsValueText = "{option} precisa de {needs}"_cp1252;
constexpr const char* kBadValueText = "valor inválido para {option}: '{value}'"_cp1252;
// What kestro-cli's options with a value need.
constexpr const char* kPortNeeds = "um nome de porta"_cp1252;
constexpr const char* kFileNeeds = "um nome de arquivo"_cp1252;
constexpr const char* kCountNeeds = "um número de 1 a 100.000"_cp1252;

// kestro-cli's words, commands and their options; {commands} is the commands' list,
// kCommandListText, which names the {last} apart. {path}, this
// system's form of a device path, is put in by kestro-cli once the caller's word is made safe for a
// terminal, which would double its backslashes (kDevicePathMark).
constexpr const char* kCommandListText = "({commands} ou {last})"_cp1252;
constexpr const char* kSecondCommandText = "um comando por vez: '{word}' é o segundo"_cp1252;
constexpr const char* kUnknownOptionText = "opção desconhecida '{word}'"_cp1252;
constexpr const char* kUnknownWordText =
    "palavra desconhecida '{word}': esperado um comando {commands} ou um caminho {path}"_cp1252;
constexpr const char* kOptionOnlyForText = "{option} é só para {command}"_cp1252;
constexpr const char* kNoCommandText = "falta o comando {commands}"_cp1252;
constexpr const char* kPortNotUsedText = "{command} não usa --port"_cp1252;
constexpr const char* kNothingToTraceText = "ports não troca mensagens com a impressora: nada para --trace"_cp1252;
constexpr const char* kNoPortText = "falta --port NOME: este comando fala com uma impressora"_cp1252;
constexpr const char* kPathsNotUsedText =
    "caminhos de dispositivo são só para ports e find; dê a porta com --port"_cp1252;
// send's numbers: {name} is CMD, EXT or PARAM.
constexpr const char* kSendNeedsText = "send precisa de CMD e EXT"_cp1252;
constexpr const char* kNotANumberText = "{name} deve ser um número inteiro de {low} a {high}, não '{word}'"_cp1252;
constexpr const char* kParamsDoNotFitText = "os parâmetros não cabem em um comando: envie menos"_cp1252;
// After each of them, on the same line.
constexpr const char* kSeeHelpText = ". Veja kestro-cli --help."_cp1252;

// The option reader's errors filled in, for the console: the option's name and the value are
// the caller's own, what it needs is one of the vocabulary's words.
std::string NeedsValueText(const std::string& option, const std::string& needs);
std::string BadValueText(const std::string& option, const std::string& value);
