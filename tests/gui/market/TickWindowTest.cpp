#include <filesystem>

#include <QTemporaryDir>
#include <QTest>

#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/JListCtrl.h"
#include "market/core/MarketColours.h"
#include "market/Min_Price_List_Dlg.h"
#include "support/LoopbackServer.h"
#include "session/Session.h"

namespace {

using Mode = Min_Price_List_Dlg::Mode;

std::string ticks(int count)
{
    std::string json = R"({"success":"true","infor":[)";
    for (int i = 0; i < count; ++i)
        json += (i ? "," : "") + std::string(R"({"price":)") + std::to_string(120 + i % 7) + ".5,\"vol\":"
                + std::to_string(3 + i) + ",\"time\":" + std::to_string(1700000000 + 60 * i) + "}";
    return json + "]}";
}

bool bandHasText(const QImage& canvas, int width)
{
    for (int y = 2; y < 26; ++y)
        for (int x = 0; x < width; ++x)
            if (canvas.pixel(x, y) != QColor(112, 112, 112).rgb() && canvas.pixel(x, y) != QColor(Qt::white).rgb())
                return true;
    return false;
}

bool columnHasLine(const QImage& canvas, int x)
{
    return canvas.pixel(x, 200) == QColor(Qt::white).rgb() || canvas.pixel(x - 1, 200) == QColor(Qt::white).rgb();
}

// Anti-aliased volume text: some pixel clearly of the volume colour's blue.
bool hasVolumeInk(const QImage& canvas, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = canvas.pixelColor(x, y);
            if (c.blue() - c.red() > 60 && c.blue() - c.green() > 60)
                return true;
        }
    return false;
}

void render(QWidget* w, const char* name)
{
    const QByteArray dir = qgetenv("VELMORA_RENDER_DIR");
    if (!dir.isEmpty())
        w->grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}

} // namespace

class TickWindowTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void tickGridColumnsFollowTheWidth();
    void countLineOnlyForAParsedReply();
    void priceTableFillsTheListAndItsFullScale();
    void consultTabHidesThePriceList();
    void escapeDoesNotCloseTheWindow();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<testsupport::LoopbackServer> m_server;
    std::string m_tickReply;
    std::string m_priceReply;
};

void TickWindowTest::initTestCase()
{
    client::Options o = client::defaultOptions();
    o.line0Host = testsupport::UniqueLoopbackAddress(5);
    Session::current().setOptions(o);
    client::LoadLineChoice(m_dir.path().toStdString());
    m_server = std::make_unique<testsupport::LoopbackServer>(
        o.line0Host, client::kMarketPort, [this](const testsupport::RecordedRequest& r) {
            if (r.path == "/api/dealdetail/9160001/0")
                return testsupport::ScriptedReply{200, m_tickReply};
            if (r.path == "/api/pricedetail/9160001")
                return testsupport::ScriptedReply{200, m_priceReply};
            return testsupport::ScriptedReply{404, ""};
        });
}

void TickWindowTest::cleanupTestCase()
{
    m_server.reset();
    Session::current().setOptions(client::defaultOptions());
}

void TickWindowTest::init()
{
    m_tickReply = ticks(30);
    m_priceReply = R"({"success":"true","infor":[{"price":120.5,"vol":30},{"price":121,"vol":75},{"price":121.5,"vol":12}]})";
}

void TickWindowTest::tickGridColumnsFollowTheWidth()
{
    QWidget parent;
    parent.resize(800, 400);
    Min_Price_List_Dlg dlg(&parent);
    dlg.setGeometry(0, 0, 400, Min_Price_List_Dlg::kChartHeight);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    const size_t before = m_server->requestCount();
    dlg.showMode(Mode::Ticks);
    QCOMPARE(m_server->requestCount(), before + 1);
    QCOMPARE(m_server->requests().back().path, std::string("/api/dealdetail/9160001/0"));
    QImage canvas = dlg.canvas();
    QVERIFY(columnHasLine(canvas, 200));
    // 11 ticks fit a column: the second column has ticks, nothing is drawn past the second.
    QVERIFY(hasVolumeInk(canvas, QRect(200 + 133, 30, 60, 27)));
    QVERIFY(hasVolumeInk(canvas, QRect(133, 30 + 27 * 10, 60, 27)));
    QVERIFY(!dlg.priceList()->isVisible());
    QCOMPARE(canvas.pixel(10, 340), QColor(41, 41, 41).rgb());
    render(&dlg, "ticks-400");

    dlg.setGeometry(0, 0, 399, Min_Price_List_Dlg::kChartHeight);
    dlg.showMode(Mode::Ticks);
    canvas = dlg.canvas();
    for (int x = 150; x < 260; ++x)
        QVERIFY2(!columnHasLine(canvas, x), qPrintable(QString::number(x)));
    render(&dlg, "ticks-399");
}

void TickWindowTest::countLineOnlyForAParsedReply()
{
    Min_Price_List_Dlg dlg;
    dlg.resize(600, 350);
    m_tickReply = ticks(0);
    dlg.showMode(Mode::Ticks);
    QVERIFY(bandHasText(dlg.canvas(), 600));
    m_tickReply = "<html>busy</html>";
    dlg.showMode(Mode::Ticks);
    QVERIFY(!bandHasText(dlg.canvas(), 600));
    dlg.drawMode(Mode::Ticks, "");
    QVERIFY(!bandHasText(dlg.canvas(), 600));
}

void TickWindowTest::priceTableFillsTheListAndItsFullScale()
{
    QWidget parent;
    parent.resize(600, 400);
    Min_Price_List_Dlg dlg(&parent);
    dlg.setGeometry(0, 0, 600, Min_Price_List_Dlg::kChartHeight);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    dlg.showMode(Mode::Prices);
    JListCtrl* list = dlg.priceList();
    QVERIFY(list->isVisible());
    QCOMPARE(list->geometry(), QRect(0, 28, 600, 350 - 56));
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->cellText(1, 0), QStringLiteral("2"));
    QCOMPARE(list->cellText(1, 1), QStringLiteral("121.00"));
    QCOMPARE(list->cellText(1, 2), QStringLiteral("75"));
    QCOMPARE(list->cellText(1, 3), QString());
    QCOMPARE(list->columnWidth(1), 80);
    QCOMPARE(list->columnWidth(3), 600 - 201);
    QVERIFY(bandHasText(dlg.canvas(), 600));
    render(&dlg, "prices");

    m_priceReply = R"({"success":"true","infor":[]})";
    dlg.showMode(Mode::Prices);
    QVERIFY(list->isVisible());
    QCOMPARE(list->rowCount(), 0);
    QVERIFY(bandHasText(dlg.canvas(), 600));

    m_priceReply = "garbage";
    dlg.showMode(Mode::Prices);
    QVERIFY(!list->isVisible());
    QVERIFY(!bandHasText(dlg.canvas(), 600));
}

void TickWindowTest::consultTabHidesThePriceList()
{
    QWidget parent;
    parent.resize(600, 400);
    Min_Price_List_Dlg dlg(&parent);
    dlg.setGeometry(0, 0, 600, Min_Price_List_Dlg::kChartHeight);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    dlg.showMode(Mode::Prices);
    QVERIFY(dlg.priceList()->isVisible());
    const size_t before = m_server->requestCount();
    QTest::mouseClick(&dlg, Qt::LeftButton, {}, dlg.tabRect(1).center());
    QCOMPARE(dlg.mode(), Mode::Consult);
    QVERIFY(!dlg.priceList()->isVisible());
    QCOMPARE(m_server->requestCount(), before);
    const QImage canvas = dlg.canvas();
    QCOMPARE(canvas.pixel(dlg.tabRect(1).left() + 3, 330), QColor(41, 41, 41).rgb());
    QCOMPARE(canvas.pixel(dlg.tabRect(0).left() + 3, 330), QColor(66, 66, 66).rgb());
    QCOMPARE(canvas.pixel(dlg.tabRect(2).left() + 3, 330), QColor(66, 66, 66).rgb());

    QTest::mouseClick(&dlg, Qt::LeftButton, {}, dlg.tabRect(0).center());
    QCOMPARE(dlg.mode(), Mode::Ticks);
    QCOMPARE(m_server->requestCount(), before + 1);
}

void TickWindowTest::escapeDoesNotCloseTheWindow()
{
    QWidget parent;
    parent.resize(600, 400);
    Min_Price_List_Dlg dlg(&parent);
    dlg.setGeometry(0, 0, 600, 350);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
}

QTEST_MAIN(TickWindowTest)
#include "TickWindowTest.moc"
