// The vocabulary: error texts (titles, sentences byte for byte, the fallback rules of each class,
// the link's own conditions and the raw pair), the programs' own texts, and the Windows-1252 to
// UTF-8 conversion used to show them.
#include "vocab/cp1252.h"
#include "vocab/error_text.h"
#include "vocab/search_words.h"
#include "vocab/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <vector>

namespace {

const std::string kSep = "\r\n\r\n";

struct Case {
    int cls;
    int detail;
    const char* text;
};

std::ostream& operator<<(std::ostream& os, const Case& c)
{
    return os << "class " << c.cls << " detail " << c.detail;
}

class ErrorTextExact : public ::testing::TestWithParam<Case> {};

TEST_P(ErrorTextExact, MatchesByteForByte)
{
    EXPECT_EQ(ErrorText(GetParam().cls, GetParam().detail), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(EmptyAndLinkConditions, ErrorTextExact,
                         ::testing::Values(Case {0, 0, ""}, Case {0, 1, ""}, Case {0, 255, ""}, Case {255, 0, ""},
                                           Case {255, 1, "Resposta inv\xE1lida!"},
                                           Case {255, 2, "ECF n\xE3o respondeu"},
                                           Case {255, 3, "Porta serial desconectada"}, Case {255, 4, ""},
                                           Case {255, 255, ""}, Case {255, -1, ""}));

// A detail without a sentence shows its number, also inside a class's list of details.
INSTANTIATE_TEST_SUITE_P(
    NumberedGaps, ErrorTextExact,
    ::testing::Values(Case {1, 0, "<< Comando Inv\xE1lido >>\r\n\r\nErro 0"},
                      Case {4, 3, "<< Erro de contexto >>\r\n\r\nErro 3"},
                      Case {4, 4, "<< Erro de contexto >>\r\n\r\nErro 4"},
                      Case {5, 4, "<<Erro em Cupom Fiscal >>\r\n\r\nErro 4"},
                      Case {7, 10, "<<Erro em Relat\xF3rio Gerencial ou CCD >>\r\n\r\nErro 10"},
                      Case {7, 12, "<<Erro em Relat\xF3rio Gerencial ou CCD >>\r\n\r\nErro 12"},
                      Case {7, 13, "<<Erro em Relat\xF3rio Gerencial ou CCD >>\r\n\r\nErro 13"},
                      Case {16, 2, "<< Erro ECF>>\r\n\r\nErro 2"}, Case {16, 213, "<< Erro ECF>>\r\n\r\nErro 213"},
                      Case {16, 255, "<< Erro ECF>>\r\n\r\nErro 255"},
                      Case {17, 1, "<< Erro Interno >>\r\n\r\nErro 1"},
                      Case {2, -7, "<< Erro em par\xE2metro do comando >>\r\n\r\nErro -7"}));

INSTANTIATE_TEST_SUITE_P(TitleAlone, ErrorTextExact,
                         ::testing::Values(Case {10, 0, "<< Cheque/CMC-7 >>"}, Case {10, 1, "<< Cheque/CMC-7 >>"},
                                           Case {10, 2, "<< Cheque/CMC-7 >>\r\n\r\nErro 2"},
                                           Case {12, 0, "<< Sem Papel >>"}, Case {12, 1, "<< Sem Papel >>"},
                                           Case {12, 2, "<< Sem Papel >>\r\n\r\nErro 2"},
                                           Case {15, 0, "<< Protocolo >>"}, Case {15, 1, "<< Protocolo >>"},
                                           Case {15, 2, "<< Protocolo >>\r\n\r\nErro 2"},
                                           Case {11, 0, "<< Autentica\xE7\xE3o >>"},
                                           Case {11, 1, "<< Autentica\xE7\xE3o >>\r\n\r\nErro 1"},
                                           Case {10, -1, "<< Cheque/CMC-7 >>\r\n\r\nErro -1"}));

INSTANTIATE_TEST_SUITE_P(RawPair, ErrorTextExact,
                         ::testing::Values(Case {18, 4, "<< Erro >>\r\n\r\nCat: 18\r\nRet: 4"},
                                           Case {254, 0, "<< Erro >>\r\n\r\nCat: 254\r\nRet: 0"},
                                           Case {256, 1, "<< Erro >>\r\n\r\nCat: 256\r\nRet: 1"},
                                           Case {-1, -2, "<< Erro >>\r\n\r\nCat: -1\r\nRet: -2"},
                                           Case {INT32_MIN, INT32_MAX,
                                                 "<< Erro >>\r\n\r\nCat: -2147483648\r\nRet: 2147483647"}));

INSTANTIATE_TEST_SUITE_P(
    Sentences, ErrorTextExact,
    ::testing::Values(
        Case {1, 1,
              "<< Comando Inv\xE1lido >>\r\n\r\nO comando enviado para a impressora n\xE3o existe no Software "
              "B\xE1sico."},
        Case {2, 6, "<< Erro em par\xE2metro do comando >>\r\n\r\nData inicial maior que Data final."},
        Case {5, 6,
              "<<Erro em Cupom Fiscal >>\r\n\r\nComando enviado n\xE3o pode ser executado, pois o ECF est\xE1 em "
              "repouso."},
        Case {6, 3,
              "<< Erro em Comprovante N\xE3o Fiscal >>\r\n\r\nComando enviado n\xE3o pode ser executado, pois "
              "existe um Comprovante de Cr\xE9"
              "dito ou D\xE9"
              "bito aberto."},
        Case {7, 11,
              "<<Erro em Relat\xF3rio Gerencial ou CCD >>\r\n\r\nLimite m\xE1ximo de CCD\x92s por cupom foi "
              "excedido."},
        Case {8, 1, "<< Erro em Redu\xE7\xE3o Z >>\r\n\r\n Redu\xE7\xE3o Z pendente ou j\xE1 realizada na data."},
        Case {9, 10, "<< Integridade >>\r\n\r\n Vers\xE3o do Software b\xE1sico inv\xE1lida."},
        Case {13, 3,
              "<< Rel\xF3gio >>\r\n\r\nRel\xF3gio com data/hora anterior ao \xFAltimo documento gravado na MFD."},
        Case {14, 1, "<< Programa\xE7\xE3o >>\r\n\r\n\xCDndice de al\xEDquota de ICMS j\xE1 existente."},
        Case {16, 28, "<< Erro ECF>>\r\n\r\nTipo de reimpress\xE3o inv\xE1lido (1=por Data  2=por COO)"},
        Case {16, 128, "<< Erro ECF>>\r\n\r\nForam emididos CCDs relativos a este pagamento"},
        Case {16, 179, "<< Erro ECF>>\r\n\r\n\xDAltima data gravada a mais de 1 m\xEAs"},
        Case {16, 198, "<< Erro ECF>>\r\n\r\nChave inv\xE1lda"},
        Case {16, 202, "<< Erro ECF>>\r\n\r\nCPF ou CPNJ inv\xE1lido"},
        Case {16, 212, "<< Erro ECF>>\r\n\r\nPar\xE2metros do usu\xE1rio s\xF3 podem ser alterados 1 vez"},
        Case {17, 200,
              "<< Erro Interno >>\r\n\r\nErro interno. Aloca\xE7\xE3o din\xE2mica de mem\xF3ria falhou (ssl)"}));

// The sentence after the separator, or "" for the number and title-alone forms.
std::string SentenceOf(int cls, int detail)
{
    const std::string text = ErrorText(cls, detail);
    const auto sep = text.find(kSep);
    if (sep == std::string::npos ||
        text.compare(sep + kSep.size(), std::string::npos, "Erro " + std::to_string(detail)) == 0) {
        return {};
    }
    return text.substr(sep + kSep.size());
}

TEST(ErrorTextTable, HoldsExactly179SentencesWithTheirClassesPunctuation)
{
    const std::map<int, int> expected {{1, 1}, {2, 4}, {3, 1},  {4, 5},  {5, 13},   {6, 12}, {7, 10},
                                       {8, 1}, {9, 4}, {13, 3}, {14, 7}, {16, 116}, {17, 2}};
    std::map<int, int> counted;
    int total = 0;
    for (int cls = 1; cls <= 17; ++cls) {
        for (int detail = 0; detail <= 255; ++detail) {
            const std::string s = SentenceOf(cls, detail);
            if (s.empty()) {
                continue;
            }
            SCOPED_TRACE(::testing::Message() << "class " << cls << " detail " << detail);
            ++counted[cls];
            ++total;
            EXPECT_EQ(s.front() == ' ', cls == 8 || cls == 9);
            EXPECT_EQ(s.back() == '.', cls <= 14);
            EXPECT_EQ(s.find_first_of("\r\n?"), std::string::npos);
            EXPECT_EQ(Cp1252ToUtf8(s).find("\xEF\xBF\xBD"), std::string::npos);
        }
    }
    EXPECT_EQ(total, 179);
    EXPECT_EQ(counted, expected);
}

// FNV-1a over every text of classes 1 to 17, details 0 to 255, in order, taken from the
// reviewed table: any changed byte of a title or sentence shows here.
TEST(ErrorTextTable, EveryPrinterTextMatchesTheReviewedFingerprint)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    std::size_t length = 0;
    for (int cls = 1; cls <= 17; ++cls) {
        for (int detail = 0; detail <= 255; ++detail) {
            for (const char c : ErrorText(cls, detail)) {
                hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
                ++length;
            }
        }
    }
    EXPECT_EQ(length, 151808u);
    EXPECT_EQ(hash, 0xc724e4d7f271f213ULL);
}

// Classes 5, 6 and 7 share sentences, each under its own detail number.
TEST(ErrorTextTable, SharedSentencesKeepEachClasssNumbering)
{
    struct Same {
        int clsA, detailA, clsB, detailB;
    };
    const Same same[] = {{5, 1, 6, 1}, {5, 1, 7, 1},   {5, 2, 7, 2},   {5, 3, 7, 3},   {6, 5, 7, 5},  {5, 8, 6, 7},
                         {5, 9, 6, 8}, {5, 11, 6, 10}, {5, 12, 6, 11}, {5, 13, 6, 12}, {5, 14, 6, 13}};
    for (const Same& s : same) {
        SCOPED_TRACE(::testing::Message() << s.clsA << "/" << s.detailA << " vs " << s.clsB << "/" << s.detailB);
        EXPECT_FALSE(SentenceOf(s.clsA, s.detailA).empty());
        EXPECT_EQ(SentenceOf(s.clsA, s.detailA), SentenceOf(s.clsB, s.detailB));
    }
    EXPECT_NE(SentenceOf(5, 6), SentenceOf(6, 6));
    EXPECT_NE(SentenceOf(5, 6), SentenceOf(7, 6));
    EXPECT_EQ(SentenceOf(7, 4), "");
}

TEST(Cp1252ToUtf8, ConvertsLettersAndTypographicBytes)
{
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"", ""},
        {"Erro 12\r\n", "Erro 12\r\n"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"\xE1\xE7\xE3\xC9\xCD\xDA", "áçãÉÍÚ"},
        {"CCD\x92s", "CCD’s"},
        {"\x80\x9F\x91\x93\x96", "€Ÿ‘“–"},
        {"\xA0\xFF", "\u00A0ÿ"},
        {"\x81\x8D\x8F\x90\x9D", "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        EXPECT_EQ(Cp1252ToUtf8(c.in), c.out);
    }
}

TEST(Cp1252ToUtf8, GivesDistinctCharactersForEveryDefinedHighByte)
{
    std::set<std::string> seen;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
        if (utf8 != "\uFFFD") {
            EXPECT_TRUE(seen.insert(utf8).second) << std::hex << b;
        }
    }
    EXPECT_EQ(seen.size(), 123u);
}

// A name that the system gives, into a status text: what the code page lacks or no UTF-8 is, is one
// mark per character, and the rest stays whole.
TEST(Utf8ToCp1252Text, MarksWhatHasNoFormOncePerCharacter)
{
    EXPECT_EQ(Utf8ToCp1252Text("Porta Serial USB – ção"), "Porta Serial USB \x96 \xE7\xE3o");
    EXPECT_EQ(Utf8ToCp1252Text("a\U0001F600b\u4E2Dc"), "a?b?c");
    EXPECT_EQ(Utf8ToCp1252Text(std::string("a\x80\xBF") + "b\xC3"), "a?b?");
}

TEST(Cp1252ToUtf8, ShowsAnErrorTextInUtf8)
{
    EXPECT_EQ(Cp1252ToUtf8(ErrorText(7, 11)),
              "<<Erro em Relatório Gerencial ou CCD >>\r\n\r\nLimite máximo de CCD’s por cupom foi excedido.");
}

}  // namespace

// ---- The programs' own texts ---------------------------------------------------------------

// The turn of the programs' texts into Windows-1252 at compile time: every character that the
// code page has comes back as its byte; anything else stops the build.
TEST(ProgramTexts, TurnEveryWindows1252CharacterIntoItsByteAndNothingElse)
{
    for (int b = 1; b <= 0xFF; ++b) {
        const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
        char out[4] = {};
        const size_t length = Utf8ToCp1252(utf8, out);
        if (utf8 == "\uFFFD")
            EXPECT_EQ(length, kNoCp1252Form) << std::hex << b;
        else
            EXPECT_EQ(std::string(out, length), std::string(1, static_cast<char>(b))) << std::hex << b;
    }
    // An arrow, an emoji, a C1 control, a lone continuation byte, a cut sequence, an overlong form.
    for (const std::string utf8 :
         {"\u2192", "\U0001F600", "\u0081", "a\x80", "\xC3", "\xE2\x82", "\xE0\x81\xA1"}) {
        char out[8] = {};
        EXPECT_EQ(Utf8ToCp1252(utf8, out), kNoCp1252Form) << utf8;
    }
    EXPECT_EQ(std::string("Há {count}… CCD’s"_cp1252), "H\xE1 {count}\x85 CCD\x92s");
    EXPECT_EQ(Cp1252ToUtf8(kNoPortAvailableText), "Nenhuma porta disponível: {note}");
    EXPECT_TRUE(NamesOnlyKnownFacts("{port}: {holder}"));
    for (const char* text : {"{prot}", "{port", "}{", "{}"})
        EXPECT_FALSE(NamesOnlyKnownFacts(text)) << text;
}

TEST(ProgramTexts, FillInPutsEachFactOnceAndLeavesTheRestAlone)
{
    const struct {
        std::string text;
        std::string filled;
    } rows[] = {
        {"em uso por {holder}", "em uso por {code} (pid 7)"},  // a value is never read for keys
        {"{code}{code}", "1616"},
        {"{unknown} {code}", "{unknown} 16"},
        {"sem fim {code", "sem fim {code"},
        {"}{", "}{"},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FillIn(row.text, {{"holder", "{code} (pid 7)"}, {"code", "16"}}), row.filled) << row.text;
    EXPECT_EQ(Counted(1, kPortsTriedWords), "1 porta tentada");
    EXPECT_EQ(Counted(0, kPortsTriedWords), "0 portas tentadas");
    for (const auto& [value, grouped] :
         {std::pair<int64_t, std::string> {999, "999"}, {12000, "12.000"}, {-1250, "-1.250"}, {-125, "-125"}})
        EXPECT_EQ(GroupedDigits(value), grouped);
}
