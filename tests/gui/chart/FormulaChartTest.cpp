// The trader's formulas on the K-line and in their windows: a formula drawn under the candles or
// over them with its legend at the cross-hair, polls that draw what a whole load draws; the
// manager's built-ins read-only and copyable, new, edit, delete, import and export; and a
// formula written in the editor, tested, saved and chosen from the chart's menu, its line
// under the candles.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>

#include "ChartData.h"
#include "ChartHost.h"
#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "chart/CandleChart.h"
#include "chart/ChartLegend.h"
#include "chart/FormulaBook.h"
#include "chart/FormulaEditorDlg.h"
#include "chart/FormulaManagerDlg.h"
#include "chart/FormulaPlot.h"
#include "chart/IndicatorActions.h"
#include "chart/IndicatorSettings.h"
#include "chart/MarketCharts.h"
#include "chart/formula/Definition.h"
#include "platform/Dialogs.h"
#include "support/Pixels.h"

using namespace chart;
using testsupport::CountColour;

namespace {

const QColor kYellow(255, 255, 0);
const QColor kCyan(0, 255, 255);

formula::Definition Oscillating()
{
    return {"快慢线", "收盘价的快线和慢线之差", formula::Placement::Oscillator, {{"N", 5, 2, 100}},
            "快:=EMA(CLOSE,N);\n慢:=EMA(CLOSE,N*4);\nDIFF:快-慢,COLORYELLOW;\nBAR:(快-慢)*2,COLORSTICK;"};
}

formula::Definition Overlay()
{
    return {"通道", "", formula::Placement::Overlay, {{"N", 10, 2, 100}},
            "UP:HHV(HIGH,N),COLORCYAN;\nDN:LLV(LOW,N),COLORCYAN,DOTLINE;\nMIDDLE:(UP+DN)/2,NODRAW;"};
}

IndicatorChoice Choosing(const formula::Definition& d)
{
    IndicatorChoice c;
    c.formula = d.name;
    return c;
}

const CSubArea& Area(CandleChart& c, const char* name)
{
    return *c.control().withCanvas([&](ChartCanvas& canvas) { return canvas.findSubArea(name); });
}

std::vector<std::string> LegendTexts(const CandleChart& chart, const std::string& area, int index = -1)
{
    std::vector<std::string> texts;
    const auto rows = chart.control().withCanvas([&](ChartCanvas& c) {
        return legendRows(c, index < 0 ? legendIndex(c, 0) : index);
    });
    for (const LegendRow& row : rows)
        if (row.area->Name() == area)
            for (const LegendItem& item : row.items)
                texts.push_back(item.text);
    return texts;
}

QRect Band(const CSubArea& a)
{
    return QRect(a.Left(), a.Top(), a.Width() - CSubArea::kRightMargin, a.Height());
}

template <class T>
T* Named(QObject* parent, const char* name)
{
    return parent->findChild<T*>(QString::fromLatin1(name));
}

QAction* Action(QMenu* menu, const QString& name)
{
    for (QAction* a : menu->actions())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

class FormulaChartTest final : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_host.open()); }
    void cleanup()
    {
        m_host.close();
        platform::setOpenFileHandler({});
        platform::setSaveFileHandler({});
    }

    void aFormulaTakesTheOscillatorAreaWithItsLegend()
    {
        const std::string reply = CandleReply(300);
        CandleChart* chart = m_host.candles(IndicatorChoice{});
        QVERIFY(chart->load(reply, 8, 80));
        QCOMPARE(Area(*chart, "I").Height(), 0);
        const formula::Definition d = Oscillating();
        chart->setIndicators(Choosing(d), &d);
        const CSubArea& i = Area(*chart, "I");
        const int h = ChartHost::kChartRect.height();
        QCOMPARE(i.Height(), CandleChart::kOscillatorPercent * h / 100);
        const QImage img = chart->control().Snapshot();
        QVERIFY(CountColour(img, Band(i), kYellow) > 100);                    // the line
        QVERIFY(CountColour(img, Band(i), toQColor(kCandleRise)) > 20);       // bars above zero
        QVERIFY(CountColour(img, Band(i), toQColor(kCandleFall)) > 20);       // and below
        QCOMPARE(CountColour(img, Band(Area(*chart, "N")), kYellow), 0);      // nothing over the candles
        const std::vector<std::string> legend = LegendTexts(*chart, "I");
        QCOMPARE(int(legend.size()), 3);
        QCOMPARE(legend[0], std::string("快慢线(5)"));
        QVERIFY(legend[1].rfind("DIFF:", 0) == 0 && legend[1] != "DIFF:--");
        QVERIFY(legend[2].rfind("BAR:", 0) == 0);
        SaveIfAsked(chart->control().grab().toImage(), "kline-formula.png");

        // Put away, the chart is the one that never had it, pixel for pixel.
        chart->setIndicators(IndicatorChoice{});
        CandleChart* fresh = m_host.candles(IndicatorChoice{});
        QVERIFY(fresh->load(reply, 8, 80));
        QCOMPARE(chart->control().Snapshot(), fresh->control().Snapshot());
    }

    void anOverlayFormulaIsDrawnOverTheCandlesOnTheirScale()
    {
        const std::string reply = CandleReply(300);
        CandleChart* plain = m_host.candles(IndicatorChoice{});
        QVERIFY(plain->load(reply, 8, 80));
        const formula::Definition d = Overlay();
        CandleChart* chart = m_host.candles(IndicatorChoice{});
        chart->setIndicators(Choosing(d), &d);
        QVERIFY(chart->load(reply, 8, 80));
        const CSubArea& n = Area(*chart, "N");
        QCOMPARE(n.Scale().max, Area(*plain, "N").Scale().max); // an overlay takes no part in the scale
        QCOMPARE(Area(*chart, "I").Height(), 0);
        QVERIFY(CountColour(chart->control().Snapshot(), Band(n), kCyan) > 200);
        const std::vector<std::string> legend = LegendTexts(*chart, "N");
        // The averages first, then the formula: its NODRAW line is in the legend only.
        const auto at = std::find(legend.begin(), legend.end(), std::string("通道(10)"));
        QVERIFY(at != legend.end());
        QCOMPARE(int(legend.end() - at), 4);
        QVERIFY(at[3].rfind("MIDDLE:", 0) == 0);
    }

    void everyDrawingStyleDraws()
    {
        const std::string reply = CandleReply(200);
        formula::Definition d{"样式", "", formula::Placement::Oscillator, {},
                              "A:V,VOLSTICK;\n"
                              "B:(C-MA(C,10))*500,STICK,COLORMAGENTA;\n"
                              "D:(C-MA(C,20))*500,LINESTICK,COLORGREEN;\n"
                              "E:(C-MA(C,5))*500,DOTLINE,COLORRED;\n"
                              "F:C*1000000,NODRAW;"};
        CandleChart* chart = m_host.candles(IndicatorChoice{});
        chart->setIndicators(Choosing(d), &d);
        QVERIFY(chart->load(reply, 8, 80));
        const CSubArea& i = Area(*chart, "I");
        const QImage img = chart->control().Snapshot();
        QVERIFY(CountColour(img, Band(i), toQColor(kVolumeUp)) > 100);   // hollow bars of rising candles
        QVERIFY(CountColour(img, Band(i), toQColor(kVolumeDown)) > 100); // filled bars of falling ones
        QVERIFY(CountColour(img, Band(i), QColor(255, 0, 255)) > 50);
        QVERIFY(CountColour(img, Band(i), QColor(0, 255, 0)) > 50);
        QVERIFY(CountColour(img, Band(i), QColor(255, 0, 0)) > 20);
        // A NODRAW line is in the legend only: it does not stretch the scale.
        QVERIFY(i.Scale().max < 1000000);
        const std::vector<std::string> legend = LegendTexts(*chart, "I");
        QCOMPARE(int(legend.size()), 6);
        QVERIFY(legend[5].rfind("F:", 0) == 0 && legend[5] != "F:--");
        SaveIfAsked(chart->control().grab().toImage(), "kline-formula-styles.png");
    }

    void aFormulaThatDoesNotReadDrawsNothing()
    {
        formula::Definition d = Oscillating();
        d.text = "A:EMAX(C,5);";
        CandleChart* chart = m_host.candles(IndicatorChoice{});
        chart->setIndicators(Choosing(d), &d);
        QVERIFY(chart->load(CandleReply(100), 8, 80));
        QCOMPARE(Area(*chart, "I").Height(), 0);
        QVERIFY(LegendTexts(*chart, "I").empty());
    }

    void pollsDrawWhatAWholeLoadDraws()
    {
        std::vector<CandleRecord> records = *parseCandleReply(CandleReply(130, 4));
        const auto reply = [&] {
            std::string s = "{\"success\":\"true\",\"msg\":\"\",\"infor\":[";
            for (std::size_t i = 0; i < records.size(); ++i) {
                const CandleRecord& r = records[i];
                char rec[256];
                std::snprintf(rec, sizeof rec,
                              "%s{\"startPrice\":%.2f,\"endPrice\":%.2f,\"maxPrice\":%.2f,\"minPrice\":%.2f,"
                              "\"time\":%d,\"vol\":%lld}",
                              i ? "," : "", r.open, r.close, r.high, r.low, r.time, static_cast<long long>(r.vol));
                s += rec;
            }
            return s + "]}";
        };
        for (const formula::Definition& d : {Oscillating(), Overlay()}) {
            CandleChart* polled = m_host.candles(IndicatorChoice{});
            polled->setIndicators(Choosing(d), &d);
            QVERIFY(polled->load(reply(), 8, 80));
            const double mid = (Area(*polled, "N").Scale().max + Area(*polled, "N").Scale().min) / 2;
            const std::function<void()> edits[] = {
                [&] {
                    records.back().close = mid + 0.1;
                    records.back().high = std::max(records.back().high, mid + 0.2);
                },
                [&] {
                    CandleRecord next = records.back();
                    next.time += 86400;
                    next.open = next.close = mid;
                    next.high = mid + 0.1;
                    next.low = mid - 0.1;
                    records.push_back(next);
                },
                [&] { records.resize(records.size() - 3); },
            };
            for (const auto& edit : edits) {
                edit();
                QVERIFY(polled->load(reply(), 8, 80));
                CandleChart* whole = m_host.candles(IndicatorChoice{});
                whole->setIndicators(Choosing(d), &d);
                QVERIFY(whole->load(reply(), 8, 80));
                QVERIFY(polled->control().Snapshot() == whole->control().Snapshot());
                QCOMPARE(LegendTexts(*polled, "I"), LegendTexts(*whole, "I"));
            }
        }
    }

    void theManagerShowsTheBuiltInsReadOnlyAndCopiesThem()
    {
        QTemporaryDir dir;
        FormulaBook book(dir.path().toStdString());
        QVERIFY(book.load().empty());
        FormulaManagerDlg manager(book, m_host.window());
        manager.showFormulas();
        QVERIFY(manager.select("MACD", true));
        const QString shown = manager.textView()->toPlainText();
        QVERIFY(shown.contains(QStringLiteral("DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);")));
        QVERIFY(shown.contains(QStringLiteral("{参数:SHORT,12,2,200}")));
        QVERIFY(manager.textView()->isReadOnly());
        QVERIFY(!Named<QPushButton>(&manager, "editFormula")->isEnabled());
        QVERIFY(!Named<QPushButton>(&manager, "deleteFormula")->isEnabled());
        QVERIFY(Named<QPushButton>(&manager, "copyFormula")->isEnabled());
        // Copied into a new one: it has to be named apart from the built-in.
        QTest::mouseClick(Named<QPushButton>(&manager, "copyFormula"), Qt::LeftButton);
        FormulaEditorDlg* editor = manager.editor();
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->nameEdit()->text(), QStringLiteral("MACD2"));
        QCOMPARE(editor->parameterTable()->item(0, 0)->text(), QStringLiteral("SHORT"));
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QVERIFY(book.find("MACD2"));
        QVERIFY(ReadAll(book.file()).find("MACD2") != std::string::npos);
        QVERIFY(manager.selected() && !manager.selected()->builtin);
        QCOMPARE(manager.selected()->definition.name, std::string("MACD2"));

        // Exported and imported back as a new one.
        const QString exported = dir.filePath(QStringLiteral("MACD2.txt"));
        QString offered;
        platform::setSaveFileHandler([&](const platform::SaveFileCall& call) {
            offered = call.defaultName;
            return exported;
        });
        QTest::mouseClick(Named<QPushButton>(&manager, "exportFormula"), Qt::LeftButton);
        QCOMPARE(offered, QStringLiteral("MACD2.txt"));
        QCOMPARE(QString::fromStdString(ReadAll(exported.toStdString())),
                 QString::fromStdString(formula::exportText(*book.find("MACD2"))));
        platform::setOpenFileHandler([&](const platform::OpenFileCall&) { return exported; });
        QTest::mouseClick(Named<QPushButton>(&manager, "importFormula"), Qt::LeftButton);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->nameEdit()->text(), QStringLiteral("MACD3")); // MACD2 is taken
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
        QVERIFY(book.find("MACD3"));
        QCOMPARE(book.find("MACD3")->text, book.find("MACD2")->text);

        // Deleted after the question.
        platform::MessageBoxRecorder answers(platform::MsgResult::Yes);
        QVERIFY(manager.select("MACD2", false));
        QTest::mouseClick(Named<QPushButton>(&manager, "deleteFormula"), Qt::LeftButton);
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("是否删除公式 MACD2？")});
        QVERIFY(!book.find("MACD2"));
        QCOMPARE(formula::readFormulas(dir.path().toStdString()).formulas.size(), std::size_t(1));
    }

    void aBrokenFormulasFileIsNamedOnceAndLeftAsItIs()
    {
        QTemporaryDir dir;
        const std::filesystem::path file = std::filesystem::path(dir.path().toStdString()) / formula::kFormulaFile;
        std::ofstream(file) << "{\"formulas\": [ broken";
        platform::MessageBoxRecorder boxes;
        MarketCharts charts;
        QVERIFY(charts.Create(m_host.window(), ChartHost::kChartRect, 80, dir.path().toStdString()));
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY(boxes.texts()[0].contains(QStringLiteral("公式文件")));
        QVERIFY(boxes.texts()[0].contains(QString::fromStdString(file.string())));
        QCOMPARE(ReadAll(file), std::string("{\"formulas\": [ broken"));
        QVERIFY(charts.indicators()->formulaManagerAction());
    }

    // The test: a trader writes a formula, tests it, saves it and sees its line under
    // the candles, chosen from the chart's menu as an oscillator is.
    void aTraderWritesTestsSavesAndChartsAFormula()
    {
        QTemporaryDir dir;
        platform::MessageBoxRecorder boxes;
        MarketCharts charts;
        QVERIFY(charts.Create(m_host.window(), ChartHost::kChartRect, 80, dir.path().toStdString()));
        PeriodBar::Flags flags{};
        charts.showCandles(flags);
        QVERIFY(charts.LoadCandles(CandleReply(200), 8));
        CandleChart& chart = *charts.candleView();
        QCOMPARE(Area(chart, "I").Height(), 0);

        charts.indicators()->formulaManagerAction()->trigger();
        auto* manager = m_host.window()->findChild<FormulaManagerDlg*>();
        QVERIFY(manager && manager->isVisible());
        QTest::mouseClick(Named<QPushButton>(manager, "newFormula"), Qt::LeftButton);
        FormulaEditorDlg* editor = manager->editor();
        QVERIFY(editor->isVisible());
        editor->nameEdit()->clear();
        QTest::keyClicks(editor->nameEdit(), QStringLiteral("MOM"));
        editor->placementBox()->setCurrentIndex(editor->placementBox()->findData(int(formula::Placement::Oscillator)));
        editor->parameterTable()->setItem(0, 0, new QTableWidgetItem(QStringLiteral("N")));
        editor->parameterTable()->setItem(0, 1, new QTableWidgetItem(QStringLiteral("10")));
        editor->parameterTable()->setItem(0, 2, new QTableWidgetItem(QStringLiteral("1")));
        editor->parameterTable()->setItem(0, 3, new QTableWidgetItem(QStringLiteral("100")));
        // A slip of the keys: EMAX for EMA, on the second line.
        QTest::keyClicks(editor->textEdit(), QStringLiteral("M:=C-REF(C,N);"));
        QTest::keyClick(editor->textEdit(), Qt::Key_Return);
        QTest::keyClicks(editor->textEdit(), QStringLiteral("MOM:EMAX(M,3),COLORYELLOW;"));
        QTest::mouseClick(editor->testButton(), Qt::LeftButton);
        QCOMPARE(editor->problemList()->count(), 1);
        QCOMPARE(editor->problemList()->item(0)->text(), QStringLiteral("第2行第5列：未知函数 EMAX"));
        QCOMPARE(editor->textEdit()->extraSelections().size(), 1); // marked in the text
        QCOMPARE(editor->textEdit()->extraSelections()[0].cursor.selectedText(), QStringLiteral("EMAX"));
        // Saving is refused while it has errors.
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
        QVERIFY(editor->isVisible());
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY(boxes.texts()[0].contains(QStringLiteral("第2行第5列：未知函数 EMAX")));
        QVERIFY(!std::filesystem::exists(std::filesystem::path(dir.path().toStdString()) / formula::kFormulaFile));
        // Mended and tested again.
        QTextCursor cursor = editor->textEdit()->textCursor();
        cursor.movePosition(QTextCursor::End);
        editor->textEdit()->setTextCursor(cursor);
        for (int i = 0; i < int(QStringLiteral("X(M,3),COLORYELLOW;").size()); ++i)
            QTest::keyClick(editor->textEdit(), Qt::Key_Backspace);
        QTest::keyClicks(editor->textEdit(), QStringLiteral("(M,3),COLORYELLOW;"));
        QTest::mouseClick(editor->testButton(), Qt::LeftButton);
        QCOMPARE(editor->problemList()->count(), 0);
        QVERIFY(editor->verdict()->text().startsWith(QStringLiteral("测试通过")));
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        const auto kept = formula::readFormulas(dir.path().toStdString()).formulas;
        QCOMPARE(int(kept.size()), 1);
        QCOMPARE(kept[0].text, std::string("M:=C-REF(C,N);\nMOM:EMA(M,3),COLORYELLOW;"));

        // Offered in the chart's menu beside the built-ins, and chosen there.
        auto* menu = charts.Candles()->findChild<QMenu*>(QStringLiteral("indicatorMenu"));
        QAction* chosen = Action(menu, QStringLiteral("formula:MOM"));
        QVERIFY(chosen && chosen->isEnabled());
        QCOMPARE(chosen->text(), QStringLiteral("MOM(10)"));
        chosen->trigger();
        QVERIFY(chosen->isChecked());
        QVERIFY(!Action(menu, QStringLiteral("oscillatorNone"))->isChecked());
        const CSubArea& under = Area(chart, "I");
        QVERIFY(under.Height() > 0);
        QVERIFY(CountColour(charts.Candles()->Snapshot(), Band(under), kYellow) > 100);
        QCOMPARE(LegendTexts(chart, "I").front(), std::string("MOM(10)"));
        const auto saved = readIndicatorChoice(dir.path().toStdString());
        QCOMPARE(saved.choice.formula, std::string("MOM"));
        SaveIfAsked(charts.Candles()->grab().toImage(), "formula-chosen.png");

        // Edited: the chart draws the new text at once. Deleted: the chart goes back to none.
        formula::Definition edited = kept[0];
        edited.text = "M:=C-REF(C,N);\nMOM:EMA(M,3),COLORCYAN;";
        manager->showFormulas("MOM");
        QTest::mouseClick(Named<QPushButton>(manager, "editFormula"), Qt::LeftButton);
        editor->textEdit()->setPlainText(QString::fromStdString(edited.text));
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
        QVERIFY(CountColour(charts.Candles()->Snapshot(), Band(Area(chart, "I")), kCyan) > 100);
        boxes.setAnswer(platform::MsgResult::Yes);
        QTest::mouseClick(Named<QPushButton>(manager, "deleteFormula"), Qt::LeftButton);
        QCOMPARE(Area(chart, "I").Height(), 0);
        QVERIFY(Action(menu, QStringLiteral("oscillatorNone"))->isChecked());
        QVERIFY(!Action(menu, QStringLiteral("formula:MOM")));
        QCOMPARE(readIndicatorChoice(dir.path().toStdString()).choice.formula, std::string());
    }

private:
    ChartHost m_host;
};

QTEST_MAIN(FormulaChartTest)
#include "FormulaChartTest.moc"
