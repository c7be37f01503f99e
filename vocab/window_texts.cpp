// The texts of the window's own features.
#include "vocab/window_texts.h"

#include <algorithm>
#include <iterator>

namespace {

// By display code: 1 sending, 2 asking for the response, 3 a block arrived, 4 printer busy,
// 5 error (its text is on the status line), 6 part of the response arrived and more follows.
const char* const kActivityTips[] = {
    "", "Enviando o comando", "Pedindo a resposta", "Recebendo", "ECF ocupado: aguardando", "", "Há mais blocos",
};

}  // namespace

const char* ActivityTip(int code)
{
    const bool known = code >= 0 && code < static_cast<int>(std::size(kActivityTips));
    return known ? kActivityTips[code] : "";
}

std::string FoundPrinterText(const std::string& model, const std::string& port, size_t others)
{
    std::string text = "ECF " + (model.empty() ? "" : model + " ") + "em " + port;
    return others == 0 ? text : text + " (e mais " + std::to_string(others) + ")";
}

std::string OtherPrintersTip(const std::vector<std::string>& lines)
{
    std::string tip = lines.size() == 1 ? "Outro ECF respondeu:" : "Outros ECFs responderam:";
    for (const std::string& line : lines)
        tip += "\n" + line;
    return tip;
}

std::string ClearQuestion(size_t messages)
{
    return messages == 1 ? "Apagar a mensagem do tráfego?"
                         : "Apagar as " + std::to_string(messages) + " mensagens do tráfego?";
}

const char kClearAdvice[] = "Elas não poderão ser recuperadas. Para guardá-las, use \"Salvar...\" antes.";

std::string TrafficFileName(const std::string& port, const std::tm& when)
{
    char stamp[32] = "";
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &when);
    std::string name = port;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return std::string("/\\:*?\"<>|").find(c) != std::string::npos; },
        '-');
    return "trafego_" + (name.empty() ? "" : name + "_") + stamp + ".txt";
}

const char* SaveFailureText(SaveFailure failure)
{
    switch (failure) {
    case SaveFailure::kNoFolder:
        return "a pasta não existe; escolha outra pasta";
    case SaveFailure::kIsFolder:
        return "esse nome é de uma pasta; escolha um nome de arquivo";
    case SaveFailure::kFileReadOnly:
        return "o arquivo está protegido contra gravação; escolha outro nome";
    case SaveFailure::kFolderReadOnly:
        return "sem permissão para gravar nessa pasta; escolha outra pasta";
    case SaveFailure::kWriteFailed:
        return "a gravação falhou (disco cheio ou removido?); tente outro local";
    case SaveFailure::kNotOpened:
        break;
    }
    return "o arquivo não pôde ser criado; escolha outro local";
}
