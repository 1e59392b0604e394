#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/Aboxt_wineDlg.h"
#include "app/AppTexts.h"
#include "app/CHtmlCtrl.h"
#include "app/CVelmoraApp.h"
#include "app/CVelmoraDlg.h"
#include "app/LoginDlg.h"
#include "app/RememberedAccount.h"
#include "app/Show_Message_Dlg.h"
#include "app/Show_sys_statu_sdlg.h"
#include "session/Session.h"
#include "app/VerificationCode.h"
#include "client/ApiSign.h"
#include "client/CodePage.h"
#include "client/Endpoints.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "client/Transport.h"
#include "platform/Platform.h"
#include "platform/SaveFile.h"
#include "support/LoopbackServer.h"
#include "support/LoginByHand.h"
#include "support/Widgets.h"

using testsupport::LoopbackServer;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

const QString kUpdateMessage = QString::fromUtf8(app::kUpdateRequired);
const QRect kWorkArea(0, 0, 1920, 1040);
constexpr std::time_t kFixedSecond = 1700000000;

const char* kLoginOk = "{\"success\":\"true\",\"msg\":\"ok\",\"infor\":{\"is_update\":1,\"name\":\"NAME\","
                       "\"email\":\"a@b.c\",\"mobile\":\"13900000000\",\"contract_address\":\"Road 1\","
                       "\"personal_id\":\"110101\",\"account\":\"6222\",\"phone\":8551234,\"address\":\"Street 2\"}}";

QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

using testsupport::child;

// The next second after `now` whose picture code differs from the one drawn at `now`.
std::time_t nextSecondWithAnotherCode(std::time_t now)
{
    std::time_t next = now + 1;
    while (app::DrawVerificationCode(next) == app::DrawVerificationCode(now))
        ++next;
    return next;
}

} // namespace

class AppWindowsTest final : public QObject
{
    Q_OBJECT

private:
    // Replies of the trading service, by path, changeable per test.
    struct Script
    {
        std::mutex mutex;
        std::string login = kLoginOk;
        std::string ad = "{\"success\":\"true\",\"infor\":[]}";
        std::string manifest = "{\"version\":\"v1.6\",\"forced\":\"false\",\"msg\":\"\"}";
    };

    LoopbackServer::Handler tradeHandler()
    {
        return [this](const RecordedRequest& r) {
            std::lock_guard lock(m_script.mutex);
            if (r.path == "/api/v1/user/login")
                return ScriptedReply{200, m_script.login};
            if (r.path == "/api/v1/ad")
                return ScriptedReply{200, m_script.ad};
            return ScriptedReply{404, "{}"};
        };
    }

    void setLogin(std::string body) { std::lock_guard l(m_script.mutex); m_script.login = std::move(body); }
    void setAd(std::string body) { std::lock_guard l(m_script.mutex); m_script.ad = std::move(body); }
    void setManifest(std::string body) { std::lock_guard l(m_script.mutex); m_script.manifest = std::move(body); }

    size_t loginRequests(const LoopbackServer& s) const
    {
        size_t n = 0;
        for (const RecordedRequest& r : s.requests())
            n += r.path == "/api/v1/user/login";
        return n;
    }

    // Fills the boxes so that the next login passes the local checks.
    void fillLogin(CVelmoraDlg& dlg, const QString& account = QStringLiteral("880001"))
    {
        child<QLineEdit>(&dlg, CVelmoraDlg::kAccountPlain)->setText(account);
        child<QLineEdit>(&dlg, CVelmoraDlg::kPassword)->setText(QStringLiteral("pw123"));
        child<QLineEdit>(&dlg, CVelmoraDlg::kCode)->setText(dlg.verificationCode());
    }

    void clickLogin(CVelmoraDlg& dlg)
    {
        QTest::mouseClick(child<QWidget>(&dlg, CVelmoraDlg::kLogin), Qt::LeftButton);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCwd;
    Script m_script;
    std::string m_line0;
    std::string m_line1;
    std::unique_ptr<LoopbackServer> m_trade0;
    std::unique_ptr<LoopbackServer> m_trade1;
    std::unique_ptr<LoopbackServer> m_update;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;

private slots:
    void initTestCase()
    {
        m_line0 = testsupport::UniqueLoopbackAddress(0);
        m_line1 = testsupport::UniqueLoopbackAddress(1);
        m_oldCwd = QDir::currentPath();
        platform::setWorkArea(kWorkArea);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
        platform::setDataDirectory(m_dir->filePath(QStringLiteral("data")));
        platform::setLockDirectory(m_dir->filePath(QStringLiteral("locks")));
        {
            std::lock_guard l(m_script.mutex);
            m_script.login = kLoginOk;
            m_script.ad = "{\"success\":\"true\",\"infor\":[]}";
            m_script.manifest = "{\"version\":\"v1.6\",\"forced\":\"false\",\"msg\":\"\"}";
        }
        m_trade0 = std::make_unique<LoopbackServer>(m_line0, client::kTradePort, tradeHandler());
        m_trade1 = std::make_unique<LoopbackServer>(m_line1, client::kTradePort, tradeHandler());
        m_update = std::make_unique<LoopbackServer>(m_line0, 0, [this](const RecordedRequest& r) {
            std::lock_guard lock(m_script.mutex);
            return r.path == "/pc_update.json" ? ScriptedReply{200, m_script.manifest} : ScriptedReply{404, ""};
        });
        client::Options o = client::defaultOptions();
        o.line0Host = m_line0;
        o.line1Host = m_line1;
        o.updateHost = m_line0 + ":" + std::to_string(m_update->port());
        Session::current().setOptions(o);
        client::LoadLineChoice();
        Session::current().resetForTest();
        app::setCodeClock([] { return kFixedSecond; });
        m_boxes = std::make_unique<platform::MessageBoxRecorder>();
    }

    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<CVelmoraDlg*>(w))
                delete w;
        m_boxes.reset();
        app::setCodeClock(nullptr);
        m_trade0.reset();
        m_trade1.reset();
        m_update.reset();
        QDir::setCurrent(m_oldCwd);
        m_dir.reset();
    }

    void loginWindowLayoutAndControls()
    {
        CVelmoraDlg dlg;
        QCOMPARE(dlg.size(), QSize(540, 315));
        QCOMPARE(dlg.pos(), QPoint(690, 362)); // centred in the work area
        for (int id : {1108, 1110, 195, 206, 193, 1078, 1106})
            QVERIFY2(child<QWidget>(&dlg, id), qPrintable(QString::number(id)));
        QCOMPARE(child<QWidget>(&dlg, CVelmoraDlg::kLogin)->geometry(), QRect(162, 228, 226, 35));
        QCOMPARE(child<QWidget>(&dlg, CVelmoraDlg::kClose)->geometry(), QRect(508, 0, 32, 28));
        QCOMPARE(child<QWidget>(&dlg, CVelmoraDlg::kLineSelect)->geometry(), QRect(37, 272, 96, 23));
        QVERIFY(!dlg.mask().contains(QPoint(0, 0))); // rounded corners
        QVERIFY(dlg.mask().contains(QPoint(270, 150)));
        QCOMPARE(child<QLineEdit>(&dlg, CVelmoraDlg::kAccountMasked)->echoMode(), QLineEdit::Password);
        QVERIFY(m_boxes->calls().empty());

        // The picture shows the digits of the code in the colours of their values.
        dlg.show();
        const QImage shot = dlg.grab().toImage();
        const QRect picture = dlg.codePictureRect();
        const std::string code = app::DrawVerificationCode(kFixedSecond);
        for (int i = 0; i < 4; ++i) {
            const QColor want = app::VerificationDigitColour(code[std::size_t(i)] - '0');
            bool found = false;
            for (int x = picture.left() + 18 * i; x < picture.left() + 18 * i + 16 && !found; ++x)
                for (int y = picture.top(); y <= picture.bottom() && !found; ++y)
                    found = QColor(shot.pixel(x, y)) == want;
            QVERIFY2(found, qPrintable(QStringLiteral("digit %1").arg(i)));
        }
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        shot.save(QStringLiteral(RENDER_DIR "/login.png"));
    }

    void localChecksComeInOrderAndSendNothing()
    {
        CVelmoraDlg dlg;
        dlg.onLogin();
        child<QLineEdit>(&dlg, CVelmoraDlg::kAccountPlain)->setText(QStringLiteral("880001"));
        dlg.onLogin();
        child<QLineEdit>(&dlg, CVelmoraDlg::kPassword)->setText(QStringLiteral("pw"));
        child<QLineEdit>(&dlg, CVelmoraDlg::kCode)->setText(QStringLiteral("x"));
        dlg.onLogin();
        QCOMPARE(m_boxes->texts(), (QStringList{QStringLiteral("请输入账号"), QStringLiteral("请输入密码"),
                                                QStringLiteral("验证码错误,请重新输入")}));
        QCOMPARE(loginRequests(*m_trade0), 0u);
        QVERIFY(dlg.isVisible() == false || !dlg.marketWindow());
    }

    void failedAndRefusedLoginsChangeNothing()
    {
        CVelmoraDlg dlg;
        dlg.show();
        setLogin("<html>busy</html>");
        fillLogin(dlg);
        clickLogin(dlg);
        setLogin(client::utf8ToWire("{\"success\":\"false\",\"msg\":\"密码错误\"}"));
        clickLogin(dlg);
        QCOMPARE(m_boxes->texts(), (QStringList{QStringLiteral("登陆失败"), QStringLiteral("密码错误")}));
        QCOMPARE(loginRequests(*m_trade0), 2u);
        QVERIFY(!Session::current().loggedIn());
        QVERIFY(!dlg.marketWindow());
        QVERIFY(dlg.isVisible());
        QCOMPARE(child<QLineEdit>(&dlg, CVelmoraDlg::kPassword)->text(), QStringLiteral("pw123"));

        // The request is the signed login with the hashed password.
        const RecordedRequest r = m_trade0->requests().front();
        const auto verified = client::verifySignedBody(client::endpointInfo(client::Endpoint::Login), r.body,
                                                       Session::current().options().signKey);
        QVERIFY2(verified.ok, verified.error.c_str());
        QCOMPARE(verified.params.at("username"), std::string("880001"));
        QCOMPARE(verified.params.at("passwd"), client::hashPassword("pw123"));
    }

    void successfulLoginFillsTheSessionAndOpensTheMarket()
    {
        setLogin(client::utf8ToWire(std::string(kLoginOk).replace(std::string(kLoginOk).find("NAME"), 4, "张三")));
        writeFile(QStringLiteral("signinaccount"), "{\"id_account\":\"old\"}");
        CVelmoraDlg dlg;
        dlg.show();
        QVERIFY(dlg.rememberAccount());
        // Untick the picture: a successful login then empties the file.
        const QRect check = dlg.rememberPictureRect();
        QTest::mouseClick(&dlg, Qt::LeftButton, {}, check.center());
        QTRY_VERIFY(!dlg.rememberAccount());
        fillLogin(dlg, QStringLiteral("00880001"));
        clickLogin(dlg);

        QVERIFY(m_boxes->calls().empty());
        const Session& s = Session::current();
        QVERIFY(s.loggedIn());
        const UserRecord r = s.userRecord();
        QCOMPARE(r.id, std::string("00880001")); // as typed, leading zeros kept
        QCOMPARE(r.password, std::string("pw123"));
        QCOMPARE(r.is_update, 1);
        QCOMPARE(QString::fromStdString(r.name), QStringLiteral("张三"));
        QCOMPARE(r.email, std::string("a@b.c"));
        QCOMPARE(r.mobile, std::string("13900000000"));
        QCOMPARE(r.contract_address, std::string("Road 1"));
        QCOMPARE(r.personal_id, std::string("110101"));
        QCOMPARE(r.account, std::string("6222"));
        QCOMPARE(r.phone, std::string("8551234")); // a number where text was expected
        QCOMPARE(r.address, std::string("Street 2"));

        QVERIFY(child<QLineEdit>(&dlg, CVelmoraDlg::kPassword)->text().isEmpty());
        QWidget* market = dlg.marketWindow();
        QVERIFY(market && market->isVisible());
        QCOMPARE(market->geometry(), kWorkArea);
        QCOMPARE(market->windowTitle(), QStringLiteral("   Velmora"));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(readFile(QStringLiteral("signinaccount")), QString());

        // A second login reuses the same market window.
        dlg.show();
        fillLogin(dlg);
        clickLogin(dlg);
        QCOMPARE(dlg.marketWindow(), market);
    }

    void rememberedAccountFile()
    {
        writeFile(QStringLiteral("signinaccount"), QByteArray());
        {
            CVelmoraDlg dlg;
            QVERIFY(!dlg.rememberAccount());
            QVERIFY(dlg.accountText().isEmpty());
        }
        writeFile(QStringLiteral("signinaccount"), "{\n   \"id_account\" : \"880001\"\n}\n");
        CVelmoraDlg dlg;
        QVERIFY(dlg.rememberAccount());
        QCOMPARE(dlg.accountText(), QStringLiteral("880001"));
        fillLogin(dlg, QStringLiteral("880002"));
        dlg.onLogin();
        QCOMPARE(readFile(QStringLiteral("signinaccount")), QStringLiteral("{\n   \"id_account\" : \"880002\"\n}\n"));
    }

    void settingsThatCannotBeSavedAreReported()
    {
        // Folders where the files should be: neither can be replaced.
        QVERIFY(QDir().mkpath(QStringLiteral("signinaccount")));
        QVERIFY(QDir().mkpath(QStringLiteral("connect")));
        CVelmoraDlg dlg;
        dlg.show();
        fillLogin(dlg);
        dlg.onLogin();
        QVERIFY(Session::current().loggedIn()); // the login holds all the same
        // Named once as the window opens (a folder is no file to read), then as unsaved.
        QCOMPARE(m_boxes->texts(),
                 QStringList({QString::fromStdString(app::rememberedAccountProblemText("signinaccount")),
                              platform::saveFailedText(QStringLiteral("signinaccount"))}));
        QVERIFY(m_boxes->texts().back().endsWith(QStringLiteral("/signinaccount")));

        m_boxes->clear();
        Show_sys_statu_sdlg status(nullptr);
        status.show();
        status.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&status));
        status.lineList()->setFocus();
        QTRY_VERIFY(status.lineList()->hasFocus());
        status.lineList()->setCurrentIndex(1);
        status.lineList()->clearFocus();
        QTRY_COMPARE(m_boxes->texts(), QStringList{platform::saveFailedText(QStringLiteral("connect"))});
        QCOMPARE(Session::current().lineIndex(), 1); // the line is in use for this run
    }

    void accountDisplaySwitchKeepsTheText()
    {
        CVelmoraDlg dlg;
        dlg.show();
        child<QLineEdit>(&dlg, CVelmoraDlg::kAccountPlain)->setText(QStringLiteral("123"));
        QTest::mouseClick(&dlg, Qt::LeftButton, {}, dlg.accountModeZone().center());
        QTRY_VERIFY(dlg.accountMasked());
        auto* masked = child<QLineEdit>(&dlg, CVelmoraDlg::kAccountMasked);
        QVERIFY(masked->isVisible());
        QCOMPARE(masked->text(), QStringLiteral("123"));
        masked->setText(QStringLiteral("1234"));
        QCOMPARE(dlg.accountText(), QStringLiteral("1234"));
    }

    void verificationCodeFollowsTheSecondsClock()
    {
        QCOMPARE(app::DrawVerificationCode(kFixedSecond), app::DrawVerificationCode(kFixedSecond));
        CVelmoraDlg dlg;
        dlg.show();
        const QString first = dlg.verificationCode();
        QCOMPARE(first.toStdString(), app::DrawVerificationCode(kFixedSecond));
        QTest::mouseClick(&dlg, Qt::LeftButton, {}, dlg.codePictureRect().center());
        QCOMPARE(dlg.verificationCode(), first); // same second, same code

        std::time_t now = kFixedSecond;
        app::setCodeClock([&now] { return now; });
        for (now = kFixedSecond + 1; app::DrawVerificationCode(now) == first.toStdString(); ++now) {}
        // A wrong code draws a new one from the clock.
        child<QLineEdit>(&dlg, CVelmoraDlg::kAccountPlain)->setText(QStringLiteral("1"));
        child<QLineEdit>(&dlg, CVelmoraDlg::kPassword)->setText(QStringLiteral("1"));
        child<QLineEdit>(&dlg, CVelmoraDlg::kCode)->setText(first);
        now = kFixedSecond; // the code shown when the user typed it...
        dlg.update();
        QTest::qWait(0);
        for (now = kFixedSecond + 1; app::DrawVerificationCode(now) == first.toStdString(); ++now) {}
        child<QLineEdit>(&dlg, CVelmoraDlg::kCode)->setText(QStringLiteral("99999"));
        dlg.onLogin();
        QCOMPARE(dlg.verificationCode().toStdString(), app::DrawVerificationCode(now));

        // The password box losing the focus draws anew as well.
        ++now;
        auto* password = child<QLineEdit>(&dlg, CVelmoraDlg::kPassword);
        dlg.activateWindow();
        password->setFocus();
        QTRY_VERIFY(password->hasFocus());
        child<QLineEdit>(&dlg, CVelmoraDlg::kCode)->setFocus();
        QTRY_COMPARE(dlg.verificationCode().toStdString(), app::DrawVerificationCode(now));
    }

    void codeReadAtAReadingPaceIsAccepted_data()
    {
        QTest::addColumn<bool>("relogin");
        QTest::newRow("login window") << false;
        QTest::newRow("re-login window") << true;
    }

    // Seconds pass while the user reads and types; every keystroke and cursor blink repaints
    // the window behind the edit, but the code that is checked stays the one on screen.
    void codeReadAtAReadingPaceIsAccepted()
    {
        QFETCH(bool, relogin);
        std::time_t now = kFixedSecond;
        app::setCodeClock([&now] { return now; });
        std::unique_ptr<CVelmoraDlg> dlg(relogin ? new LoginDlg(nullptr) : new CVelmoraDlg);
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
        // A paint of the whole picture may draw a new code; the screen then shows it.
        now = nextSecondWithAnotherCode(now);
        dlg->repaint();
        QCOMPARE(dlg->verificationCode().toStdString(), app::DrawVerificationCode(now));
        QCOMPARE(testsupport::ReadPictureCode(*dlg), dlg->verificationCode());

        QLineEdit* code = testsupport::TypeAccountAndPassword(*dlg, QStringLiteral("880001"), QStringLiteral("pw123"));
        QVERIFY(code);
        const QString shown = testsupport::ReadPictureCode(*dlg);
        QCOMPARE(shown, dlg->verificationCode());

        for (const QChar digit : shown) {
            now = nextSecondWithAnotherCode(now);
            QTest::keyClicks(code, QString(digit));
            for (int id : {CVelmoraDlg::kAccountPlain, CVelmoraDlg::kPassword, CVelmoraDlg::kCode})
                child<QWidget>(dlg.get(), id)->repaint(); // a cursor blink
            QTest::qWait(0);
        }
        QCOMPARE(testsupport::ReadPictureCode(*dlg), shown);
        QTest::keyClick(code, Qt::Key_Return);
        QVERIFY2(m_boxes->calls().empty(), qPrintable(m_boxes->texts().join(QLatin1Char('|'))));
        QCOMPARE(loginRequests(*m_trade0), 1u);
        QVERIFY(Session::current().loggedIn());
    }

    void enterLogsInOncePerPressAndEscapeEnds()
    {
        auto* dlg = new CVelmoraDlg;
        dlg->setAttribute(Qt::WA_DeleteOnClose);
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
        auto* code = child<QLineEdit>(dlg, CVelmoraDlg::kCode);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(code, &press);
        QApplication::sendEvent(code, &repeat);
        QApplication::sendEvent(code, &repeat);
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("请输入账号")});

        QPointer<CVelmoraDlg> alive(dlg);
        QTest::keyClick(code, Qt::Key_Escape);
        QTRY_VERIFY(alive.isNull());
    }

    void browseThenFailedLoginStaysInBrowseMode()
    {
        CVelmoraDlg dlg;
        dlg.show();
        QTest::mouseClick(&dlg, Qt::LeftButton, {}, dlg.browseZone().center());
        QWidget* market = dlg.marketWindow();
        QVERIFY(market && market->isVisible());
        QCOMPARE(market->geometry(), kWorkArea);
        QVERIFY(!Session::current().loggedIn());
        QVERIFY(dlg.isVisible()); // stays open behind the market window

        setLogin("{\"success\":\"false\",\"msg\":\"no\"}");
        fillLogin(dlg);
        dlg.onLogin();
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("no")});
        QVERIFY(!dlg.isVisible());
        QVERIFY(market->isVisible());
        QVERIFY(!Session::current().loggedIn());
    }

    void forcedUpdateRefusesLoginAndBrowse()
    {
        setManifest(client::utf8ToWire("{\"version\":\"v1.7\",\"forced\":true,\"msg\":\"请下载新版\"}"));
        CVelmoraDlg dlg;
        dlg.show();
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("请下载新版")});
        QVERIFY(!dlg.loginPermitted());
        m_boxes->clear();
        fillLogin(dlg);
        clickLogin(dlg);
        QTest::mouseClick(&dlg, Qt::LeftButton, {}, dlg.browseZone().center());
        QCOMPARE(m_boxes->texts(), (QStringList{kUpdateMessage, kUpdateMessage}));
        QCOMPARE(loginRequests(*m_trade0), 0u);
        QVERIFY(!dlg.marketWindow());
        // Line selection still works.
        QTest::mouseClick(child<QWidget>(&dlg, CVelmoraDlg::kLineSelect), Qt::LeftButton);
        QVERIFY(dlg.statusWindow() && dlg.statusWindow()->isVisible());
        QCOMPARE(dlg.statusWindow()->geometry(), QRect(150, 250, 600, 250));
    }

    void manifestVersions_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("same version") << QByteArray("{\"version\":\"v1.6\",\"forced\":\"true\",\"msg\":\"m\"}") << QStringList{};
        QTest::newRow("older, not forced") << QByteArray("{\"version\":\"v1.5\",\"forced\":\"false\",\"msg\":\"m\"}")
                                           << QStringList{QStringLiteral("m")};
        QTest::newRow("case differs") << QByteArray("{\"version\":\"V1.6\",\"forced\":\"TRUE\",\"msg\":\"m\"}")
                                      << QStringList{QStringLiteral("m")};
        QTest::newRow("error page") << QByteArray("<html>404</html>") << QStringList{};
    }

    void manifestVersions()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(QStringList, shown);
        setManifest(manifest.toStdString());
        CVelmoraDlg dlg;
        QCOMPARE(m_boxes->texts(), shown);
        QVERIFY(dlg.loginPermitted());
        m_boxes->clear();
        fillLogin(dlg);
        dlg.onLogin();
        QVERIFY(m_boxes->calls().empty());
        QVERIFY(Session::current().loggedIn());
    }

    void unreachableUpdateHostSaysNothing()
    {
        const std::uint16_t port = m_update->port();
        m_update.reset(); // nothing listens there any more
        client::Options o = Session::current().options();
        o.updateHost = m_line0 + ":" + std::to_string(port);
        Session::current().setOptions(o);
        CVelmoraDlg dlg;
        QVERIFY(m_boxes->calls().empty());
        QVERIFY(dlg.loginPermitted());
    }

    void applicationRunEndsWithTheLoginWindow()
    {
        QTimer::singleShot(0, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dlg = qobject_cast<CVelmoraDlg*>(w))
                    dlg->close();
        });
        QCOMPARE(CVelmoraApp().run(), 0);

        // While a copy holds the name, another returns at once without a window.
        platform::SingleInstance held(QString::fromUtf8(CVelmoraApp::kInstanceName));
        QVERIFY(held.acquired());
        QCOMPARE(CVelmoraApp().run(), 0);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<CVelmoraDlg*>(w));
        QVERIFY(m_boxes->calls().empty());
    }

    void secondProcessExitsSilently()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->filePath(QStringLiteral("run")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("xdg")));
        QDir().mkpath(m_dir->filePath(QStringLiteral("run")));
        QFile::setPermissions(m_dir->filePath(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QStringList args{QStringLiteral("--workdir"), m_dir->path(), QStringLiteral("--update-host"),
                               QString::fromStdString(Session::current().options().updateHost),
                               QStringLiteral("--line0-host"), QString::fromStdString(m_line0)};
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(VELMORA_EXE), args);
        QVERIFY(first.waitForStarted());
        const QString lock = m_dir->filePath(QStringLiteral("run/CVelmoraApp.lock"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 20000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(VELMORA_EXE), args);
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QCOMPARE(second.readAllStandardError(), QByteArray());
        QCOMPARE(first.state(), QProcess::Running);

        // A copy that died leaves its lock behind; the next start takes it over.
        first.kill();
        QVERIFY(first.waitForFinished(20000));
        QVERIFY(QFile::exists(lock));
        platform::setLockDirectory(m_dir->filePath(QStringLiteral("run")));
        platform::SingleInstance next(QString::fromUtf8(CVelmoraApp::kInstanceName));
        QVERIFY(next.acquired());
    }

    void lineChoiceAppliesToEveryThread()
    {
        writeFile(QStringLiteral("connect"), "{\"connect\":0}");
        CVelmoraDlg dlg;
        dlg.show();
        QTest::mouseClick(child<QWidget>(&dlg, CVelmoraDlg::kLineSelect), Qt::LeftButton);
        Show_sys_statu_sdlg* status = dlg.statusWindow();
        QVERIFY(status);
        QComboBox* lines = status->lineList();
        QCOMPARE(lines->objectName(), QStringLiteral("1154"));
        QCOMPARE(lines->count(), 2);
        QCOMPARE(lines->itemText(1), QStringLiteral("移动"));
        QCOMPARE(lines->currentIndex(), 0);
        status->activateWindow();
        lines->setFocus();
        QTRY_VERIFY(lines->hasFocus());
        lines->setCurrentIndex(1);
        QCOMPARE(Session::current().lineIndex(), 0); // nothing happens before the focus leaves
        dlg.activateWindow();
        child<QLineEdit>(&dlg, CVelmoraDlg::kPassword)->setFocus();
        QTRY_COMPARE(Session::current().lineIndex(), 1);
        QCOMPARE(readFile(QStringLiteral("connect")), QStringLiteral("{\"connect\":1}"));

        // The very next request of a worker thread and of this one goes to line 1.
        std::thread worker([] {
            const auto request = client::buildSignedRequest(client::Endpoint::Ad, {});
            std::string reply;
            client::HttpPostFormNoLock(request.url, request.body, reply);
        });
        worker.join();
        QCOMPARE(m_trade1->requestCount(), 1u);
        fillLogin(dlg);
        dlg.onLogin();
        QCOMPARE(loginRequests(*m_trade1), 1u);
        QCOMPARE(m_trade0->requestCount(), 0u);

        // A new status window shows the stored choice.
        Show_sys_statu_sdlg other(nullptr);
        QCOMPARE(other.lineList()->currentIndex(), 1);
        other.show();
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        other.grab().save(QStringLiteral(RENDER_DIR "/status.png"));
    }

    void announcementPage()
    {
        setAd("{\"success\":\"true\",\"infor\":[{\"title\":\"A\",\"remark\":\"x\"},{\"title\":\"B\",\"remark\":\"y\"}]}");
        {
            Show_Message_Dlg dlg(nullptr);
            QVERIFY(!dlg.isVisible());
            QVERIFY(dlg.pageWritten());
            QCOMPARE(readFile(platform::announcementPagePath()), QStringLiteral("AxBy"));
            QCOMPARE(dlg.view()->toPlainText(), QStringLiteral("AxBy"));
            QCOMPARE(dlg.geometry(), QRect(960 - 277, 520 - 174, 600, 400));
            QCOMPARE(dlg.view()->objectName(), QStringLiteral("3000"));
            QCOMPARE(dlg.view()->geometry(), QRect(QPoint(-1, 28), QPoint(597, 397)));
        }
        QCOMPARE(m_trade0->requests().back().path, std::string("/api/v1/ad"));

        // Unparsable: the old page stays. Refused: an empty page.
        setAd("garbage");
        { Show_Message_Dlg dlg(nullptr); QCOMPARE(dlg.view()->toPlainText(), QStringLiteral("AxBy")); }
        setAd("{\"success\":\"false\",\"msg\":\"no\"}");
        { Show_Message_Dlg dlg(nullptr); QCOMPARE(dlg.view()->toPlainText(), QString()); }
        QCOMPARE(readFile(platform::announcementPagePath()), QString());
        QVERIFY(m_boxes->calls().empty());

        // A page that cannot be written leaves the terminal running.
        QVERIFY(QFile::remove(platform::announcementPagePath()));
        QVERIFY(QDir().mkpath(platform::announcementPagePath())); // a folder where the file should be
        setAd("{\"success\":\"true\",\"infor\":[{\"title\":\"C\",\"remark\":\"z\"}]}");
        Show_Message_Dlg broken(nullptr);
        QVERIFY(!broken.pageWritten());
        QVERIFY(broken.view()->toPlainText().isEmpty());
    }

    void announcementViewGuardsMenuAndAppLinks()
    {
        setAd("{\"success\":\"true\",\"infor\":[{\"title\":\"<h3>Notice</h3>\",\"remark\":\"<p>Delivery week <a href=\\\"app:open\\\">open</a></p>\"}]}");
        Show_Message_Dlg dlg(nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        CHtmlCtrl* view = dlg.view();
        QVERIFY(view->contextMenuSuppressed());

        bool menuSeen = false;
        QTimer guard;
        connect(&guard, &QTimer::timeout, [&menuSeen] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                menuSeen = true;
                popup->close();
            }
        });
        guard.start(20);
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(20, 20), view->viewport()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(view->viewport(), &menu);
        QTest::qWait(60);
        QVERIFY(!menuSeen);

        QSignalSpy commands(view, &CHtmlCtrl::appCommand);
        const QString before = view->toHtml();
        QVERIFY(!view->navigate(QUrl(QStringLiteral("APP:open"))));
        view->setAppCommands({{QStringLiteral("OPEN"), 7}});
        QVERIFY(!view->navigate(QUrl(QStringLiteral("app:open"))));
        QTRY_COMPARE(commands.count(), 1);
        QCOMPARE(commands.at(0).at(0).toInt(), 7);
        QCOMPARE(view->toHtml(), before);

        QDir().mkpath(QStringLiteral(RENDER_DIR));
        dlg.grab().save(QStringLiteral(RENDER_DIR "/announcements.png"));
        Aboxt_wineDlg about(nullptr);
        QCOMPARE(about.geometry(), QRect(250, 250, 600, 250));
        about.show();
        about.grab().save(QStringLiteral(RENDER_DIR "/about.png"));
        QTest::mouseClick(child<QWidget>(&about, Aboxt_wineDlg::kClose), Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(AppWindowsTest)
#include "AppWindowsTest.moc"
