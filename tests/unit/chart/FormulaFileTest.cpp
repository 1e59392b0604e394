// The trader's formulas kept in the settings folder, and one formula as a text file: what is
// written reads back the same, a broken file is named and left as it is, and the checks
// that keep a formula from being saved.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/formula/Definition.h"

using namespace chart::formula;

namespace {

class TempDir
{
public:
    TempDir()
    {
        m_path = std::filesystem::temp_directory_path()
                 / ("velmora-formulas-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-"
                    + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

Definition Mine()
{
    return {"我的MACD", "短线用，参数调小了 {试用}", Placement::Oscillator,
            {{"SHORT", 6, 2, 200}, {"LONG", 13, 2, 200}, {"MID", 5, 2, 100}},
            "DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\nDEA:EMA(DIF,MID);\nMACD:(DIF-DEA)*2,COLORSTICK;\n"};
}

Definition Overlay()
{
    return {"HL", "", Placement::Overlay, {{"N", 0.5, 0, 1}}, "A:HHV(H,3)*N+LLV(L,3)*(1-N),COLORYELLOW;"};
}

} // namespace

TEST(FormulaFile, WrittenFormulasReadBack)
{
    TempDir dir;
    EXPECT_TRUE(readFormulas(dir.path()).formulas.empty());
    EXPECT_TRUE(readFormulas(dir.path()).failed.empty()); // missing: quietly none
    const std::vector<Definition> formulas{Mine(), Overlay()};
    ASSERT_TRUE(writeFormulas(dir.path(), formulas));
    const FormulaFileRead read = readFormulas(dir.path());
    EXPECT_TRUE(read.failed.empty());
    EXPECT_EQ(read.formulas, formulas);
    // Plain UTF-8 JSON: the Chinese as written, readable in any editor.
    const std::string bytes = ReadAll(dir.path() / kFormulaFile);
    EXPECT_NE(bytes.find("我的MACD"), std::string::npos);
    EXPECT_NE(bytes.find("\"placement\" : \"overlay\""), std::string::npos);
    EXPECT_EQ(parseFormulaFile(formulaFileText({})), std::vector<Definition>{});
}

TEST(FormulaFile, ABrokenFileIsNamedAndLeftAsItIs)
{
    TempDir dir;
    const std::filesystem::path file = dir.path() / kFormulaFile;
    const std::string good = formulaFileText(std::vector<Definition>{Mine()});
    for (const std::string& bytes :
         {std::string("not json"), std::string("[]"), std::string("{}"), std::string("{\"formulas\":{}}"),
          std::string("{\"formulas\":[{\"name\":\"A\"}]}"),                          // no text
          std::string("{\"formulas\":[{\"name\":\"\",\"text\":\"A:C;\"}]}"),         // no name
          std::string("{\"formulas\":[{\"name\":\"MACD\",\"text\":\"A:C;\"}]}"),     // a built-in's name
          std::string("{\"formulas\":[{\"name\":\"A\",\"text\":\"A:C;\"},{\"name\":\"a\",\"text\":\"B:C;\"}]}"),
          std::string("{\"formulas\":[{\"name\":\"A\",\"text\":\"A:C;\",\"placement\":\"below\"}]}"),
          std::string("{\"formulas\":[{\"name\":\"A\",\"text\":\"A:C;\",\"parameters\":[{\"name\":\"N\","
                      "\"default\":\"5\",\"min\":1,\"max\":9}]}]}"),
          std::string("{\"formulas\":[{\"name\":\"A\",\"text\":\"A:C;\",\"parameters\":[{\"name\":\"N\","
                      "\"default\":1e999,\"min\":1,\"max\":9}]}]}"),
          good.substr(0, good.size() / 2), std::string(1 << 20, '[')}) {
        WriteAll(file, bytes);
        const FormulaFileRead read = readFormulas(dir.path());
        EXPECT_EQ(read.failed, file) << bytes.substr(0, 80);
        EXPECT_TRUE(read.formulas.empty());
        EXPECT_EQ(ReadAll(file), bytes);
    }
    // A folder of that name, or a file over the cap.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_EQ(readFormulas(dir.path()).failed, file);
    std::filesystem::remove(file);
    WriteAll(file, std::string(kMaxFormulaFileBytes + 1, ' '));
    EXPECT_EQ(readFormulas(dir.path()).failed, file);
    const std::string message = formulaFileProblemText(file);
    EXPECT_NE(message.find(file.string()), std::string::npos);
    EXPECT_NE(message.find("公式文件"), std::string::npos);
    // A formula whose text has errors is kept: the editor shows them.
    WriteAll(file, "{\"formulas\":[{\"name\":\"A\",\"text\":\"A:EMAX(C);\"}]}");
    const FormulaFileRead read = readFormulas(dir.path());
    EXPECT_TRUE(read.failed.empty());
    ASSERT_EQ(read.formulas.size(), 1u);
    EXPECT_EQ(read.formulas[0].placement, Placement::Oscillator);
    EXPECT_FALSE(compileDefinition(read.formulas[0]).ok());
}

TEST(FormulaFile, ExportAndImportAsText)
{
    const Definition mine = Mine();
    const std::string text = exportText(mine);
    EXPECT_EQ(text, "{名称:我的MACD}\n"
                    "{说明:短线用，参数调小了 ｛试用｝}\n"
                    "{位置:副图}\n"
                    "{参数:SHORT,6,2,200}\n"
                    "{参数:LONG,13,2,200}\n"
                    "{参数:MID,5,2,100}\n"
                    "DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\nDEA:EMA(DIF,MID);\nMACD:(DIF-DEA)*2,COLORSTICK;\n");
    EXPECT_EQ(exportText(Overlay()), "{名称:HL}\n{位置:主图}\n{参数:N,0.5,0,1}\nA:HHV(H,3)*N+LLV(L,3)*(1-N),COLORYELLOW;");
    Definition back = importText(text, "whatever");
    EXPECT_EQ(back.name, mine.name);
    EXPECT_EQ(back.description, "短线用，参数调小了 ｛试用｝");
    EXPECT_EQ(back.placement, mine.placement);
    EXPECT_EQ(back.parameters, mine.parameters);
    EXPECT_EQ(back.text, mine.text);
    // The exported file is itself a formula text: its header is comments.
    EXPECT_TRUE(compile(text, mine.parameters).ok());
    const Definition overlay = importText(exportText(Overlay()), "x");
    EXPECT_EQ(overlay, Overlay());

    // A plain text from another terminal: GBK, CR LF, no header; the file's name names it.
    const std::string gbk = "{\xBE\xF9\xCF\xDF}\r\nMA5:MA(CLOSE,5);\r\n"; // {均线}
    const Definition plain = importText(gbk, "均线");
    EXPECT_EQ(plain.name, "均线");
    EXPECT_EQ(plain.placement, Placement::Oscillator);
    EXPECT_TRUE(plain.parameters.empty());
    EXPECT_EQ(plain.text, "{均线}\nMA5:MA(CLOSE,5);\n");
    // Full-width colons and commas in a hand-written header; a parameter without its range.
    const Definition hand = importText("\xEF\xBB\xBF{名称：短线}\n{位置：主图}\n{参数：N，5}\n\nA:MA(C,N);", "f");
    EXPECT_EQ(hand.name, "短线");
    EXPECT_EQ(hand.placement, Placement::Overlay);
    ASSERT_EQ(hand.parameters.size(), 1u);
    EXPECT_EQ(hand.parameters[0], (Parameter{"N", 5, 0, 1000}));
    EXPECT_EQ(hand.text, "\nA:MA(C,N);");
    EXPECT_EQ(exportFileName(Definition{"a/b:c*?", "", {}, {}, ""}), "a_b_c__.txt");
    EXPECT_EQ(exportFileName(Definition{"..", "", {}, {}, ""}), "formula.txt");
    // Anything at all imports to something the editor can show.
    const Definition junk = importText(std::string("\0\xFF{名称:\n", 12), "");
    EXPECT_TRUE(junk.text.size() <= kMaxTextBytes);
}

TEST(FormulaFile, WhatKeepsAFormulaFromBeingSaved)
{
    const auto messages = [](const Definition& d, std::vector<std::string> others = {}) {
        std::vector<std::string> out;
        for (const Diagnostic& p : checkDefinition(d, others))
            out.push_back(diagnosticText(p));
        return out;
    };
    EXPECT_TRUE(messages(Mine()).empty());
    Definition d = Mine();
    d.name = "";
    EXPECT_EQ(messages(d).at(0), "公式名称是空的");
    d.name = "macd";
    EXPECT_EQ(messages(d).at(0), "公式名称 macd 是内置指标的名称");
    d.name = "Mine";
    EXPECT_EQ(messages(d, {"mine"}).at(0), "已经有名为 Mine 的公式");
    d.name = "a{b}";
    EXPECT_EQ(messages(d).at(0), "公式名称不能含有控制字符和大括号");
    d = Mine();
    d.parameters[0].value = 300;
    EXPECT_EQ(messages(d).at(0), "参数 SHORT：缺省值 300 不在 2 到 200 之间");
    d = Mine();
    d.parameters[1].minimum = 500;
    EXPECT_EQ(messages(d).at(0), "参数 LONG：最小值 500 大于最大值 200");
    d = Mine();
    d.parameters[2].name = "DIF";
    EXPECT_EQ(messages(d).at(0), "第1行第1列：名称 DIF 与参数同名");
    d = Mine();
    d.parameters.resize(7, Parameter{"X", 1, 0, 2});
    EXPECT_EQ(messages(d).at(0), "参数太多：最多 6 个");
    d = Mine();
    d.text = "DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\nDEA:DIF*0.55+EMAX(DIF,9);";
    EXPECT_EQ(messages(d), (std::vector<std::string>{"第2行第14列：未知函数 EMAX"}));
    EXPECT_EQ(numberText(12), "12");
    EXPECT_EQ(numberText(0.5), "0.5");
    EXPECT_EQ(numberText(-2.25), "-2.25");
}
