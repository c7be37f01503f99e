// Texts of the window's own features: the activity icons' tooltips, the port search's result and
// the traffic window's questions and file names. UTF-8, for the window alone.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

// What the activity display shows for a display code; empty for the codes that show no activity
// (idle, and any code beyond the last).
const char* ActivityTip(int code);

// The search's pick: "ECF KS-2000 em pts/3", and " (e mais 2)" when others answered too. An empty
// model (a printer not identified) leaves the name out.
std::string FoundPrinterText(const std::string& model, const std::string& port, size_t others);
// The tooltip's lines on the other printers, one "pts/4: KS-2000" (or the port alone) each.
std::string OtherPrintersTip(const std::vector<std::string>& lines);

// "Limpar": the question, naming how many messages go, and what to do to keep them.
std::string ClearQuestion(size_t messages);
extern const char kClearAdvice[];

// "Salvar...": the suggested file name, with the port and the clock time: characters that a file
// name cannot hold become '-'.
std::string TrafficFileName(const std::string& port, const std::tm& when);
// Why a save failed, in Portuguese: the system's own reason comes in the system's language.
enum class SaveFailure { kNoFolder, kIsFolder, kFileReadOnly, kFolderReadOnly, kWriteFailed, kNotOpened };
const char* SaveFailureText(SaveFailure failure);
