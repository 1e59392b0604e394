// The one way windows are rendered to PNG, for the README and for review: logged in as demo
// account 100001 against the substitute exchange in this process, it renders every window a
// user meets to one PNG each (the login, the market views, the trade panel with each of its
// functions, the lock windows and the quick pop-ups), and the README's views of the screen
// (overview, timeshare, kline, indicators, drawings, formula, finder, watchlist, trade, orders,
// notice) with the windows on it as the user sees them. scripts/screenshots.sh
// copies those into docs/screenshots.
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QPainter>
#include <QTest>

#include "app/CVelmoraDlg.h"
#include "app/Detailsystimeset.h"
#include "app/Aboxt_wineDlg.h"
#include "app/Lock_Detail_dlg.h"
#include "app/Show_sys_statu_sdlg.h"
#include "app/Show_Message_Dlg.h"
#include "session/Session.h"
#include "app/VerificationCode.h"
#include "chart/CKBarCtrl.h"
#include "chart/DrawingLayer.h"
#include "chart/DrawingToolbar.h"
#include "chart/FormulaEditorDlg.h"
#include "chart/FormulaManagerDlg.h"
#include "chart/IndicatorActions.h"
#include "controls/JHeaderCtrl.h"
#include "controls/JListCtrl.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/KeysHelpDlg.h"
#include "mainwnd/Transaction_Dlg.h"
#include "mainwnd/Watchers.h"
#include "client/Call.h"
#include "client/Numbers.h"
#include "platform/Notices.h"
#include "market/ItemFinder.h"
#include "market/ShowViewSetDlg.h"
#include "market/SingleItemQuote.h"
#include "platform/Platform.h"
#include "support/MarketCommands.h"
#include "support/LoopbackServer.h"
#include "support/TerminalOnExchange.h"
#include "trade/Buying_dlg.h"
#include "trade/OrderWindow.h"
#include "trade/Selling_dlg.h"

namespace {

QString g_folder;

void write(const QImage& image, const QString& name)
{
    const QString path = g_folder + QLatin1Char('/') + name + QStringLiteral(".png");
    image.save(path);
    std::printf("%s\n", qPrintable(path));
}

void save(QWidget* w, const QString& name)
{
    if (!w)
        return;
    QApplication::processEvents();
    write(w->grab().toImage(), name);
}

// The screen as the user sees it: the windows painted where they stand, later ones on top.
void saveScreen(std::initializer_list<QWidget*> windows, const QString& name)
{
    QApplication::processEvents();
    QRect screen;
    for (QWidget* w : windows) {
        if (w && w->isVisible())
            screen |= w->geometry();
    }
    QImage image(screen.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    for (QWidget* w : windows) {
        if (w && w->isVisible())
            p.drawPixmap(w->geometry().topLeft() - screen.topLeft(), w->grab());
    }
    p.end();
    write(image, name);
}

// Waits for the event loop up to `ms`, so replies and repaints land.
void settle(int ms) { QTest::qWait(ms); }

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_folder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery")).absolutePath();
    QDir().mkpath(g_folder);

    testsupport::TerminalOnExchange<Transaction_Dlg> terminal;
    const std::string error = terminal.start(testsupport::UniqueLoopbackAddress(41), 3, 200);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    platform::MessageBoxRecorder boxes(platform::MsgResult::Yes);
    app::setCodeClock([] { return std::time_t(1700000000); });

    CVelmoraDlg login;
    login.show();
    settle(300);
    login.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kAccountPlain))->setText("100001");
    save(&login, QStringLiteral("login"));
    login.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kPassword))->setText("123456");
    login.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kCode))->setText(login.verificationCode());
    login.onLogin();
    auto* market = qobject_cast<Transaction_Dlg*>(login.marketWindow());
    if (!Session::current().loggedIn() || !market) {
        std::fprintf(stderr, "login failed: %s\n", qPrintable(boxes.texts().join(QLatin1Char('|'))));
        return 1;
    }
    settle(3000);
    save(market->announcements(), QStringLiteral("announcements"));
    if (market->announcements())
        market->announcements()->hide();
    // Ranked by the day's change (a click on its caption), the third row selected.
    if (JListCtrl* list = market->basicList()) {
        for (int c = 0; c < list->columnCount(); ++c) {
            if (list->columnCaption(c) != QStringLiteral("涨幅%"))
                continue;
            JHeaderCtrl* header = list->header();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, 10));
        }
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(market, Qt::Key_Down);
        settle(300);
    }
    saveScreen({market}, QStringLiteral("overview"));
    testsupport::run(market, testsupport::MarketCommand::Timeshare);
    settle(3000);
    saveScreen({market}, QStringLiteral("timeshare"));
    testsupport::run(market, testsupport::MarketCommand::Kline);
    settle(3000);
    saveScreen({market}, QStringLiteral("kline"));
    // MACD under the volumes and the cross-hair on a candle, the legends at it.
    if (auto* indicators = market->findChild<chart::IndicatorActions*>()) {
        indicators->oscillatorAction(chart::Oscillator::Macd)->trigger();
        settle(1500);
        CKBarCtrl* chart = market->klineChart();
        const QPoint candle(chart->width() * 3 / 4, chart->height() / 3);
        QTest::mouseClick(chart, Qt::LeftButton, {}, candle);
        QTest::mouseMove(chart, candle + QPoint(3, 3));
        settle(800);
        saveScreen({market}, QStringLiteral("indicators"));
        indicators->oscillatorAction(chart::Oscillator::None)->trigger();
        QEvent leave(QEvent::Leave); // the pointer leaves the chart, and the cross-hair with it
        QApplication::sendEvent(chart, &leave);
        settle(500);
        // A formula of the trader's own: written in the editor, tested, saved, chosen, and
        // its editor open again beside the chart it draws on.
        indicators->formulaManagerAction()->trigger();
        if (auto* manager = market->findChild<chart::FormulaManagerDlg*>()) {
            manager->newFormula();
            chart::FormulaEditorDlg* editor = manager->editor();
            editor->nameEdit()->setText(QStringLiteral("量价背离"));
            editor->descriptionEdit()->setText(QStringLiteral("价格创新高而成交量萎缩时提示"));
            editor->placementBox()->setCurrentIndex(editor->placementBox()->findData(int(chart::formula::Placement::Oscillator)));
            const char* const parameters[2][4] = {{"N", "20", "5", "120"}, {"M", "5", "2", "60"}};
            for (int row = 0; row < 2; ++row)
                for (int column = 0; column < 4; ++column)
                    editor->parameterTable()->setItem(row, column, new QTableWidgetItem(QString::fromLatin1(parameters[row][column])));
            editor->textEdit()->setPlainText(QStringLiteral(
                "{ 收盘价离 N 日均线多远，成交量离它的均线多远 }\n"
                "价:=(CLOSE/MA(CLOSE,N)-1)*100;\n"
                "量:=(VOL/MA(VOL,N)-1)*10;\n"
                "价离:EMA(价,M),COLORYELLOW,LINETHICK2;\n"
                "量离:EMA(量,M),COLORCYAN,DOTLINE;\n"
                "背离:IF(价>HHV(REF(价,1),N) AND 量<0,价,0),COLORSTICK;"));
            editor->save();
            if (QAction* chosen = indicators->formulaAction("量价背离"))
                chosen->trigger();
            manager->editSelected();
            editor->test();
            editor->resize(640, 600);
            editor->move(market->geometry().right() - 640, market->geometry().top() + 120);
            settle(1500);
            saveScreen({market, editor}, QStringLiteral("formula"));
            editor->hide();
            manager->hide();
            indicators->oscillatorAction(chart::Oscillator::None)->trigger();
            settle(500);
        }
    }
    // The drawing tools: a trend line, a channel, the golden section of a swing, a support
    // level and a note, drawn with the mouse; then taken away again.
    if (CKBarCtrl* chart = market->klineChart(); auto* layer = chart->findChild<chart::DrawingLayer*>()) {
        auto* toolbar = chart->findChild<chart::DrawingToolbar*>();
        chart->findChild<QAction*>(QStringLiteral("drawingTools"))->trigger();
        layer->setTextAsker([] { return std::optional(QStringLiteral("支撑位")); });
        const int w = chart->width();
        const int h = chart->height();
        const struct
        {
            int tool;
            std::vector<QPointF> at; // in parts of the chart's width and height
        } strokes[] = {{0, {{0.15, 0.45}, {0.45, 0.2}}},
                       {4, {{0.5, 0.5}, {0.7, 0.35}, {0.6, 0.6}}},
                       {5, {{0.72, 0.58}, {0.9, 0.12}}},
                       {3, {{0.3, 0.52}}},
                       {7, {{0.31, 0.5}}}};
        for (const auto& stroke : strokes) {
            toolbar->toolAction(stroke.tool)->trigger();
            for (const QPointF& f : stroke.at) {
                const QPoint at(int(f.x() * w), int(f.y() * h));
                QTest::mouseMove(chart, at);
                QTest::mouseClick(chart, Qt::LeftButton, {}, at);
            }
        }
        layer->selectAt(QPoint(1, 1));
        settle(300);
        saveScreen({market}, QStringLiteral("drawings"));
        layer->removeAll();
        chart->findChild<QAction*>(QStringLiteral("drawingTools"))->trigger();
        settle(300);
    }
    // The code finder at the foot of the window, as a letter typed there opens it.
    QTest::keyClick(market, 't');
    settle(300);
    saveScreen({market, market->finder()}, QStringLiteral("finder"));
    if (market->finder())
        market->finder()->close();
    // The watchlist: two items added in the overview with Insert, then only those shown.
    testsupport::run(market, testsupport::MarketCommand::Overview);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Insert, Qt::Key_Down, Qt::Key_Down, Qt::Key_Insert})
        QTest::keyClick(market, key);
    QTest::keyClick(market, Qt::Key_F6);
    settle(300);
    saveScreen({market}, QStringLiteral("watchlist"));
    testsupport::run(market, testsupport::MarketCommand::Overview);
    testsupport::run(market, testsupport::MarketCommand::Ticks);
    settle(1500);
    save(market, QStringLiteral("ticks"));
    testsupport::run(market, testsupport::MarketCommand::PriceTable);
    settle(1500);
    save(market, QStringLiteral("price-table"));
    testsupport::run(market, testsupport::MarketCommand::ColumnSetup);
    settle(300);
    save(market->columnSetup(), QStringLiteral("column-setup"));
    market->columnSetup()->hide();
    testsupport::run(market, testsupport::MarketCommand::SystemStatus);
    settle(300);
    save(market->findChild<Show_sys_statu_sdlg*>(), QStringLiteral("status"));
    testsupport::run(market, testsupport::MarketCommand::About);
    settle(300);
    save(market->findChild<Aboxt_wineDlg*>(), QStringLiteral("about"));
    testsupport::run(market, testsupport::MarketCommand::KeysHelp);
    settle(300);
    save(market->keysHelp(), QStringLiteral("keys-help"));
    market->keysHelp()->hide();

    Detail_Trans_Dlg* panel = market->tradePanel();
    if (!panel) {
        testsupport::run(market, testsupport::MarketCommand::Trade);
        panel = market->tradePanel();
    }
    panel->show();
    // A resting order to list, and a trade.
    market::requestSingleItemQuote(9160001);
    const market::SingleItemQuote quote = Session::current().singleItemQuote();
    for (int function = 0; function < Detail_Trans_Dlg::kFunctionCount; ++function) {
        panel->choose(function);
        settle(600);
        if (function == 1 || function == 2) {
            auto* w = static_cast<trade::OrderWindow*>(
                panel->hostedWindow(function == 1 ? Detail_Trans_Dlg::Hosted::Buy : Detail_Trans_Dlg::Hosted::Sell));
            w->codeField()->setFocus();
            w->codeField()->setText(QStringLiteral("9160001"));
            w->priceField()->setFocus();
            w->priceField()->setText(QString::asprintf("%.2f", double(quote.prices[3])));
            w->quantityField()->setFocus();
            w->quantityField()->setText(QStringLiteral("10"));
            QTest::mouseClick(w->findChild<QWidget*>(QString::number(trade::OrderWindow::kQuoteButton)),
                              Qt::LeftButton);
            settle(1500);
            if (function == 1) {
                settle(1500); // the form's timer names the item and its buyable quantity
                saveScreen({market, panel}, QStringLiteral("trade"));
                QTest::mouseClick(w->findChild<QWidget*>(QString::number(trade::OrderWindow::kOrderButton)),
                                  Qt::LeftButton);
                settle(1500);
            }
            w->selectTab(trade::OrderWindow::Tab::Orders);
            settle(600);
            if (function == 1)
                saveScreen({market, panel}, QStringLiteral("orders"));
        }
        save(panel, QStringLiteral("panel-%1").arg(function, 2, 10, QLatin1Char('0')));
    }
    // A fill: a buy across the spread, told bottom right at the next poll of today's trades.
    market::requestSingleItemQuote(9160001);
    const std::string ask = client::fixedDecimals(Session::current().singleItemQuote().firstPrices[0], 2);
    client::Call(client::Endpoint::Buy, {{"buy_amount", "20"}, {"buy_price", ask}, {"id", "100001"}, {"item_id", "9160001"}});
    platform::NoticeWindow* notice = nullptr;
    for (int waited = 0; waited < 8000 && !((notice = market->watchers()->notices()->window()) && notice->isVisible());
         waited += 200)
        settle(200);
    saveScreen({market, panel, notice}, QStringLiteral("notice"));
    save(notice, QStringLiteral("notice-window"));
    market->actions()->action(mainwnd::MarketActions::Command::FillNotices)->trigger();
    save(market->watchers()->fillsWindow(), QStringLiteral("fill-notices"));
    market->actions()->action(mainwnd::MarketActions::Command::PriceAlerts)->trigger();
    save(market->watchers()->alertsWindow(), QStringLiteral("price-alerts"));

    // The pop-ups before the lock, which would guard them.
    testsupport::run(market, testsupport::MarketCommand::QuickBuy);
    settle(800);
    save(market->quickBuy(), QStringLiteral("quick-buy"));
    if (market->quickBuy())
        market->quickBuy()->close();
    testsupport::run(market, testsupport::MarketCommand::QuickSell);
    settle(800);
    save(market->quickSell(), QStringLiteral("quick-sell"));
    if (market->quickSell())
        market->quickSell()->close();
    panel->toggleLockTime();
    settle(300);
    save(panel->lockTimeWindow(), QStringLiteral("lock-time"));
    panel->toggleLockTime();
    panel->lockPanel();
    settle(300);
    save(panel->lockWindow(), QStringLiteral("lock"));

    std::printf("messages: %s\n", qPrintable(boxes.texts().join(QLatin1Char('|'))));
    app::setCodeClock(nullptr);
    return 0;
}
