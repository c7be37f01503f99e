// Portuguese texts for error pairs: a title for the printer's error class and a sentence for
// the detail, plus the link's own conditions. Results are Windows-1252 bytes.
#include "vocab/error_text.h"

#include "vocab/cp1252.h"

#include <map>
#include <utility>

namespace {

// The texts below are written in UTF-8 so that they read as the printer's manual does; they are
// converted once, on first use, to the Windows-1252 bytes that callers get.

struct ClassRow {
    const char* title;
    // Details 0 up to this one show the title alone; -1 when every detail without a sentence
    // shows its number.
    int titleAloneUpTo;
};

// Indexed by class, 1 to 17 (row 0 unused: class 0 has no text).
constexpr ClassRow kClasses[18] = {
    {"", -1},
    {"<< Comando Inválido >>", -1},
    {"<< Erro em parâmetro do comando >>", -1},
    {"<< Overflow de capacidade >>", -1},
    {"<< Erro de contexto >>", -1},
    {"<<Erro em Cupom Fiscal >>", -1},
    {"<< Erro em Comprovante Não Fiscal >>", -1},
    {"<<Erro em Relatório Gerencial ou CCD >>", -1},
    {"<< Erro em Redução Z >>", -1},
    {"<< Integridade >>", -1},
    {"<< Cheque/CMC-7 >>", 1},
    {"<< Autenticação >>", 0},
    {"<< Sem Papel >>", 1},
    {"<< Relógio >>", -1},
    {"<< Programação >>", -1},
    {"<< Protocolo >>", 1},
    {"<< Erro ECF>>", -1},
    {"<< Erro Interno >>", -1},
};
constexpr int kLastPrinterClass = 17;

struct SentenceRow {
    int errClass;
    int errDetail;
    const char* sentence;
};

// Wording, blanks and spelling as the printer's firmware documents them; the leading blanks of
// classes 8 and 9 are part of the text.
constexpr SentenceRow kSentences[] = {
    {1, 1, "O comando enviado para a impressora não existe no Software Básico."},

    {2, 1, "Conteúdo de parâmetro inválido no comando."},
    {2, 4, "COO inicial maior que COO final."},
    {2, 5, "CRZ inicial maior que CRZ final."},
    {2, 6, "Data inicial maior que Data final."},

    {3, 1, "Excedeu a capacidade máxima do totalizador."},

    {4, 1, "Comando só pode ser executado em intervenção."},
    {4, 2, "Comando não pode ser executado em intervenção."},
    {4, 5, "Comando não pode ser executado em modo bloqueio temporário."},
    {4, 6, "Comando não pode ser executado em modo não iniciado."},
    {4, 7, "Comando não pode ser executado em modo bloqueio definitivo."},

    {5, 1, "Comando enviado não pode ser executado, pois existe um Cupom Fiscal aberto."},
    {5, 2, "Comando enviado não pode ser executado, pois existe um Comprovante Não Fiscal aberto."},
    {5, 3, "Comando enviado não pode ser executado, pois existe um Comprovante de Crédito ou Débito aberto."},
    {5, 5, "Comando enviado não pode ser executado, pois existe um Relatório Gerencial aberto."},
    {5, 6, "Comando enviado não pode ser executado, pois o ECF está em repouso."},
    {5, 7, "A quantidade máxima de itens em um Cupom Fiscal foi ultrapassada."},
    {5, 8,
     "A quantidade de parcelas somente pode ser especificada para os pagamentos que envolvam meios que aceitem a "
     "emissão de CCD."},
    {5, 9, "Limite máximo de pagamentos por documento já foi atingido."},
    {5, 10, "Cancelamento de um Cupom Fiscal somente será permitido após o estorno de todos os CCDs emitidos."},
    {5, 11, "Comando não pode ser executado em documento não pago."},
    {5, 12, "Comando não pode ser executado após desconto ou acréscimo em Subtotal."},
    {5, 13, "Comando de acréscimo/desconto já executado."},
    {5, 14, "Comando de consumidor já executado no clichê."},

    {6, 1, "Comando enviado não pode ser executado, pois existe um Cupom Fiscal aberto."},
    {6, 2, "Comando enviado não pode ser executado, pois existe um Comprovante Não Fiscal aberto."},
    {6, 3, "Comando enviado não pode ser executado, pois existe um Comprovante de Crédito ou Débito aberto."},
    {6, 5, "Comando enviado não pode ser executado, pois existe um Relatório Gerencial aberto."},
    {6, 6, "A quantidade máxima de itens em um Comprovante Não Fiscal foi ultrapassada."},
    {6, 7,
     "A quantidade de parcelas somente pode ser especificada para os pagamentos que envolvam meios que aceitem a "
     "emissão de CCD."},
    {6, 8, "Limite máximo de pagamentos por documento já foi atingido."},
    {6, 9,
     "Cancelamento de um Comprovante Não Fiscal somente será permitido após o estorno de todos os CCDs emitidos."},
    {6, 10, "Comando não pode ser executado em documento não pago."},
    {6, 11, "Comando não pode ser executado após desconto ou acréscimo em Subtotal."},
    {6, 12, "Comando de acréscimo/desconto já executado."},
    {6, 13, "Comando de consumidor já executado no clichê."},

    {7, 1, "Comando enviado não pode ser executado, pois existe um Cupom Fiscal aberto."},
    {7, 2, "Comando enviado não pode ser executado, pois existe um Comprovante Não Fiscal aberto."},
    {7, 3, "Comando enviado não pode ser executado, pois existe um Comprovante de Crédito ou Débito aberto."},
    {7, 5, "Comando enviado não pode ser executado, pois existe um Relatório Gerencial aberto."},
    {7, 6, "Não existe CCD para o pagamento especificado."},
    {7, 7, "CCD especificado já foi impresso."},
    {7, 8, "CCD especificado já foi re-impresso."},
    {7, 9, "CCD especificado já foi estornado."},
    {7, 11, "Limite máximo de CCD’s por cupom foi excedido."},
    {7, 14, "Envio de texto genérico para CCD ou Relatório Gerencial já fechado."},

    {8, 1, " Redução Z pendente ou já realizada na data."},

    {9, 5, " Não foi localizado o número de série na MF."},
    {9, 7, " Não foi localizado na MF o Símbolo da moeda."},
    {9, 9, " Não foi localizado na MF o CNPJ/ IE ou IM do usuário."},
    {9, 10, " Versão do Software básico inválida."},

    {13, 1, "Qualquer alteração do relógio não permitida."},
    {13, 2, "Entrada ou saída de verão não permitida."},
    {13, 3, "Relógio com data/hora anterior ao último documento gravado na MFD."},

    {14, 1, "Índice de alíquota de ICMS já existente."},
    {14, 2, "Índice de alíquota de ISSQN já existente."},
    {14, 3, "Índice de ISSQN não permitido."},
    {14, 4, "Índice de Meio de pagamento já existente."},
    {14, 5, "Índice de Não Fiscal já existente."},
    {14, 6, "Índice de relatório gerencial já existente."},
    {14, 7, "Excedida a quantidade máxima."},

    {16, 1, "Falha mecânica reportada pela bios"},
    {16, 4, "MFD esgotada"},
    {16, 6, "MFD em falha (não responde)"},
    {16, 8, "MFD não inicializada"},
    {16, 9, "MFD já inicializada"},
    {16, 12, "Erro inicializando MFD"},
    {16, 13, "Faltam parâmetros obrigatórios na MF"},
    {16, 15, "Superaquecimento da cabeça térmica"},
    {16, 16, "Dados da MT inconsistentes"},
    {16, 19, "Data inválida"},
    {16, 22, "Não existem dados no intervalo solicitado"},
    {16, 25, "Senha incorreta"},
    {16, 26, "Casas decimais para quantidade inválida"},
    {16, 27, "Casas decimais para valor unitário inválida"},
    {16, 28, "Tipo de reimpressão inválido (1=por Data  2=por COO)"},
    {16, 29, "Encontrado caracter não estampável"},
    {16, 40, "Índice inválido"},
    {16, 41, "Índice de pagamento inválido"},
    {16, 47, "Não pode utilizar totalizadores de entrada e saída em um mesmo CNF"},
    {16, 51, "Parâmetro não pode ser zero ou estar em branco"},
    {16, 56, "CNPJ inválido"},
    {16, 57, "MF vazia"},
    {16, 58, "Referência final inferior a referência inicial"},
    {16, 59, "Valores aceitos são 0 ou 1 apenas"},
    {16, 60, "Configuração permitida apenas imediatamente após a RZ"},
    {16, 67, "Data informada na RZ não pode ser aceita"},
    {16, 69, "Falha irrecuperável ao ajustar o relógio"},
    {16, 70, "MF esgotada"},
    {16, 71, "Versão do SB gravada na MF incorreta"},
    {16, 73, "Usuário não programado"},
    {16, 74, "Campo admite apenas valores numéricos"},
    {16, 75, "Encontrado campo em zero"},
    {16, 76, "Encontrado campo em branco"},
    {16, 77, "Valor da operação não pode ser zero"},
    {16, 82, "CF não está aberto"},
    {16, 83, "CNF não está aberto"},
    {16, 84, "CCD/ CCD Estorno não está aberto"},
    {16, 85, "RG não está aberto"},
    {16, 86, "Não existe CCD ou RG aberto"},
    {16, 90, "Carga tributária não programada"},
    {16, 91, "Campo do código vazio"},
    {16, 92, "Campo de descrição vazio"},
    {16, 93, "Valor unitário ou quantidade em zero"},
    {16, 94, "Item ainda não foi registrado"},
    {16, 95, "Desconto não pode ser zero"},
    {16, 97, "Item foi cancelado"},
    {16, 98, "Operação inibida por configuração"},
    {16, 99, "Opção inválida"},
    {16, 100, "Desconto supera valor bruto"},
    {16, 101, "Desconto final resulta em zero"},
    {16, 102, "Valor bruto resulta em zero"},
    {16, 103, "Overflow no valor do item"},
    {16, 104, "Overflow no valor do desconto"},
    {16, 105, "Overflow no valor do documento"},
    {16, 107, "Ítem não teve desconto"},
    {16, 108, "Ítem com desconto"},
    {16, 109, "Utilizado quantidade com mais de 2 decimais"},
    {16, 110, "Utilizado valor unitário com mais de 2 decimais"},
    {16, 111, "Quantidade a cancelar deve ser inferior à vendida"},
    {16, 113, "Subtotal não teve desconto"},
    {16, 114, "Não em estado de totalização"},
    {16, 115, "Não em estado de venda ou totalização"},
    {16, 116, "Permitido apenas 1 desconto e 1 acréscimo"},
    {16, 117, "Desconto supera subtotal"},
    {16, 118, "Pagamento não programado"},
    {16, 119, "Não em estado de pagamento ou totalização"},
    {16, 126, "Cancelamento não foi possível"},
    {16, 127, "Informação sobre o pagamento não mais disponível"},
    {16, 128, "Foram emididos CCDs relativos a este pagamento"},
    {16, 129, "RG não programado"},
    {16, 130, "Totalizador Não-Fiscal não programado"},
    {16, 131, "Segunda via não disponível"},
    {16, 132, "Já emitiu segunda via"},
    {16, 138, "Totalizador de Sangria e Suprimento inibidos neste CNF"},
    {16, 140, "Relógio está travado"},
    {16, 141, "Usuário sem CNPJ"},
    {16, 142, "Usuário sem IM"},
    {16, 143, "Nova configuração igual a atual"},
    {16, 146, "Documento especificado não foi encontrado"},
    {16, 149, "Século inválido"},
    {16, 150, "Usuário já programado"},
    {16, 151, "Pagamento já programado"},
    {16, 152, "Totalizador Não-Fiscal já programado"},
    {16, 153, "RG já programado"},
    {16, 155, "Atingiu limite de totalizadores de cada tipo"},
    {16, 157, "MFD em falha"},
    {16, 158, "Razão Social excede 40 caracteres"},
    {16, 159, "Nome Fantasia excede 40 caracteres"},
    {16, 160, "Endereço excede 120 caracteres"},
    {16, 166, "Efetivado igual ao estornado"},
    {16, 167, "Este símbolo da moeda já está programado"},
    {16, 176, "Informação programada é a mesma da atual"},
    {16, 177, "Utilize índice de 1 a 5"},
    {16, 178, "Tamanho da imagem inválido"},
    {16, 179, "Última data gravada a mais de 1 mês"},
    {16, 180, "Atingido o limite de documentos autorizados"},
    {16, 184, "Opção deve ser T ou A"},
    {16, 185, "Unidade de medida não encontrada"},
    {16, 194, "Seleção inválida"},
    {16, 196, "Caracter hexadecimal inválido. Deve ser de 0 a 9 ou A a F"},
    {16, 197, "Chave não carregada"},
    {16, 198, "Chave inválda"},
    {16, 199, "IE inválida"},
    {16, 200, "IM inválida"},
    {16, 201, "Não é possível alterar dados"},
    {16, 202, "CPF ou CPNJ inválido"},
    {16, 203, "Já foram carregadas 5 chaves públicas do Fisco. Não há espaço para mais"},
    {16, 204, "Validade do comando expirada"},
    {16, 205, "Comando não permitido"},
    {16, 206, "A execução deste comando precisa ser liberada pela senha de entrada em MIL"},
    {16, 207, "Está se tentando enviar um bloco do SB (ou FW da MFD), sem ter iniciado o processo de atualização"},
    {16, 208, "A Assinatura Digital do novo SB enviado não é válida"},
    {16, 209, "Falha na atualização do FW da MFD"},
    {16, 210, "Não conseguiu baixar nova versão de SB do servidor"},
    {16, 211, "Modo transporte não suportado"},
    {16, 212, "Parâmetros do usuário só podem ser alterados 1 vez"},

    {17, 200, "Erro interno. Alocação dinâmica de memória falhou (ssl)"},
    {17, 201, "Erro interno. Alocação dinâmica de memória falhou (mem)"},
};
static_assert(sizeof(kSentences) / sizeof(kSentences[0]) == 179, "one row per documented detail");

const char* const kSeparator = "\r\n\r\n";

// UTF-8 back to Windows-1252, for the fixed texts above only: each multi-byte character is
// looked up among the images of the bytes 0x80 to 0xFF, so the two directions share one table.
std::string ToCp1252(const std::string& utf8)
{
    static const std::map<std::string, char> byImage = [] {
        std::map<std::string, char> images;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const std::string one(1, static_cast<char>(byte));
            images.emplace(Cp1252ToUtf8(one), one[0]);
        }
        images.erase("\xEF\xBF\xBD");  // undefined bytes all share U+FFFD
        return images;
    }();

    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (length == 1) {
            out += utf8[i];
        } else {
            const auto found = byImage.find(utf8.substr(i, length));
            out += found != byImage.end() ? found->second : '?';
        }
        i += length;
    }
    return out;
}

struct Texts {
    std::string titles[kLastPrinterClass + 1];
    std::map<std::pair<int, int>, std::string> sentences;
    std::string invalidAnswer;
    std::string noAnswer;
    std::string lineLost;
};

const Texts& Converted()
{
    static const Texts texts = [] {
        Texts t;
        for (int c = 1; c <= kLastPrinterClass; ++c) {
            t.titles[c] = ToCp1252(kClasses[c].title);
        }
        for (const SentenceRow& row : kSentences) {
            t.sentences.emplace(std::make_pair(row.errClass, row.errDetail), ToCp1252(row.sentence));
        }
        t.invalidAnswer = ToCp1252("Resposta inválida!");
        t.noAnswer = ToCp1252("ECF não respondeu");
        t.lineLost = ToCp1252("Porta serial desconectada");
        return t;
    }();
    return texts;
}

}  // namespace

ErrorWords ErrorParts(int errClass, int errDetail)
{
    const Texts& texts = Converted();
    if (errClass == 0)
        return {};
    if (errClass == kLinkErrorClass) {
        if (errDetail == kLinkInvalidAnswer)
            return {{}, texts.invalidAnswer};
        if (errDetail == kLinkNoAnswer)
            return {{}, texts.noAnswer};
        if (errDetail == kLinkLineLost)
            return {{}, texts.lineLost};
        return {};
    }
    if (errClass < 0 || errClass > kLastPrinterClass)
        return {"<< Erro >>", "Cat: " + std::to_string(errClass) + "\r\nRet: " + std::to_string(errDetail)};

    ErrorWords words {texts.titles[errClass], {}};
    const auto found = texts.sentences.find({errClass, errDetail});
    if (found != texts.sentences.end())
        words.sentence = found->second;
    else if (errDetail < 0 || errDetail > kClasses[errClass].titleAloneUpTo)
        words.sentence = "Erro " + std::to_string(errDetail);
    return words;
}

std::string ErrorText(int errClass, int errDetail)
{
    const ErrorWords words = ErrorParts(errClass, errDetail);
    if (words.title.empty() || words.sentence.empty())
        return words.title + words.sentence;
    return words.title + kSeparator + words.sentence;
}

std::string OneLine(const std::string& text)
{
    std::string line;
    for (const char c : text) {
        const bool blank = c == '\r' || c == '\n' || c == ' ';
        if (!blank)
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    if (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}
