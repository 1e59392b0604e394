// Reading formulas: statements, names, attributes, and every error at its line and column in
// a trader's words; the caps that keep any text harmless.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/formula/Evaluator.h"
#include "chart/formula/Language.h"
#include "chart/formula/Program.h"

using namespace chart::formula;

namespace {

std::vector<std::string> Errors(const std::string& text, const std::vector<Parameter>& parameters = {})
{
    std::vector<std::string> out;
    for (const Diagnostic& d : compile(text, parameters).errors)
        out.push_back(diagnosticText(d));
    return out;
}

std::string FirstError(const std::string& text)
{
    const std::vector<std::string> errors = Errors(text);
    return errors.empty() ? std::string("(none)") : errors.front();
}

const std::vector<OutputSpec>& Outputs(const Compiled& c)
{
    return outputsOf(*c.program);
}

} // namespace

TEST(FormulaLanguage, TheIssuesExample)
{
    const Compiled c = compile("DIF:EMA(CLOSE,12)-EMA(CLOSE,26); DEA:EMA(DIF,9); MACD:(DIF-DEA)*2,COLORSTICK;");
    ASSERT_TRUE(c.ok());
    const auto& outputs = Outputs(c);
    ASSERT_EQ(outputs.size(), 3u);
    EXPECT_EQ(outputs[0].name, "DIF");
    EXPECT_EQ(outputs[1].name, "DEA");
    EXPECT_EQ(outputs[2].name, "MACD");
    EXPECT_EQ(outputs[0].style, Style::Line);
    EXPECT_EQ(outputs[2].style, Style::ColorStick);
    EXPECT_FALSE(outputs[2].colour);
}

TEST(FormulaLanguage, StatementsCommentsAndNames)
{
    const Compiled c = compile("{ 均线差 }\n"
                               "// 两条均线\n"
                               "短:=MA(CLOSE,5); {中间变量不画}\n"
                               "Long : MA(close, 10) ;\n"
                               "短 - long; // 无名输出\n"
                               "dif:short2:=1;");
    // The last statement is wrong ("dif:short2:=1"), the rest is read.
    EXPECT_FALSE(c.ok());
    const Compiled good = compile("{ 均线差 }\n短:=MA(CLOSE,5);\nLong : MA(close, 10) ;\n短 - long; // 无名\n;;");
    ASSERT_TRUE(good.ok());
    const auto& outputs = Outputs(good);
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_EQ(outputs[0].name, "Long");    // as written
    EXPECT_EQ(outputs[1].name, "NONAME2"); // a bare expression, named by its order
}

TEST(FormulaLanguage, AttributesAndColours)
{
    const Compiled c = compile("A:C,COLORSTICK; B:C,colorred,LINETHICK3; D:C,DOTLINE,COLOR00FF80; E:C,NODRAW;"
                               "F:C,STICK,COLORCYAN; G:C,VOLSTICK; K:C,LINESTICK,COLORGRAY; M:C,COLORWHITE;");
    ASSERT_TRUE(c.ok()) << diagnosticText(c.errors.at(0));
    const auto& o = Outputs(c);
    ASSERT_EQ(o.size(), 8u);
    EXPECT_EQ(o[0].style, Style::ColorStick);
    EXPECT_EQ(o[1].style, Style::Line);
    EXPECT_EQ(o[1].colour, (Colour{255, 0, 0}));
    EXPECT_EQ(o[1].thickness, 3);
    EXPECT_EQ(o[2].style, Style::DotLine);
    EXPECT_EQ(o[2].colour, (Colour{0x80, 0xFF, 0x00})); // COLORBBGGRR
    EXPECT_EQ(o[3].style, Style::NoDraw);
    EXPECT_EQ(o[4].style, Style::Stick);
    EXPECT_EQ(o[4].colour, (Colour{0, 255, 255}));
    EXPECT_EQ(o[5].style, Style::VolStick);
    EXPECT_EQ(o[6].style, Style::LineStick);
    EXPECT_EQ(o[6].colour, (Colour{128, 128, 128}));
    EXPECT_EQ(o[7].colour, (Colour{255, 255, 255}));
    for (const char* colour : {"COLORGREEN", "COLORBLUE", "COLORYELLOW", "COLORMAGENTA"})
        EXPECT_TRUE(compile(std::string("A:C,") + colour + ";").ok()) << colour;
}

TEST(FormulaLanguage, EqualOperationsAreComputedOnce)
{
    const Compiled c = compile("A:MA(C,5)+MA(C,5); B:ma(close,5)*2; D:2*3+1;");
    ASSERT_TRUE(c.ok());
    // Close, MA, A and B are all that runs over the candles: nothing twice, and 2*3+1 is 7.
    const auto& nodes = c.program->nodes;
    EXPECT_EQ(std::count_if(nodes.begin(), nodes.end(), [](const Node& n) { return n.op != Op::Const; }), 4);
    EXPECT_EQ(nodes[Outputs(c)[2].node].op, Op::Const);
    EXPECT_DOUBLE_EQ(nodes[Outputs(c)[2].node].value, 7);
}

TEST(FormulaLanguage, ErrorsAtTheirLineAndColumn)
{
    EXPECT_EQ(FirstError("DIF:EMA(CLOSE,12)-EMA(CLOSE,26);\nDEA:DIF*0.55+EMAX(DIF,9);"), "第2行第14列：未知函数 EMAX");
    EXPECT_EQ(FirstError("A:MA(C,5"), "第1行第9列：函数 MA 缺少右括号“)”，这里是 公式结尾");
    EXPECT_EQ(FirstError("A:(C+1;"), "第1行第7列：缺少右括号“)”，这里是 “;”");
    EXPECT_EQ(FirstError("A:C+;"), "第1行第5列：分号“;”前面缺少表达式");
    EXPECT_EQ(FirstError("A:C)"), "第1行第4列：这里缺少分号“;”：上一句在 “)” 之前就该结束");
    EXPECT_EQ(FirstError("A:MA(C);"), "第1行第3列：函数 MA 要 2 个参数，这里有 1 个");
    EXPECT_EQ(FirstError("A:MA(C,5,6);"), "第1行第3列：函数 MA 要 2 个参数，这里有 3 个");
    EXPECT_EQ(FirstError("A:C+XYZ;"), "第1行第5列：未知的名称 XYZ：不是参数、行情数据，也不是前面定义过的变量");
    EXPECT_EQ(FirstError("A:MA+1;"), "第1行第3列：函数 MA 缺少参数：应写作 MA(…)");
    EXPECT_EQ(FirstError("A:C;\nB:A(1);"), "第2行第3列：A 不是函数，后面不能跟括号");
    EXPECT_EQ(FirstError("A:MA(C,REF(C,1));"), "第1行第8列：函数 MA 的第 2 个参数要写数字或参数名，不能随K线变化");
    EXPECT_EQ(FirstError("A:C；"), "第1行第4列：全角符号“；”，请改用半角“;”");
    EXPECT_EQ(FirstError("A：C;"), "第1行第2列：全角符号“：”，请改用半角“:”");
    EXPECT_EQ(FirstError("A:C # 1;"), "第1行第5列：无法识别的字符“#”");
    EXPECT_EQ(FirstError("A:C;\n{ 没有结束\nB:O;"), "第2行第1列：注释没有结束：缺少“}”");
    EXPECT_EQ(FirstError("A:C;}"), "第1行第5列：多余的“}”：注释要以“{”开始");
    EXPECT_EQ(FirstError("A:C;A:O;"), "第1行第5列：名称 A 已经定义过");
    EXPECT_EQ(FirstError("a:C;A:O;"), "第1行第5列：名称 A 已经定义过"); // names are case-insensitive
    EXPECT_EQ(FirstError("CLOSE:C;"), "第1行第1列：CLOSE 是公式语言的保留字，不能用作名称");
    EXPECT_EQ(FirstError("A:=C,COLORRED;"), "第1行第6列：中间变量（:=）不画线，不能带 COLORRED");
    EXPECT_EQ(FirstError("A:C,COLORPINK;"), "第1行第5列：未知的画线方式或颜色 COLORPINK");
    EXPECT_EQ(FirstError("A:C,STICK,NODRAW;"), "第1行第11列：这条线已经有画线方式了，不能再加 NODRAW");
    EXPECT_EQ(FirstError("A:C,1;"), "第1行第5列：逗号后面应是画线方式或颜色（如 COLORSTICK、COLORRED），这里是 “1”");
    EXPECT_EQ(FirstError("A:C+COLORRED;"), "第1行第5列：COLORRED 是画线方式或颜色，应写在一条线的逗号后面");
    EXPECT_EQ(FirstError("A:1.2.3;"), "第1行第6列：数字里多了一个小数点");
    EXPECT_EQ(FirstError(""), "第1行第1列：公式是空的");
    EXPECT_EQ(FirstError("{只有注释}"), "第1行第1列：公式是空的");
    EXPECT_EQ(FirstError("A:=C;\n"), "第2行第1列：公式没有要画的线：用“名称:表达式”写出一条");
    EXPECT_EQ(FirstError("A:C AND;"), "第1行第8列：分号“;”前面缺少表达式");
    EXPECT_EQ(FirstError("A:\xFF;"), "第1行第3列：无法识别的字节（文字不是 UTF-8 编码）");
    // Columns count characters, not bytes.
    EXPECT_EQ(FirstError("均线:MA(C,5)+EMAX(C);"), "第1行第12列：未知函数 EMAX");
    // Line ends of every kind.
    EXPECT_EQ(FirstError("A:C;\r\nB:C;\rD:FOO(1);"), "第3行第3列：未知函数 FOO");
}

TEST(FormulaLanguage, EveryErrorIsReported)
{
    const std::vector<std::string> errors = Errors("A:MA(C);\n"
                                                   "B:FOO(C,1);\n"
                                                   "D:X+1;\n"
                                                   "E:C+;\n"
                                                   "F:MA(C,5);");
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0], "第1行第3列：函数 MA 要 2 个参数，这里有 1 个");
    EXPECT_EQ(errors[1], "第2行第3列：未知函数 FOO");
    EXPECT_EQ(errors[2], "第3行第3列：未知的名称 X：不是参数、行情数据，也不是前面定义过的变量");
    EXPECT_EQ(errors[3], "第4行第5列：分号“;”前面缺少表达式");
    // A name defined in a statement that has an error is still known to the next.
    EXPECT_EQ(Errors("A:FOO(C);\nB:A+1;").size(), 1u);
}

TEST(FormulaLanguage, ParametersByName)
{
    const std::vector<Parameter> p{{"SHORT", 12, 2, 200}, {"Long", 26, 2, 200}, {"中", 9, 2, 200}};
    EXPECT_TRUE(compile("DIF:EMA(CLOSE,short)-EMA(CLOSE,LONG); DEA:EMA(DIF,中);", p).ok());
    EXPECT_EQ(Errors("SHORT:C;", p).at(0), "第1行第1列：名称 SHORT 与参数同名");
    EXPECT_EQ(Errors("A:C;", {{"C", 1, 0, 2}}).at(0), "参数“C”：C 是公式语言的保留字");
    EXPECT_EQ(Errors("A:C;", {{"1N", 1, 0, 2}}).at(0), "参数“1N”：名称只能由字母、数字、下划线和汉字组成，且不以数字开头");
    EXPECT_EQ(Errors("A:C;", {{"N", 1, 0, 2}, {"n", 2, 0, 2}}).at(0), "参数 n 重复");
    EXPECT_EQ(checkName("均线1"), "");
    EXPECT_EQ(checkName("_x"), "");
    EXPECT_NE(checkName(""), "");
    EXPECT_NE(checkName("A B"), "");
    EXPECT_NE(checkName("AND"), "");
    EXPECT_NE(checkName("COLORRED"), "");
    EXPECT_NE(checkName("LINETHICK2"), "");
    EXPECT_NE(checkName("名称；"), "");
}

TEST(FormulaLanguage, CapsKeepAnyTextHarmless)
{
    // Too long: one error, where the cap is passed.
    const std::string longText = "A:C;\n" + std::string(kMaxTextBytes, ' ');
    EXPECT_EQ(FirstError(longText), "第2行第" + std::to_string(kMaxTextBytes - 5 + 1) + "列：公式太长：最多 32768 个字节");
    // Too deep.
    std::string deep = "A:";
    for (int i = 0; i < 200; ++i)
        deep += "(";
    deep += "C";
    for (int i = 0; i < 200; ++i)
        deep += ")";
    EXPECT_NE(FirstError(deep + ";").find("嵌套太深"), std::string::npos);
    EXPECT_NE(FirstError("A:" + std::string(500, '-') + "C;").find("嵌套太深"), std::string::npos);
    EXPECT_NE(FirstError("A:" + [] {
                  std::string s;
                  for (int i = 0; i < 100; ++i)
                      s += "ABS(";
                  return s + "C" + std::string(100, ')');
              }() + ";")
                  .find("嵌套太深"),
              std::string::npos);
    // Sixty deep is fine.
    EXPECT_TRUE(compile("A:" + std::string(60, '(') + "C" + std::string(60, ')') + ";").ok());
    // Too many operations.
    std::string many = "A:C";
    for (int i = 0; i < 800; ++i)
        many += "+" + std::to_string(i);
    EXPECT_NE(FirstError(many + ";").find("公式太复杂"), std::string::npos);
    // A long chain of operations is no deep recursion: it is read in a loop.
    std::string chain = "A:C";
    for (int i = 0; i < 400; ++i)
        chain += "+C*" + std::to_string(i % 7);
    EXPECT_TRUE(compile(chain + ";").ok());
    // Too many lines to draw.
    std::string lines;
    for (int i = 0; i <= int(kMaxOutputs); ++i)
        lines += "L" + std::to_string(i) + ":C+" + std::to_string(i) + ";";
    EXPECT_EQ(FirstError(lines), "第1行第57列：输出线太多：一个公式最多画 8 条线");
    // A text of nothing but mistakes is reported up to a limit.
    EXPECT_LE(Errors(std::string(5000, '#')).size(), 100u);
}
