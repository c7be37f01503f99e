// Portuguese texts for error pairs: a title for the printer's error class and a sentence for
// the detail, plus the link's own conditions. Results are Windows-1252 bytes.
#include "vocab/error_text.h"

#include "vocab/cp1252.h"

#include <map>
#include <utility>

namespace {

// The texts below are Windows-1252, as every text of the vocabulary; the lookup tables are
// built once, on first use.

struct ClassRow {
    const char* title;
    // Details 0 up to this one show the title alone; -1 when every detail without a sentence
    // shows its number.
    int titleAloneUpTo;
};

// Indexed by class, 1 to 17 (row 0 unused: class 0 has no text).
constexpr ClassRow kClasses[18] = {
    {"", -1},
    {"<< Comando Inv\341lido >>", -1},
    {"<< Erro em par\342metro do comando >>", -1},
    {"<< Overflow de capacidade >>", -1},
    {"<< Erro de contexto >>", -1},
    {"<<Erro em Cupom Fiscal >>", -1},
    {"<< Erro em Comprovante N\343o Fiscal >>", -1},
    {"<<Erro em Relat\363rio Gerencial ou CCD >>", -1},
    {"<< Erro em Redu\347\343o Z >>", -1},
    {"<< Integridade >>", -1},
    {"<< Cheque/CMC-7 >>", 1},
    {"<< Autentica\347\343o >>", 0},
    {"<< Sem Papel >>", 1},
    {"<< Rel\363gio >>", -1},
    {"<< Programa\347\343o >>", -1},
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
    {1, 1, "O comando enviado para a impressora n\343o existe no Software B\341sico."},

    {2, 1, "Conte\372do de par\342metro inv\341lido no comando."},
    {2, 4, "COO inicial maior que COO final."},
    {2, 5, "CRZ inicial maior que CRZ final."},
    {2, 6, "Data inicial maior que Data final."},

    {3, 1, "Excedeu a capacidade m\341xima do totalizador."},

    {4, 1, "Comando s\363 pode ser executado em interven\347\343o."},
    {4, 2, "Comando n\343o pode ser executado em interven\347\343o."},
    {4, 5, "Comando n\343o pode ser executado em modo bloqueio tempor\341rio."},
    {4, 6, "Comando n\343o pode ser executado em modo n\343o iniciado."},
    {4, 7, "Comando n\343o pode ser executado em modo bloqueio definitivo."},

    {5, 1, "Comando enviado n\343o pode ser executado, pois existe um Cupom Fiscal aberto."},
    {5, 2, "Comando enviado n\343o pode ser executado, pois existe um Comprovante N\343o Fiscal aberto."},
    {5, 3, "Comando enviado n\343o pode ser executado, pois existe um Comprovante de Cr\351dito ou D\351bito aberto."},
    {5, 5, "Comando enviado n\343o pode ser executado, pois existe um Relat\363rio Gerencial aberto."},
    {5, 6, "Comando enviado n\343o pode ser executado, pois o ECF est\341 em repouso."},
    {5, 7, "A quantidade m\341xima de itens em um Cupom Fiscal foi ultrapassada."},
    {5, 8,
     "A quantidade de parcelas somente pode ser especificada para os pagamentos que envolvam meios que aceitem a "
     "emiss\343o de CCD."},
    {5, 9, "Limite m\341ximo de pagamentos por documento j\341 foi atingido."},
    {5, 10, "Cancelamento de um Cupom Fiscal somente ser\341 permitido ap\363s o estorno de todos os CCDs emitidos."},
    {5, 11, "Comando n\343o pode ser executado em documento n\343o pago."},
    {5, 12, "Comando n\343o pode ser executado ap\363s desconto ou acr\351scimo em Subtotal."},
    {5, 13, "Comando de acr\351scimo/desconto j\341 executado."},
    {5, 14, "Comando de consumidor j\341 executado no clich\352."},

    {6, 1, "Comando enviado n\343o pode ser executado, pois existe um Cupom Fiscal aberto."},
    {6, 2, "Comando enviado n\343o pode ser executado, pois existe um Comprovante N\343o Fiscal aberto."},
    {6, 3, "Comando enviado n\343o pode ser executado, pois existe um Comprovante de Cr\351dito ou D\351bito aberto."},
    {6, 5, "Comando enviado n\343o pode ser executado, pois existe um Relat\363rio Gerencial aberto."},
    {6, 6, "A quantidade m\341xima de itens em um Comprovante N\343o Fiscal foi ultrapassada."},
    {6, 7,
     "A quantidade de parcelas somente pode ser especificada para os pagamentos que envolvam meios que aceitem a "
     "emiss\343o de CCD."},
    {6, 8, "Limite m\341ximo de pagamentos por documento j\341 foi atingido."},
    {6, 9,
     "Cancelamento de um Comprovante N\343o Fiscal somente ser\341 permitido ap\363s o estorno de todos os CCDs emitidos."},
    {6, 10, "Comando n\343o pode ser executado em documento n\343o pago."},
    {6, 11, "Comando n\343o pode ser executado ap\363s desconto ou acr\351scimo em Subtotal."},
    {6, 12, "Comando de acr\351scimo/desconto j\341 executado."},
    {6, 13, "Comando de consumidor j\341 executado no clich\352."},

    {7, 1, "Comando enviado n\343o pode ser executado, pois existe um Cupom Fiscal aberto."},
    {7, 2, "Comando enviado n\343o pode ser executado, pois existe um Comprovante N\343o Fiscal aberto."},
    {7, 3, "Comando enviado n\343o pode ser executado, pois existe um Comprovante de Cr\351dito ou D\351bito aberto."},
    {7, 5, "Comando enviado n\343o pode ser executado, pois existe um Relat\363rio Gerencial aberto."},
    {7, 6, "N\343o existe CCD para o pagamento especificado."},
    {7, 7, "CCD especificado j\341 foi impresso."},
    {7, 8, "CCD especificado j\341 foi re-impresso."},
    {7, 9, "CCD especificado j\341 foi estornado."},
    {7, 11, "Limite m\341ximo de CCD\222s por cupom foi excedido."},
    {7, 14, "Envio de texto gen\351rico para CCD ou Relat\363rio Gerencial j\341 fechado."},

    {8, 1, " Redu\347\343o Z pendente ou j\341 realizada na data."},

    {9, 5, " N\343o foi localizado o n\372mero de s\351rie na MF."},
    {9, 7, " N\343o foi localizado na MF o S\355mbolo da moeda."},
    {9, 9, " N\343o foi localizado na MF o CNPJ/ IE ou IM do usu\341rio."},
    {9, 10, " Vers\343o do Software b\341sico inv\341lida."},

    {13, 1, "Qualquer altera\347\343o do rel\363gio n\343o permitida."},
    {13, 2, "Entrada ou sa\355da de ver\343o n\343o permitida."},
    {13, 3, "Rel\363gio com data/hora anterior ao \372ltimo documento gravado na MFD."},

    {14, 1, "\315ndice de al\355quota de ICMS j\341 existente."},
    {14, 2, "\315ndice de al\355quota de ISSQN j\341 existente."},
    {14, 3, "\315ndice de ISSQN n\343o permitido."},
    {14, 4, "\315ndice de Meio de pagamento j\341 existente."},
    {14, 5, "\315ndice de N\343o Fiscal j\341 existente."},
    {14, 6, "\315ndice de relat\363rio gerencial j\341 existente."},
    {14, 7, "Excedida a quantidade m\341xima."},

    {16, 1, "Falha mec\342nica reportada pela bios"},
    {16, 4, "MFD esgotada"},
    {16, 6, "MFD em falha (n\343o responde)"},
    {16, 8, "MFD n\343o inicializada"},
    {16, 9, "MFD j\341 inicializada"},
    {16, 12, "Erro inicializando MFD"},
    {16, 13, "Faltam par\342metros obrigat\363rios na MF"},
    {16, 15, "Superaquecimento da cabe\347a t\351rmica"},
    {16, 16, "Dados da MT inconsistentes"},
    {16, 19, "Data inv\341lida"},
    {16, 22, "N\343o existem dados no intervalo solicitado"},
    {16, 25, "Senha incorreta"},
    {16, 26, "Casas decimais para quantidade inv\341lida"},
    {16, 27, "Casas decimais para valor unit\341rio inv\341lida"},
    {16, 28, "Tipo de reimpress\343o inv\341lido (1=por Data  2=por COO)"},
    {16, 29, "Encontrado caracter n\343o estamp\341vel"},
    {16, 40, "\315ndice inv\341lido"},
    {16, 41, "\315ndice de pagamento inv\341lido"},
    {16, 47, "N\343o pode utilizar totalizadores de entrada e sa\355da em um mesmo CNF"},
    {16, 51, "Par\342metro n\343o pode ser zero ou estar em branco"},
    {16, 56, "CNPJ inv\341lido"},
    {16, 57, "MF vazia"},
    {16, 58, "Refer\352ncia final inferior a refer\352ncia inicial"},
    {16, 59, "Valores aceitos s\343o 0 ou 1 apenas"},
    {16, 60, "Configura\347\343o permitida apenas imediatamente ap\363s a RZ"},
    {16, 67, "Data informada na RZ n\343o pode ser aceita"},
    {16, 69, "Falha irrecuper\341vel ao ajustar o rel\363gio"},
    {16, 70, "MF esgotada"},
    {16, 71, "Vers\343o do SB gravada na MF incorreta"},
    {16, 73, "Usu\341rio n\343o programado"},
    {16, 74, "Campo admite apenas valores num\351ricos"},
    {16, 75, "Encontrado campo em zero"},
    {16, 76, "Encontrado campo em branco"},
    {16, 77, "Valor da opera\347\343o n\343o pode ser zero"},
    {16, 82, "CF n\343o est\341 aberto"},
    {16, 83, "CNF n\343o est\341 aberto"},
    {16, 84, "CCD/ CCD Estorno n\343o est\341 aberto"},
    {16, 85, "RG n\343o est\341 aberto"},
    {16, 86, "N\343o existe CCD ou RG aberto"},
    {16, 90, "Carga tribut\341ria n\343o programada"},
    {16, 91, "Campo do c\363digo vazio"},
    {16, 92, "Campo de descri\347\343o vazio"},
    {16, 93, "Valor unit\341rio ou quantidade em zero"},
    {16, 94, "Item ainda n\343o foi registrado"},
    {16, 95, "Desconto n\343o pode ser zero"},
    {16, 97, "Item foi cancelado"},
    {16, 98, "Opera\347\343o inibida por configura\347\343o"},
    {16, 99, "Op\347\343o inv\341lida"},
    {16, 100, "Desconto supera valor bruto"},
    {16, 101, "Desconto final resulta em zero"},
    {16, 102, "Valor bruto resulta em zero"},
    {16, 103, "Overflow no valor do item"},
    {16, 104, "Overflow no valor do desconto"},
    {16, 105, "Overflow no valor do documento"},
    {16, 107, "\315tem n\343o teve desconto"},
    {16, 108, "\315tem com desconto"},
    {16, 109, "Utilizado quantidade com mais de 2 decimais"},
    {16, 110, "Utilizado valor unit\341rio com mais de 2 decimais"},
    {16, 111, "Quantidade a cancelar deve ser inferior \340 vendida"},
    {16, 113, "Subtotal n\343o teve desconto"},
    {16, 114, "N\343o em estado de totaliza\347\343o"},
    {16, 115, "N\343o em estado de venda ou totaliza\347\343o"},
    {16, 116, "Permitido apenas 1 desconto e 1 acr\351scimo"},
    {16, 117, "Desconto supera subtotal"},
    {16, 118, "Pagamento n\343o programado"},
    {16, 119, "N\343o em estado de pagamento ou totaliza\347\343o"},
    {16, 126, "Cancelamento n\343o foi poss\355vel"},
    {16, 127, "Informa\347\343o sobre o pagamento n\343o mais dispon\355vel"},
    {16, 128, "Foram emididos CCDs relativos a este pagamento"},
    {16, 129, "RG n\343o programado"},
    {16, 130, "Totalizador N\343o-Fiscal n\343o programado"},
    {16, 131, "Segunda via n\343o dispon\355vel"},
    {16, 132, "J\341 emitiu segunda via"},
    {16, 138, "Totalizador de Sangria e Suprimento inibidos neste CNF"},
    {16, 140, "Rel\363gio est\341 travado"},
    {16, 141, "Usu\341rio sem CNPJ"},
    {16, 142, "Usu\341rio sem IM"},
    {16, 143, "Nova configura\347\343o igual a atual"},
    {16, 146, "Documento especificado n\343o foi encontrado"},
    {16, 149, "S\351culo inv\341lido"},
    {16, 150, "Usu\341rio j\341 programado"},
    {16, 151, "Pagamento j\341 programado"},
    {16, 152, "Totalizador N\343o-Fiscal j\341 programado"},
    {16, 153, "RG j\341 programado"},
    {16, 155, "Atingiu limite de totalizadores de cada tipo"},
    {16, 157, "MFD em falha"},
    {16, 158, "Raz\343o Social excede 40 caracteres"},
    {16, 159, "Nome Fantasia excede 40 caracteres"},
    {16, 160, "Endere\347o excede 120 caracteres"},
    {16, 166, "Efetivado igual ao estornado"},
    {16, 167, "Este s\355mbolo da moeda j\341 est\341 programado"},
    {16, 176, "Informa\347\343o programada \351 a mesma da atual"},
    {16, 177, "Utilize \355ndice de 1 a 5"},
    {16, 178, "Tamanho da imagem inv\341lido"},
    {16, 179, "\332ltima data gravada a mais de 1 m\352s"},
    {16, 180, "Atingido o limite de documentos autorizados"},
    {16, 184, "Op\347\343o deve ser T ou A"},
    {16, 185, "Unidade de medida n\343o encontrada"},
    {16, 194, "Sele\347\343o inv\341lida"},
    {16, 196, "Caracter hexadecimal inv\341lido. Deve ser de 0 a 9 ou A a F"},
    {16, 197, "Chave n\343o carregada"},
    {16, 198, "Chave inv\341lda"},
    {16, 199, "IE inv\341lida"},
    {16, 200, "IM inv\341lida"},
    {16, 201, "N\343o \351 poss\355vel alterar dados"},
    {16, 202, "CPF ou CPNJ inv\341lido"},
    {16, 203, "J\341 foram carregadas 5 chaves p\372blicas do Fisco. N\343o h\341 espa\347o para mais"},
    {16, 204, "Validade do comando expirada"},
    {16, 205, "Comando n\343o permitido"},
    {16, 206, "A execu\347\343o deste comando precisa ser liberada pela senha de entrada em MIL"},
    {16, 207, "Est\341 se tentando enviar um bloco do SB (ou FW da MFD), sem ter iniciado o processo de atualiza\347\343o"},
    {16, 208, "A Assinatura Digital do novo SB enviado n\343o \351 v\341lida"},
    {16, 209, "Falha na atualiza\347\343o do FW da MFD"},
    {16, 210, "N\343o conseguiu baixar nova vers\343o de SB do servidor"},
    {16, 211, "Modo transporte n\343o suportado"},
    {16, 212, "Par\342metros do usu\341rio s\363 podem ser alterados 1 vez"},

    {17, 200, "Erro interno. Aloca\347\343o din\342mica de mem\363ria falhou (ssl)"},
    {17, 201, "Erro interno. Aloca\347\343o din\342mica de mem\363ria falhou (mem)"},
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

const Texts& Converted()
{
    static const Texts texts = [] {
        Texts t;
        for (int c = 1; c <= kLastPrinterClass; ++c) {
            t.titles[c] = kClasses[c].title;
        }
        for (const SentenceRow& row : kSentences) {
            t.sentences.emplace(std::make_pair(row.errClass, row.errDetail), row.sentence);
        }
        t.invalidAnswer = "Resposta inv\341lida!";
        t.noAnswer = "ECF n\343o respondeu";
        t.lineLost = "Porta serial desconectada";
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
