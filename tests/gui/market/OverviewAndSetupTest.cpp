#include <filesystem>
#include <fstream>
#include <thread>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "client/CodePage.h"
#include "controls/GetEditInput.h"
#include "controls/JListCtrl.h"
#include "platform/Dialogs.h"
#include "platform/SaveFile.h"
#include "market/ColumnFile.h"
#include "session/Session.h"
#include "session/Session.h"
#include "market/core/MarketColours.h"
#include "market/Overview.h"
#include "market/ShowViewSetDlg.h"

namespace {

const std::filesystem::path kData = VELMORA_DATA_DIR;

// A reply row with every key of the shipped catalogue.
std::string fullRow(int i)
{
    const double ref = 120.0 + i;
    std::string r = "{\"main_1\":0,\"main_2\":" + std::to_string(i % 3 - 1) + ",\"main_3\":" + std::to_string(9160001 + i)
                    + ",\"main_4\":\"窖藏干红" + std::to_string(i + 1) + "号\",\"main_5\":" + std::to_string(ref);
    const double last = ref + (i % 3 - 1) * 1.5;
    r += ",\"main_9\":" + std::to_string(last) + ",\"main_6\":" + std::to_string(ref) + ",\"main_7\":"
         + std::to_string(ref + 2) + ",\"main_8\":" + std::to_string(ref - 2) + ",\"main_24\":" + std::to_string(last - ref)
         + ",\"main_20\":" + std::to_string((last - ref) / ref * 100) + ",\"main_10\":" + std::to_string(5 + i)
         + ",\"main_12\":" + std::to_string(1200 + 37 * i) + ",\"main_11\":" + std::to_string(14.4 + i)
         + ",\"main_13\":600,\"main_16\":610,\"main_25\":12.5,\"futures_1\":10000,\"futures_2\":8000,\"futures_3\":120";
    for (int k = 1; k <= 5; ++k) {
        r += ",\"extend_" + std::to_string(k) + "\":" + std::to_string(last + 0.1 * k);
        r += ",\"extend_" + std::to_string(k + 5) + "\":" + std::to_string(10 * k);
        r += ",\"extend_" + std::to_string(k + 10) + "\":" + std::to_string(last - 0.1 * k);
        r += ",\"extend_" + std::to_string(k + 15) + "\":" + std::to_string(8 * k);
    }
    return r + "}";
}

std::string overviewReply(int rows)
{
    std::string json = R"({"success":"true","msg":"","infor":[)";
    for (int i = 0; i < rows; ++i)
        json += (i ? "," : "") + fullRow(i);
    return client::utf8ToWire(json + "]}");
}

void render(QWidget* w, const char* name)
{
    const QByteArray dir = qgetenv("VELMORA_RENDER_DIR");
    if (!dir.isEmpty())
        w->grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}

QPushButton* button(QWidget* dlg, int id)
{
    return dlg->findChild<QPushButton*>(QString::number(id));
}

} // namespace

class OverviewAndSetupTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void overviewFillsBothListsFromAPollerThread();
    void overviewRefusalEmptiesOnlyTheCurrentList();
    void addPutsCodeSecondAndAddingAgainOnlySelects();
    void firstThreeEntriesStayAndTheFourthCanBeDisplaced();
    void categoriesLimitedAndFirstTwoKept();
    void deletingACategoryKeepsTheOthersPaired();
    void savedColumnsAreTheNextStartsColumns();
    void unreadableColumnFilesAreNamedAndTheShippedColumnsShown();
    void buttonsActOnTheHighlightedEntryOnly();
    void enterInABoxOrListPressesNoButton();
    void aSaveThatFailsIsReported();

private:
    std::unique_ptr<ShowViewSetDlg> makeDialog(const std::string& currentText);
    void answerBoxes(platform::MsgResult answer);

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_boxes;
};

void OverviewAndSetupTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    std::filesystem::copy_file(kData / market::kCatalogueFileName,
                               std::filesystem::path(m_dir->path().toStdString()) / market::kCatalogueFileName);
    m_boxes.clear();
    answerBoxes(platform::MsgResult::Yes);
}

void OverviewAndSetupTest::cleanup()
{
    platform::setMessageBoxHandler(nullptr);
    Session::current().setCurrentColumnText({});
}

void OverviewAndSetupTest::answerBoxes(platform::MsgResult answer)
{
    platform::setMessageBoxHandler([this, answer](const platform::MessageBoxCall& call) {
        m_boxes << call.text;
        return answer;
    });
}

std::unique_ptr<ShowViewSetDlg> OverviewAndSetupTest::makeDialog(const std::string& currentText)
{
    Session::current().setCurrentColumnText(currentText);
    return std::make_unique<ShowViewSetDlg>(std::filesystem::path(m_dir->path().toStdString()));
}

void OverviewAndSetupTest::overviewFillsBothListsFromAPollerThread()
{
    QWidget window;
    window.resize(1400, 420);
    JListCtrl basic(&window);
    JListCtrl extended(&window);
    basic.setGeometry(0, 0, 1400, 420);
    extended.setGeometry(0, 0, 1400, 420);
    market::Overview::styleList(&basic, market::Overview::kBasicListId);
    market::Overview::styleList(&extended, market::Overview::kExtendedListId);
    market::Overview overview(&basic, &extended);
    QCOMPARE(overview.buildColumnsFromFile(kData), 2);
    QCOMPARE(basic.columnCaption(0), QStringLiteral("序"));
    QCOMPARE(basic.columnWidth(2), 100);
    QVERIFY(!Session::current().currentColumnText().empty());

    const std::string reply = overviewReply(20);
    std::thread poller([&] { overview.LoadOverview(reply); });
    poller.join();
    QTRY_COMPARE(basic.rowCount(), 20);
    QCOMPARE(extended.rowCount(), 20);
    QCOMPARE(basic.cellText(4, 0), QStringLiteral("5"));
    QCOMPARE(basic.cellText(0, 1), QStringLiteral("9160001"));
    QCOMPARE(basic.cellText(0, 2), QStringLiteral("窖藏干红1号"));
    QCOMPARE(basic.cellText(0, 3), QStringLiteral("↑"));
    QCOMPARE(basic.cellColour(0, 3), market::kRiseColour);
    QCOMPARE(basic.cellText(1, 3), QStringLiteral("--"));
    QCOMPARE(basic.cellColour(2, 4), market::kRiseColour);
    QCOMPARE(basic.cellColour(1, 4), market::kLevelColour);
    QCOMPARE(extended.cellText(1, 2), QStringLiteral("窖藏干红2号"));
    QCOMPARE(Session::current().findItem(9160003)->name, std::string("窖藏干红3号"));

    // The same reply again must not stack rows in the list that is not showing.
    overview.LoadOverview(reply);
    QCOMPARE(basic.rowCount(), 20);
    QCOMPARE(extended.rowCount(), 20);

    QSignalSpy timeShare(&overview, &market::Overview::timeShareRequested);
    window.show();
    extended.hide();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect cell = basic.visualRect(basic.model()->index(1, 2));
    QTest::mouseClick(basic.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(basic.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(timeShare.count(), 1);
    render(&window, "overview-basic");
    basic.hide();
    extended.show();
    render(&window, "overview-extended");
}

void OverviewAndSetupTest::overviewRefusalEmptiesOnlyTheCurrentList()
{
    JListCtrl basic;
    JListCtrl extended;
    market::Overview overview(&basic, &extended);
    overview.buildColumnsFromFile(kData);
    overview.LoadOverview(overviewReply(3));
    QCOMPARE(basic.rowCount(), 3);
    overview.setCurrentTab(market::Overview::Tab::Extended);
    overview.LoadOverview(R"({"success":"false","msg":"busy"})");
    QCOMPARE(extended.rowCount(), 0);
    QCOMPARE(basic.rowCount(), 3);
    overview.LoadOverview("not json");
    overview.LoadOverview("");
    QCOMPARE(basic.rowCount(), 3);
}

void OverviewAndSetupTest::addPutsCodeSecondAndAddingAgainOnlySelects()
{
    auto dlg = makeDialog(market::styledColumnText(
        {{{"基本行情", {{"序", "main_1"}, {"名称", "main_4"}, {"最新", "main_9"}}}, {"扩展行情", {}}}}));
    QCOMPARE(dlg->catalogueBox()->count(), 7);
    QListWidget* catalogue = dlg->shownCatalogueList();
    QVERIFY(catalogue && catalogue->isVisibleTo(dlg.get()));
    QListWidget* current = dlg->shownCurrentList();
    QCOMPARE(current->objectName(), QStringLiteral("2001"));

    catalogue->setCurrentRow(1); // 代码
    QCOMPARE(catalogue->currentItem()->text(), QStringLiteral("代码"));
    button(dlg.get(), ShowViewSetDlg::kAddId)->click();
    QCOMPARE(dlg->currentEntries(0), QStringList({"序", "代码", "名称", "最新"}));
    QCOMPARE(current->currentRow(), 1);
    current->setCurrentRow(3);
    button(dlg.get(), ShowViewSetDlg::kAddId)->click();
    QCOMPARE(current->count(), 4);
    QCOMPARE(current->currentRow(), 1);

    dlg->catalogueBox()->setCurrentIndex(1); // 价格
    QVERIFY(!catalogue->isVisibleTo(dlg.get()));
    QVERIFY(dlg->shownCatalogueList()->isVisibleTo(dlg.get()));
    button(dlg.get(), ShowViewSetDlg::kAddAllId)->click();
    QCOMPARE(current->count(), 3 + 9);
    QCOMPARE(current->item(3)->text(), QStringLiteral("最新"));
    QCOMPARE(current->item(4)->text(), QStringLiteral("昨收"));
    button(dlg.get(), ShowViewSetDlg::kDeleteAllId)->click();
    QCOMPARE(dlg->currentEntries(0), QStringList({"序", "代码", "名称"}));
}

void OverviewAndSetupTest::firstThreeEntriesStayAndTheFourthCanBeDisplaced()
{
    auto dlg = makeDialog(market::styledColumnText(
        {{{"基本行情", {{"序", "main_1"}, {"代码", "main_3"}, {"名称", "main_4"}, {"最新", "main_9"},
                        {"昨收", "main_5"}, {"开盘", "main_6"}}}}}));
    QListWidget* current = dlg->shownCurrentList();
    const QStringList start = dlg->currentEntries(0);
    for (int row : {0, 1, 2}) {
        current->setCurrentRow(row);
        button(dlg.get(), ShowViewSetDlg::kDeleteId)->click();
        button(dlg.get(), ShowViewSetDlg::kMoveUpId)->click();
        button(dlg.get(), ShowViewSetDlg::kMoveDownId)->click();
    }
    current->setCurrentRow(3);
    button(dlg.get(), ShowViewSetDlg::kMoveUpId)->click();
    button(dlg.get(), ShowViewSetDlg::kMoveDownId)->click();
    QCOMPARE(dlg->currentEntries(0), start);

    current->setCurrentRow(4);
    button(dlg.get(), ShowViewSetDlg::kMoveUpId)->click();
    QCOMPARE(dlg->currentEntries(0), QStringList({"序", "代码", "名称", "昨收", "最新", "开盘"}));
    QCOMPARE(current->currentRow(), 3);
    current->setCurrentRow(4);
    button(dlg.get(), ShowViewSetDlg::kMoveDownId)->click();
    QCOMPARE(current->currentRow(), 5);
    button(dlg.get(), ShowViewSetDlg::kMoveDownId)->click(); // the last stays last
    QCOMPARE(dlg->currentEntries(0), QStringList({"序", "代码", "名称", "昨收", "开盘", "最新"}));
    button(dlg.get(), ShowViewSetDlg::kDeleteId)->click();
    QCOMPARE(current->count(), 5);
}

void OverviewAndSetupTest::categoriesLimitedAndFirstTwoKept()
{
    auto dlg = makeDialog(market::styledColumnText({{{"基本行情", {}}, {"扩展行情", {}}}}));
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    for (int index : {0, 1}) {
        dlg->currentBox()->setCurrentIndex(index);
        button(dlg.get(), ShowViewSetDlg::kDeleteCategoryId)->click();
    }
    QCOMPARE(m_boxes, QStringList({"基本行情，宽展行情不允许删除", "基本行情，宽展行情不允许删除"}));
    QCOMPARE(dlg->currentBox()->count(), 2);

    GetEditInput* names = dlg->nameDialog();
    auto* ok = names->findChild<QPushButton*>(QString::number(GetEditInput::kOkId));
    for (const char* name : {"自选一", "自选二", "自选三"}) {
        button(dlg.get(), ShowViewSetDlg::kNewCategoryId)->click();
        QVERIFY(names->isVisible());
        names->edit()->setText(QString::fromUtf8(name));
        ok->click();
        QVERIFY(!names->isVisible());
    }
    QCOMPARE(dlg->currentBox()->count(), 5);
    QCOMPARE(dlg->currentBox()->currentIndex(), 4);
    QCOMPARE(dlg->shownCurrentList()->objectName(), QStringLiteral("2005"));
    QCOMPARE(dlg->currentEntries(4), QStringList({"序", "代码", "名称"}));
    QVERIFY(dlg->shownCurrentList()->isVisibleTo(dlg.get()));
    render(dlg.get(), "column-setup");

    m_boxes.clear();
    button(dlg.get(), ShowViewSetDlg::kNewCategoryId)->click();
    names->edit()->setText(QStringLiteral("自选四"));
    ok->click();
    QCOMPARE(m_boxes, QStringList({"不允许添加更多选项"}));
    QVERIFY(names->isVisible());
    QCOMPARE(dlg->currentBox()->count(), 5);

    // Cancelling the name closes the set-up as well.
    names->findChild<QPushButton*>(QString::number(GetEditInput::kCancelId))->click();
    QVERIFY(!names->isVisible());
    QVERIFY(!dlg->isVisible());
}

void OverviewAndSetupTest::deletingACategoryKeepsTheOthersPaired()
{
    auto dlg = makeDialog(market::styledColumnText(
        {{{"基本行情", {}}, {"扩展行情", {}}, {"甲", {{"序", "main_1"}}}, {"乙", {{"代码", "main_3"}}}}}));
    dlg->currentBox()->setCurrentIndex(2);
    button(dlg.get(), ShowViewSetDlg::kDeleteCategoryId)->click();
    QVERIFY(m_boxes.isEmpty());
    QCOMPARE(dlg->currentBox()->count(), 3);
    QCOMPARE(dlg->currentBox()->currentIndex(), 1);
    QCOMPARE(dlg->currentBox()->itemText(2), QStringLiteral("乙"));
    QCOMPARE(dlg->currentEntries(2), QStringList({"代码"}));
    dlg->currentBox()->setCurrentIndex(2);
    QCOMPARE(dlg->shownCurrentList()->item(0)->text(), QStringLiteral("代码"));
    QVERIFY(dlg->shownCurrentList()->isVisibleTo(dlg.get()));
}

void OverviewAndSetupTest::savedColumnsAreTheNextStartsColumns()
{
    const std::filesystem::path dir = m_dir->path().toStdString();
    auto dlg = makeDialog(market::styledColumnText(
        {{{"基本行情", {{"序", "main_1"}, {"代码", "main_3"}, {"名称", "main_4"}, {"旧列", "main_26"}}},
          {"扩展行情", {{"序", "main_1"}, {"代码", "main_3"}, {"名称", "main_4"}}}}}));
    dlg->catalogueBox()->setCurrentIndex(1);
    dlg->shownCatalogueList()->setCurrentRow(0); // 最新
    button(dlg.get(), ShowViewSetDlg::kAddId)->click();

    answerBoxes(platform::MsgResult::No);
    button(dlg.get(), ShowViewSetDlg::kOkId)->click();
    QCOMPARE(m_boxes, QStringList({"是否确认更改大盘信息"}));
    QVERIFY(!std::filesystem::exists(dir / market::kCurrentColumnFileName));

    answerBoxes(platform::MsgResult::Yes);
    button(dlg.get(), ShowViewSetDlg::kOkId)->click();
    QVERIFY(std::filesystem::exists(dir / market::kCurrentColumnFileName));
    const auto saved = market::loadColumnFile(dir / market::kCurrentColumnFileName);
    QVERIFY(saved);
    QCOMPARE(Session::current().currentColumnText(), saved->styledText);
    // "旧列" is not in the catalogue: it keeps the key it had instead of leaving a hole.
    const market::ColumnCategory& basicCategory = saved->document.categories[0];
    QCOMPARE(basicCategory.columns.size(), std::size_t(5));
    QCOMPARE(basicCategory.columns[3], (market::ColumnEntry{"旧列", "main_26"}));
    QCOMPARE(basicCategory.columns[4], (market::ColumnEntry{"最新", "main_9"}));

    JListCtrl basic;
    JListCtrl extended;
    market::Overview nextStart(&basic, &extended);
    QCOMPARE(nextStart.buildColumnsFromFile(dir), 2);
    QCOMPARE(basic.columnCount(), 5);
    QCOMPARE(basic.columnCaption(4), QStringLiteral("最新"));
    nextStart.LoadOverview(overviewReply(2));
    QCOMPARE(basic.cellText(1, 4), QStringLiteral("121.00"));
}

void OverviewAndSetupTest::unreadableColumnFilesAreNamedAndTheShippedColumnsShown()
{
    // The test runs from the build tree: the shipped files are the source tree's data/.
    const std::filesystem::path dir = m_dir->path().toStdString();
    const QByteArray broken = "{\"infor\":[{\"name\":\"基本行情\",";
    std::ofstream(dir / market::kCurrentColumnFileName, std::ios::binary) << broken.toStdString();
    std::ofstream(dir / market::kCatalogueFileName, std::ios::binary | std::ios::trunc) << "[oops";

    JListCtrl basic;
    JListCtrl extended;
    market::Overview overview(&basic, &extended);
    QCOMPARE(overview.buildColumnsFromFile(dir), 2);
    QCOMPARE(basic.columnCaption(0), QStringLiteral("序"));
    QVERIFY(extended.columnCount() > 3);
    QCOMPARE(m_boxes.size(), 1);
    const QString path = QString::fromStdString((dir / market::kCurrentColumnFileName).string());
    QVERIFY2(m_boxes[0].contains(path), qPrintable(m_boxes[0]));

    // The set-up dialog offers the shipped catalogue, and says which file it could not read.
    m_boxes.clear();
    auto dlg = std::make_unique<ShowViewSetDlg>(dir);
    QCOMPARE(dlg->catalogueBox()->count(), 7);
    QCOMPARE(m_boxes.size(), 1);
    QVERIFY2(m_boxes[0].contains(QString::fromStdString((dir / market::kCatalogueFileName).string())),
             qPrintable(m_boxes[0]));

    // Neither was touched: what the user wrote is still there to mend.
    QFile current(QString::fromStdString((dir / market::kCurrentColumnFileName).string()));
    QVERIFY(current.open(QIODevice::ReadOnly));
    QCOMPARE(current.readAll(), broken);
    QFile catalogue(QString::fromStdString((dir / market::kCatalogueFileName).string()));
    QVERIFY(catalogue.open(QIODevice::ReadOnly));
    QCOMPARE(catalogue.readAll(), QByteArray("[oops"));
}

void OverviewAndSetupTest::buttonsActOnTheHighlightedEntryOnly()
{
    auto dlg = makeDialog(market::styledColumnText(
        {{{"基本行情", {{"序", "main_1"}, {"代码", "main_3"}, {"名称", "main_4"}, {"最新", "main_9"},
                        {"昨收", "main_5"}, {"开盘", "main_6"}}}}}));
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    dlg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    auto clickRow = [](QListWidget* list, int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(list->item(row)).center());
    };
    QListWidget* catalogue = dlg->shownCatalogueList();
    QListWidget* current = dlg->shownCurrentList();
    const QStringList start = dlg->currentEntries(0);

    // Tab into the catalogue: an entry becomes current, none is highlighted.
    dlg->catalogueBox()->setFocus();
    QTest::keyClick(dlg.get(), Qt::Key_Tab);
    QTRY_VERIFY(catalogue->hasFocus());
    QVERIFY(catalogue->selectedItems().isEmpty());
    button(dlg.get(), ShowViewSetDlg::kAddId)->click();
    QCOMPARE(dlg->currentEntries(0), start);

    // Ctrl+click takes the highlight off again: nothing to add.
    clickRow(catalogue, 3);
    clickRow(catalogue, 3, Qt::ControlModifier);
    QVERIFY(catalogue->selectedItems().isEmpty());
    QVERIFY(catalogue->currentItem());
    button(dlg.get(), ShowViewSetDlg::kAddId)->click();
    QCOMPARE(dlg->currentEntries(0), start);

    // The same in the current list for delete and the moves.
    clickRow(current, 4);
    clickRow(current, 4, Qt::ControlModifier);
    QVERIFY(current->selectedItems().isEmpty());
    for (int id : {ShowViewSetDlg::kDeleteId, ShowViewSetDlg::kMoveUpId, ShowViewSetDlg::kMoveDownId})
        button(dlg.get(), id)->click();
    QCOMPARE(dlg->currentEntries(0), start);

    // A highlighted entry is the one acted on.
    clickRow(current, 4);
    button(dlg.get(), ShowViewSetDlg::kMoveUpId)->click();
    QCOMPARE(dlg->currentEntries(0), QStringList({"序", "代码", "名称", "昨收", "最新", "开盘"}));
    QCOMPARE(current->selectedItems(), QList<QListWidgetItem*>{current->item(3)});
    button(dlg.get(), ShowViewSetDlg::kDeleteId)->click();
    QCOMPARE(dlg->currentEntries(0), QStringList({"序", "代码", "名称", "最新", "开盘"}));
    QVERIFY(m_boxes.isEmpty());
}

void OverviewAndSetupTest::enterInABoxOrListPressesNoButton()
{
    auto dlg = makeDialog(market::styledColumnText({{{"基本行情", {{"序", "main_1"}}}, {"扩展行情", {}}}}));
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    dlg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    QSignalSpy closes(dlg->findChild<QAbstractButton*>(QString::number(ShowViewSetDlg::kCloseId)),
                      &QAbstractButton::clicked);
    for (QWidget* w : {static_cast<QWidget*>(dlg->catalogueBox()), static_cast<QWidget*>(dlg->currentBox()),
                       static_cast<QWidget*>(dlg->shownCatalogueList()), static_cast<QWidget*>(dlg->shownCurrentList())}) {
        w->setFocus();
        QTRY_VERIFY(w->hasFocus());
        QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_Enter);
        QVERIFY2(dlg->isVisible(), qPrintable(w->objectName()));
    }
    QCOMPARE(closes.count(), 0);
    QVERIFY(m_boxes.isEmpty()); // nor "确定" asked to save
}

void OverviewAndSetupTest::aSaveThatFailsIsReported()
{
    const std::filesystem::path dir = m_dir->path().toStdString();
    std::filesystem::create_directory(dir / market::kCurrentColumnFileName); // cannot be replaced
    auto dlg = makeDialog(market::styledColumnText({{{"基本行情", {{"序", "main_1"}}}, {"扩展行情", {}}}}));
    button(dlg.get(), ShowViewSetDlg::kOkId)->click();
    QCOMPARE(m_boxes, QStringList({"是否确认更改大盘信息",
                                   platform::saveFailedText(QString::fromStdString((dir / market::kCurrentColumnFileName).string()))}));
    QVERIFY(m_boxes.back().startsWith(QStringLiteral("保存文件失败：")));
    QVERIFY(m_boxes.back().endsWith(QStringLiteral("/currentlisttitle.txt")));
}

QTEST_MAIN(OverviewAndSetupTest)
#include "OverviewAndSetupTest.moc"
