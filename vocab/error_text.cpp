// Portuguese texts for error pairs: a title for the printer's error class and a sentence for
// the detail, plus the link's own conditions.
#include "vocab/error_text.h"

#include "vocab/text.h"

#include <map>
#include <utility>

namespace {

struct ClassRow {
    const char* title;
    // Details 0 up to this one show the title alone; -1 when every detail without a sentence
    // shows its number.
    int titleAloneUpTo;
};

// Indexed by class, 1 to 17 (row 0 unused: class 0 has no text).
constexpr ClassRow kClasses[18] = {
    {"", -1},
    {"<< Comando Inválido >>"_cp1252, -1},
    {"<< Erro em parâmetro do comando >>"_cp1252, -1},
    {"<< Overflow de capacidade >>"_cp1252, -1},
    {"<< Erro de contexto >>"_cp1252, -1},
    {"<<Erro em Cupom Fiscal >>"_cp1252, -1},
    {"<< Erro em Comprovante Não Fiscal >>"_cp1252, -1},
    {"<<Erro em Relatório Gerencial ou CCD >>"_cp1252, -1},
    {"<< Erro em Redução Z >>"_cp1252, -1},
    {"<< Integridade >>"_cp1252, -1},
    {"<< Cheque/CMC-7 >>"_cp1252, 1},
    {"<< Autenticação >>"_cp1252, 0},
    {"<< Sem Papel >>"_cp1252, 1},
    {"<< Relógio >>"_cp1252, -1},
    {"<< Programação >>"_cp1252, -1},
    {"<< Protocolo >>"_cp1252, 1},
    {"<< Erro ECF>>"_cp1252, -1},
    {"<< Erro Interno >>"_cp1252, -1},
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
    {1, 1, "O comando enviado para a impressora não existe no Software Básico."_cp1252},

    {2, 1, "Conteúdo de parâmetro inválido no comando."_cp1252},
    {2, 4, "COO inicial maior que COO final."_cp1252},
    {2, 5, "CRZ inicial maior que CRZ final."_cp1252},
    {2, 6, "Data inicial maior que Data final."_cp1252},

    {3, 1, "Excedeu a capacidade máxima do totalizador."_cp1252},

    {4, 1, "Comando só pode ser executado em intervenção."_cp1252},
    {4, 2, "Comando não pode ser executado em intervenção."_cp1252},
    {4, 5, "Comando não pode ser executado em modo bloqueio temporário."_cp1252},
    {4, 6, "Comando não pode ser executado em modo não iniciado."_cp1252},
    {4, 7, "Comando não pode ser executado em modo bloqueio definitivo."_cp1252},

    {5, 1, "Comando enviado não pode ser executado, pois existe um Cupom Fiscal aberto."_cp1252},
    {5, 2, "Comando enviado não pode ser executado, pois existe um Comprovante Não Fiscal aberto."_cp1252},
    {5, 3,
     "Comando enviado não pode ser executado, pois existe um Comprovante de Crédito ou Débito aberto."_cp1252},
    {5, 5, "Comando enviado não pode ser executado, pois existe um Relatório Gerencial aberto."_cp1252},
    {5, 6, "Comando enviado não pode ser executado, pois o ECF está em repouso."_cp1252},
    {5, 7, "A quantidade máxima de itens em um Cupom Fiscal foi ultrapassada."_cp1252},
    {5, 8,
     "A quantidade de parcelas somente pode ser especificada para os pagamentos que envolvam meios que aceitem a "
     "emissão de CCD."_cp1252},
    {5, 9, "Limite máximo de pagamentos por documento já foi atingido."_cp1252},
    {5, 10,
     "Cancelamento de um Cupom Fiscal somente será permitido após o estorno de todos os CCDs emitidos."_cp1252},
    {5, 11, "Comando não pode ser executado em documento não pago."_cp1252},
    {5, 12, "Comando não pode ser executado após desconto ou acréscimo em Subtotal."_cp1252},
    {5, 13, "Comando de acréscimo/desconto já executado."_cp1252},
    {5, 14, "Comando de consumidor já executado no clichê."_cp1252},

    {6, 1, "Comando enviado não pode ser executado, pois existe um Cupom Fiscal aberto."_cp1252},
    {6, 2, "Comando enviado não pode ser executado, pois existe um Comprovante Não Fiscal aberto."_cp1252},
    {6, 3,
     "Comando enviado não pode ser executado, pois existe um Comprovante de Crédito ou Débito aberto."_cp1252},
    {6, 5, "Comando enviado não pode ser executado, pois existe um Relatório Gerencial aberto."_cp1252},
    {6, 6, "A quantidade máxima de itens em um Comprovante Não Fiscal foi ultrapassada."_cp1252},
    {6, 7,
     "A quantidade de parcelas somente pode ser especificada para os pagamentos que envolvam meios que aceitem a "
     "emissão de CCD."_cp1252},
    {6, 8, "Limite máximo de pagamentos por documento já foi atingido."_cp1252},
    {6, 9,
     "Cancelamento de um Comprovante Não Fiscal somente será permitido após o estorno de todos os CCDs emitidos."_cp1252},
    {6, 10, "Comando não pode ser executado em documento não pago."_cp1252},
    {6, 11, "Comando não pode ser executado após desconto ou acréscimo em Subtotal."_cp1252},
    {6, 12, "Comando de acréscimo/desconto já executado."_cp1252},
    {6, 13, "Comando de consumidor já executado no clichê."_cp1252},

    {7, 1, "Comando enviado não pode ser executado, pois existe um Cupom Fiscal aberto."_cp1252},
    {7, 2, "Comando enviado não pode ser executado, pois existe um Comprovante Não Fiscal aberto."_cp1252},
    {7, 3,
     "Comando enviado não pode ser executado, pois existe um Comprovante de Crédito ou Débito aberto."_cp1252},
    {7, 5, "Comando enviado não pode ser executado, pois existe um Relatório Gerencial aberto."_cp1252},
    {7, 6, "Não existe CCD para o pagamento especificado."_cp1252},
    {7, 7, "CCD especificado já foi impresso."_cp1252},
    {7, 8, "CCD especificado já foi re-impresso."_cp1252},
    {7, 9, "CCD especificado já foi estornado."_cp1252},
    {7, 11, "Limite máximo de CCD’s por cupom foi excedido."_cp1252},
    {7, 14, "Envio de texto genérico para CCD ou Relatório Gerencial já fechado."_cp1252},

    {8, 1, " Redução Z pendente ou já realizada na data."_cp1252},

    {9, 5, " Não foi localizado o número de série na MF."_cp1252},
    {9, 7, " Não foi localizado na MF o Símbolo da moeda."_cp1252},
    {9, 9, " Não foi localizado na MF o CNPJ/ IE ou IM do usuário."_cp1252},
    {9, 10, " Versão do Software básico inválida."_cp1252},

    {13, 1, "Qualquer alteração do relógio não permitida."_cp1252},
    {13, 2, "Entrada ou saída de verão não permitida."_cp1252},
    {13, 3, "Relógio com data/hora anterior ao último documento gravado na MFD."_cp1252},

    {14, 1, "Índice de alíquota de ICMS já existente."_cp1252},
    {14, 2, "Índice de alíquota de ISSQN já existente."_cp1252},
    {14, 3, "Índice de ISSQN não permitido."_cp1252},
    {14, 4, "Índice de Meio de pagamento já existente."_cp1252},
    {14, 5, "Índice de Não Fiscal já existente."_cp1252},
    {14, 6, "Índice de relatório gerencial já existente."_cp1252},
    {14, 7, "Excedida a quantidade máxima."_cp1252},

    {16, 1, "Falha mecânica reportada pela bios"_cp1252},
    {16, 4, "MFD esgotada"_cp1252},
    {16, 6, "MFD em falha (não responde)"_cp1252},
    {16, 8, "MFD não inicializada"_cp1252},
    {16, 9, "MFD já inicializada"_cp1252},
    {16, 12, "Erro inicializando MFD"_cp1252},
    {16, 13, "Faltam parâmetros obrigatórios na MF"_cp1252},
    {16, 15, "Superaquecimento da cabeça térmica"_cp1252},
    {16, 16, "Dados da MT inconsistentes"_cp1252},
    {16, 19, "Data inválida"_cp1252},
    {16, 22, "Não existem dados no intervalo solicitado"_cp1252},
    {16, 25, "Senha incorreta"_cp1252},
    {16, 26, "Casas decimais para quantidade inválida"_cp1252},
    {16, 27, "Casas decimais para valor unitário inválida"_cp1252},
    {16, 28, "Tipo de reimpressão inválido (1=por Data  2=por COO)"_cp1252},
    {16, 29, "Encontrado caracter não estampável"_cp1252},
    {16, 40, "Índice inválido"_cp1252},
    {16, 41, "Índice de pagamento inválido"_cp1252},
    {16, 47, "Não pode utilizar totalizadores de entrada e saída em um mesmo CNF"_cp1252},
    {16, 51, "Parâmetro não pode ser zero ou estar em branco"_cp1252},
    {16, 56, "CNPJ inválido"_cp1252},
    {16, 57, "MF vazia"_cp1252},
    {16, 58, "Referência final inferior a referência inicial"_cp1252},
    {16, 59, "Valores aceitos são 0 ou 1 apenas"_cp1252},
    {16, 60, "Configuração permitida apenas imediatamente após a RZ"_cp1252},
    {16, 67, "Data informada na RZ não pode ser aceita"_cp1252},
    {16, 69, "Falha irrecuperável ao ajustar o relógio"_cp1252},
    {16, 70, "MF esgotada"_cp1252},
    {16, 71, "Versão do SB gravada na MF incorreta"_cp1252},
    {16, 73, "Usuário não programado"_cp1252},
    {16, 74, "Campo admite apenas valores numéricos"_cp1252},
    {16, 75, "Encontrado campo em zero"_cp1252},
    {16, 76, "Encontrado campo em branco"_cp1252},
    {16, 77, "Valor da operação não pode ser zero"_cp1252},
    {16, 82, "CF não está aberto"_cp1252},
    {16, 83, "CNF não está aberto"_cp1252},
    {16, 84, "CCD/ CCD Estorno não está aberto"_cp1252},
    {16, 85, "RG não está aberto"_cp1252},
    {16, 86, "Não existe CCD ou RG aberto"_cp1252},
    {16, 90, "Carga tributária não programada"_cp1252},
    {16, 91, "Campo do código vazio"_cp1252},
    {16, 92, "Campo de descrição vazio"_cp1252},
    {16, 93, "Valor unitário ou quantidade em zero"_cp1252},
    {16, 94, "Item ainda não foi registrado"_cp1252},
    {16, 95, "Desconto não pode ser zero"_cp1252},
    {16, 97, "Item foi cancelado"_cp1252},
    {16, 98, "Operação inibida por configuração"_cp1252},
    {16, 99, "Opção inválida"_cp1252},
    {16, 100, "Desconto supera valor bruto"_cp1252},
    {16, 101, "Desconto final resulta em zero"_cp1252},
    {16, 102, "Valor bruto resulta em zero"_cp1252},
    {16, 103, "Overflow no valor do item"_cp1252},
    {16, 104, "Overflow no valor do desconto"_cp1252},
    {16, 105, "Overflow no valor do documento"_cp1252},
    {16, 107, "Ítem não teve desconto"_cp1252},
    {16, 108, "Ítem com desconto"_cp1252},
    {16, 109, "Utilizado quantidade com mais de 2 decimais"_cp1252},
    {16, 110, "Utilizado valor unitário com mais de 2 decimais"_cp1252},
    {16, 111, "Quantidade a cancelar deve ser inferior à vendida"_cp1252},
    {16, 113, "Subtotal não teve desconto"_cp1252},
    {16, 114, "Não em estado de totalização"_cp1252},
    {16, 115, "Não em estado de venda ou totalização"_cp1252},
    {16, 116, "Permitido apenas 1 desconto e 1 acréscimo"_cp1252},
    {16, 117, "Desconto supera subtotal"_cp1252},
    {16, 118, "Pagamento não programado"_cp1252},
    {16, 119, "Não em estado de pagamento ou totalização"_cp1252},
    {16, 126, "Cancelamento não foi possível"_cp1252},
    {16, 127, "Informação sobre o pagamento não mais disponível"_cp1252},
    {16, 128, "Foram emididos CCDs relativos a este pagamento"_cp1252},
    {16, 129, "RG não programado"_cp1252},
    {16, 130, "Totalizador Não-Fiscal não programado"_cp1252},
    {16, 131, "Segunda via não disponível"_cp1252},
    {16, 132, "Já emitiu segunda via"_cp1252},
    {16, 138, "Totalizador de Sangria e Suprimento inibidos neste CNF"_cp1252},
    {16, 140, "Relógio está travado"_cp1252},
    {16, 141, "Usuário sem CNPJ"_cp1252},
    {16, 142, "Usuário sem IM"_cp1252},
    {16, 143, "Nova configuração igual a atual"_cp1252},
    {16, 146, "Documento especificado não foi encontrado"_cp1252},
    {16, 149, "Século inválido"_cp1252},
    {16, 150, "Usuário já programado"_cp1252},
    {16, 151, "Pagamento já programado"_cp1252},
    {16, 152, "Totalizador Não-Fiscal já programado"_cp1252},
    {16, 153, "RG já programado"_cp1252},
    {16, 155, "Atingiu limite de totalizadores de cada tipo"_cp1252},
    {16, 157, "MFD em falha"_cp1252},
    {16, 158, "Razão Social excede 40 caracteres"_cp1252},
    {16, 159, "Nome Fantasia excede 40 caracteres"_cp1252},
    {16, 160, "Endereço excede 120 caracteres"_cp1252},
    {16, 166, "Efetivado igual ao estornado"_cp1252},
    {16, 167, "Este símbolo da moeda já está programado"_cp1252},
    {16, 176, "Informação programada é a mesma da atual"_cp1252},
    {16, 177, "Utilize índice de 1 a 5"_cp1252},
    {16, 178, "Tamanho da imagem inválido"_cp1252},
    {16, 179, "Última data gravada a mais de 1 mês"_cp1252},
    {16, 180, "Atingido o limite de documentos autorizados"_cp1252},
    {16, 184, "Opção deve ser T ou A"_cp1252},
    {16, 185, "Unidade de medida não encontrada"_cp1252},
    {16, 194, "Seleção inválida"_cp1252},
    {16, 196, "Caracter hexadecimal inválido. Deve ser de 0 a 9 ou A a F"_cp1252},
    {16, 197, "Chave não carregada"_cp1252},
    {16, 198, "Chave inválda"_cp1252},
    {16, 199, "IE inválida"_cp1252},
    {16, 200, "IM inválida"_cp1252},
    {16, 201, "Não é possível alterar dados"_cp1252},
    {16, 202, "CPF ou CPNJ inválido"_cp1252},
    {16, 203, "Já foram carregadas 5 chaves públicas do Fisco. Não há espaço para mais"_cp1252},
    {16, 204, "Validade do comando expirada"_cp1252},
    {16, 205, "Comando não permitido"_cp1252},
    {16, 206, "A execução deste comando precisa ser liberada pela senha de entrada em MIL"_cp1252},
    {16, 207,
     "Está se tentando enviar um bloco do SB (ou FW da MFD), sem ter iniciado o processo de atualização"_cp1252},
    {16, 208, "A Assinatura Digital do novo SB enviado não é válida"_cp1252},
    {16, 209, "Falha na atualização do FW da MFD"_cp1252},
    {16, 210, "Não conseguiu baixar nova versão de SB do servidor"_cp1252},
    {16, 211, "Modo transporte não suportado"_cp1252},
    {16, 212, "Parâmetros do usuário só podem ser alterados 1 vez"_cp1252},

    {17, 200, "Erro interno. Alocação dinâmica de memória falhou (ssl)"_cp1252},
    {17, 201, "Erro interno. Alocação dinâmica de memória falhou (mem)"_cp1252},
};
static_assert(sizeof(kSentences) / sizeof(kSentences[0]) == 179, "one row per documented detail");

const char* const kSeparator = "\r\n\r\n";

struct Texts {
    std::string titles[kLastPrinterClass + 1];
    std::map<std::pair<int, int>, std::string> sentences;
    std::string invalidAnswer;
    std::string noAnswer;
    std::string lineLost;
};

// The lookup tables, built once, on first use.
const Texts& Tables()
{
    static const Texts texts = [] {
        Texts t;
        for (int c = 1; c <= kLastPrinterClass; ++c) {
            t.titles[c] = kClasses[c].title;
        }
        for (const SentenceRow& row : kSentences) {
            t.sentences.emplace(std::make_pair(row.errClass, row.errDetail), row.sentence);
        }
        t.invalidAnswer = "Resposta inválida!"_cp1252;
        t.noAnswer = "ECF não respondeu"_cp1252;
        t.lineLost = "Porta serial desconectada"_cp1252;
        return t;
    }();
    return texts;
}

}  // namespace

ErrorWords ErrorParts(int errClass, int errDetail)
{
    const Texts& texts = Tables();
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
        return {"<< Erro >>"_cp1252,
                "Cat: "_cp1252 + std::to_string(errClass) + "\r\nRet: " + std::to_string(errDetail)};

    ErrorWords words {texts.titles[errClass], {}};
    const auto found = texts.sentences.find({errClass, errDetail});
    if (found != texts.sentences.end())
        words.sentence = found->second;
    else if (errDetail < 0 || errDetail > kClasses[errClass].titleAloneUpTo)
        words.sentence = "Erro "_cp1252 + std::to_string(errDetail);
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
