#include <memory>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "market/PriceAlerts.h"
#include "platform/Notices.h"
#include "platform/Platform.h"
#include "session/Session.h"

using market::ItemFigures;

// The alerts window and what an alert does when the overview's rows cross its level.
class PriceAlertsTest final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_oldCwd;
    std::unique_ptr<QWidget> m_window;
    platform::Notices* m_notices = nullptr;
    market::PriceAlerts* m_alerts = nullptr;
    int m_sounds = 0;

    static std::vector<ItemFigures> rows(double latest, double change = 0)
    {
        return {ItemFigures{9160001, "Tolmere", latest, change}, ItemFigures{9160002, "Aubrac", 118.5, -1.25}};
    }
    QByteArray fileBytes() const
    {
        QFile file(QString::fromLatin1(market::kAlertsFile));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void add(market::PriceAlertsDlg& dlg, int condition, const QString& value)
    {
        dlg.conditionBox()->setCurrentIndex(condition);
        dlg.valueField()->setText(value);
        QTest::mouseClick(dlg.addButton(), Qt::LeftButton);
    }

    void addAlert(market::AlertCondition condition, double value)
    {
        market::PriceAlert a;
        a.code = 9160001;
        a.name = "Tolmere";
        a.condition = condition;
        a.value = value;
        m_alerts->add(a);
    }

private slots:
    void initTestCase()
    {
        platform::setWorkArea(QRect(0, 0, 1920, 1040));
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }

    void init()
    {
        Session::current().resetForTest(); // a visitor: alerts need no login
        QFile::remove(QString::fromLatin1(market::kAlertsFile));
        m_window = std::make_unique<QWidget>();
        m_notices = new platform::Notices(m_window.get());
        m_notices->setDesktop(platform::DesktopNotifier(QStringLiteral("no-bus-here")));
        m_notices->setSound([this] { ++m_sounds; });
        m_notices->setSettings({true, true, false});
        m_sounds = 0;
        m_alerts = new market::PriceAlerts(*m_notices, m_window.get());
        m_alerts->setClock([] { return std::int64_t(1709629507); });
    }
    void cleanup() { m_window.reset(); }

    void anAlertSetInTheWindowTellsOnceAndIsReArmedByTheUser()
    {
        market::PriceAlertsDlg dlg(*m_alerts, m_window.get());
        dlg.setItem(9160001, QStringLiteral("Tolmere"));
        dlg.show();
        QStringList conditions;
        for (int i = 0; i < dlg.conditionBox()->count(); ++i)
            conditions << dlg.conditionBox()->itemText(i);
        QCOMPARE(conditions, QStringList({"最新价 ≥", "最新价 ≤", "涨幅 ≥ %", "跌幅 ≥ %"}));
        add(dlg, 0, QStringLiteral("36,5")); // not a number here
        QVERIFY(!dlg.problem()->text().isEmpty());
        QVERIFY(m_alerts->alerts().empty());
        add(dlg, 0, QStringLiteral("36.50"));
        add(dlg, 3, QStringLiteral("2"));
        QCOMPARE(dlg.list()->topLevelItemCount(), 2);
        QCOMPARE(dlg.list()->topLevelItem(0)->text(1), QStringLiteral("最新价 ≥ 36.50"));
        QCOMPARE(dlg.list()->topLevelItem(1)->text(1), QStringLiteral("跌幅 ≥ 2.00%"));
        QCOMPARE(dlg.list()->topLevelItem(0)->text(2), QStringLiteral("等待触发"));
        QVERIFY(fileBytes().contains("price_at_least"));

        m_alerts->check(rows(36.2));
        QVERIFY(!m_notices->window() || !m_notices->window()->isVisible());
        m_alerts->check(rows(36.6, 1.2));
        QVERIFY(m_notices->window()->isVisible());
        QCOMPARE(m_notices->window()->title(), QStringLiteral("价格预警"));
        QCOMPARE(m_notices->window()->lines(),
                 QStringList{QStringLiteral("9160001 Tolmere 最新价 ≥ 36.50，最新价 36.60，涨幅 1.20% ")
                             + dlg.list()->topLevelItem(0)->text(2).mid(4)});
        QCOMPARE(m_sounds, 1);
        QVERIFY(dlg.list()->topLevelItem(0)->text(2).startsWith(QStringLiteral("已触发 ")));
        QVERIFY(fileBytes().contains("\"triggered_at\" : 1709629507"));
        m_alerts->check(rows(36.1));
        m_alerts->check(rows(36.7));
        QCOMPARE(m_sounds, 1); // once, until re-armed

        dlg.list()->setCurrentItem(dlg.list()->topLevelItem(0));
        QTest::mouseClick(dlg.rearmButton(), Qt::LeftButton);
        QCOMPARE(dlg.list()->topLevelItem(0)->text(2), QStringLiteral("等待触发"));
        m_alerts->check(rows(36.8)); // still beyond: no new crossing yet
        QCOMPARE(m_sounds, 1);
        m_alerts->check(rows(36.0));
        m_alerts->check(rows(36.5));
        QCOMPARE(m_sounds, 2);

        dlg.list()->setCurrentItem(dlg.list()->topLevelItem(1));
        QTest::mouseClick(dlg.deleteButton(), Qt::LeftButton);
        QCOMPARE(m_alerts->alerts().size(), std::size_t(1));
        market::PriceAlerts again(*m_notices, m_window.get()); // the next start
        QCOMPARE(again.alerts().size(), std::size_t(1));
        QVERIFY(!again.alerts().front().armed);
    }

    void theChosenItemsQuoteServesThePriceConditionsOnly()
    {
        Session::current().storeItems({{9160001, "Tolmere", 36.0}}, 1);
        addAlert(market::AlertCondition::PriceAtLeast, 36.5);
        addAlert(market::AlertCondition::RiseAtLeast, 0.5); // 36.6 would be 1.67 % up on 36.0
        m_alerts->checkLatest(9160001, 36.6);
        QVERIFY(m_notices->window()->isVisible());
        QCOMPARE(m_notices->window()->lines().size(), 1);
        QVERIFY(m_notices->window()->lines().front().startsWith(QStringLiteral("9160001 Tolmere 最新价 ≥ 36.50")));
        QVERIFY(m_alerts->alerts()[1].armed);
    }

    void aBrokenFileIsNamedOnceAndLeftAloneUntilTheAlertsChange()
    {
        QFile file(QString::fromLatin1(market::kAlertsFile));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[{\"code\": \"soon\"}]");
        file.close();
        platform::MessageBoxRecorder boxes(platform::MsgResult::Ok);
        market::PriceAlerts alerts(*m_notices, m_window.get());
        QCOMPARE(boxes.calls().size(), std::size_t(1));
        QVERIFY(boxes.texts().front().contains(QStringLiteral("预警文件")));
        QVERIFY(alerts.alerts().empty());
        alerts.check(rows(40));
        QCOMPARE(fileBytes(), QByteArray("[{\"code\": \"soon\"}]"));
    }
};

QTEST_MAIN(PriceAlertsTest)
#include "PriceAlertsTest.moc"
