#include "app/CVelmoraDlg.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>

#include "app/AppTexts.h"
#include "controls/CButtonBMP.h"
#include "app/LoginRequest.h"
#include "app/MarketWindow.h"
#include "app/RememberedAccount.h"
#include "app/Show_sys_statu_sdlg.h"
#include "app/UpdateCheck.h"
#include "session/Session.h"
#include "app/VerificationCode.h"
#include "platform/Bitmaps.h"
#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/SaveFile.h"
#include "platform/Windows.h"
#include "platform/WorkArea.h"

namespace {

const QColor kLabel(222, 222, 222);
const QColor kFrame(160, 160, 160);
const QColor kBrowse(238, 0, 0);

QLineEdit* makeEdit(QWidget* parent, int id, bool password, bool digits, bool frame)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setFrame(frame);
    if (password)
        edit->setEchoMode(QLineEdit::Password);
    if (digits)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

void message(QWidget* parent, const char* utf8) { platform::messageBox(parent, QString::fromUtf8(utf8)); }

} // namespace

CVelmoraDlg::CVelmoraDlg(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("CVelmoraDlg"));
    setUp();
    m_loginPermitted = app::RunUpdateCheck(this);
}

CVelmoraDlg::CVelmoraDlg(QWidget* parent, Relogin)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_relogin(true)
{
    setObjectName(QStringLiteral("LoginDlg"));
    setUp();
}

void CVelmoraDlg::setUp()
{
    setWindowTitle(QString::fromUtf8(platform::kAppCaption));
    setAttribute(Qt::WA_OpaquePaintEvent);

    QDir().mkpath(platform::infoFolder()); // nothing is kept there; a failure does not matter

    const QRect area = platform::workArea();
    setFixedSize(kWidth, kHeight);
    move(area.left() + (area.width() - kWidth) / 2, area.top() + (area.height() - kHeight) / 2);
    platform::setRoundedRegion(this, 16, 16);
    setWindowIcon(platform::appIcon());

    createControls();

    const client::SettingsRead<std::string> remembered = app::ReadRememberedAccount();
    if (remembered.value) {
        m_accountPlain->setText(QString::fromStdString(*remembered.value));
        m_remember = true;
    } else if (!remembered.failed.empty()) {
        platform::messageBox(this, QString::fromStdString(app::rememberedAccountProblemText(remembered.failed)),
                             platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    }
    m_code = app::DrawVerificationCode(app::CodeClock());

    // Enter anywhere in this window logs in; the filter sees it before the focused edit.
    qApp->installEventFilter(this);
}

CVelmoraDlg::~CVelmoraDlg() { qApp->removeEventFilter(this); }

void CVelmoraDlg::createControls()
{
    const int c = centre();
    const QFont editFont = platform::font(QStringLiteral("宋体"), 20);

    m_accountPlain = makeEdit(this, kAccountPlain, false, true, false);
    m_accountMasked = makeEdit(this, kAccountMasked, true, false, false);
    for (QLineEdit* e : {m_accountPlain, m_accountMasked}) {
        e->setGeometry(QRect(QPoint(c - 106, 104), QPoint(c + 84 - 1, 136 - 1)));
        e->setFont(editFont);
    }
    m_accountMasked->hide();
    // One account text whichever display is active.
    connect(m_accountPlain, &QLineEdit::textChanged, m_accountMasked, [this](const QString& t) {
        if (m_accountMasked->text() != t)
            m_accountMasked->setText(t);
    });
    connect(m_accountMasked, &QLineEdit::textChanged, m_accountPlain, [this](const QString& t) {
        if (m_accountPlain->text() != t)
            m_accountPlain->setText(t);
    });

    m_password = makeEdit(this, kPassword, true, false, false);
    m_password->setGeometry(QRect(QPoint(c - 106, 147), QPoint(c + 116 - 1, 179 - 1)));
    m_password->setFont(editFont);

    m_codeInput = makeEdit(this, kCode, false, true, true);
    m_codeInput->setGeometry(QRect(QPoint(c - 106, 191), QPoint(c - 38 - 1, 219 - 1)));
    m_codeInput->setFont(platform::font(QStringLiteral("宋体"), 24, true));
    m_codeInput->setMaxLength(4);

    m_login = CButtonBMP::Create(
        this, kLogin, QString(),
        {platform::bmp::LoginButton, platform::bmp::LoginButtonHover, platform::bmp::LoginButtonPressed},
        QRect(QPoint(c - 108, kHeight - 87), QPoint(c + 118 - 1, kHeight - 52 - 1)));
    connect(m_login, &QAbstractButton::clicked, this, &CVelmoraDlg::onLogin);

    m_close = CButtonBMP::Create(
        this, m_relogin ? kCloseRelogin : kClose, QString(),
        {platform::bmp::CloseButton, platform::bmp::CloseButtonHover, platform::bmp::CloseButtonPressed},
        QRect(kWidth - 32, 0, 32, 28));
    connect(m_close, &QAbstractButton::clicked, this, [this] { m_relogin ? hide() : void(close()); });
    if (m_relogin)
        return; // the re-login form has no line choice

    m_lineSelect = new QPushButton(QStringLiteral("线路选择"), this);
    m_lineSelect->setObjectName(QString::number(kLineSelect));
    m_lineSelect->setFlat(true);
    m_lineSelect->setFocusPolicy(Qt::NoFocus);
    m_lineSelect->setCursor(Qt::PointingHandCursor);
    m_lineSelect->setFont(platform::font(QStringLiteral("宋体"), 20, true));
    m_lineSelect->setStyleSheet(QStringLiteral("QPushButton { color: rgb(222,222,222); background: transparent; "
                                               "border: none; padding: 0; }"));
    m_lineSelect->setGeometry(QRect(QPoint(37, kHeight - 43), QPoint(133 - 1, kHeight - 20 - 1)));
    connect(m_lineSelect, &QPushButton::clicked, this, &CVelmoraDlg::onLineSelect);
}

QString CVelmoraDlg::accountText() const { return m_accountPlain->text(); }
Show_sys_statu_sdlg* CVelmoraDlg::statusWindow() const { return m_status.data(); }

QRect CVelmoraDlg::codePictureRect() const { return QRect(QPoint(centre() - 32, 193), QPoint(centre() + 38 - 1, 217 - 1)); }
QRect CVelmoraDlg::accountModeZone() const { return QRect(QPoint(centre() + 84, 102), QPoint(centre() + 118 - 1, 138 - 1)); }
QRect CVelmoraDlg::rememberPictureRect() const { return QRect(centre() + 63, 197, 16, 16); }
QRect CVelmoraDlg::browseZone() const { return QRect(QPoint(centre() + 48, kHeight - 45), QPoint(centre() + 118 - 1, kHeight - 34 - 1)); }

void CVelmoraDlg::drawNewCode()
{
    m_code = app::DrawVerificationCode(app::CodeClock());
    update(codePictureRect());
}

void CVelmoraDlg::paintEvent(QPaintEvent* event)
{
    const int c = centre();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(rect(), platform::bitmap(platform::bmp::LoginBackground));

    p.setPen(QPen(kFrame, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(QPoint(c - 108, 102), QPoint(c + 118, 138)).adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
    p.drawRoundedRect(QRectF(QPoint(c - 108, 145), QPoint(c + 118, 181)).adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
    p.drawImage(QRect(QPoint(c + 84, 111), QPoint(c + 112 - 1, 131 - 1)), platform::bitmap(platform::bmp::AccountModeIcon));

    // A paint that shows the whole picture draws a new code from the seconds clock. A paint
    // of another part (a keystroke or cursor blink in an edit repaints what lies behind it)
    // keeps the code: the screen still shows its digits, and they are what the user types.
    const QRect picture = codePictureRect();
    if ((QRegion(picture) - event->region()).isEmpty())
        m_code = app::DrawVerificationCode(app::CodeClock());
    p.fillRect(picture, Qt::white);
    p.setFont(platform::font(QStringLiteral("宋体"), 24, true));
    const int ascent = p.fontMetrics().ascent();
    for (int i = 0; i < 4; ++i) {
        const int digit = m_code[std::size_t(i)] - '0';
        p.setPen(app::VerificationDigitColour(digit));
        p.drawText(QPoint(picture.left() + 18 * i, picture.top() - 3 + ascent), QString(QChar('0' + digit)));
    }

    const QRect check = rememberPictureRect();
    p.drawImage(check, platform::bitmap(m_remember ? platform::bmp::CheckOn : platform::bmp::CheckOff));
    p.setFont(platform::font(QStringLiteral("宋体"), 13));
    const int small = p.fontMetrics().ascent();
    p.setPen(kLabel);
    p.drawText(QPoint(check.left() + 21, check.top() + 1 + small), QStringLiteral("记住账号"));
    if (m_relogin)
        return;
    p.setPen(Qt::white);
    p.drawText(QPoint(c - 108, kHeight - 51 + small), QStringLiteral("没有账号?不想登陆?可以先"));
    p.setPen(kBrowse);
    p.drawText(QPoint(c + 48, kHeight - 51 + small), QStringLiteral("浏览交易"));
}

void CVelmoraDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (codePictureRect().contains(at)) {
        drawNewCode();
    } else if (accountModeZone().contains(at)) {
        QTimer::singleShot(100, this, [this] {
            m_masked = !m_masked;
            m_accountPlain->setVisible(!m_masked);
            m_accountMasked->setVisible(m_masked);
        });
    } else if (rememberPictureRect().contains(at)) {
        QTimer::singleShot(10, this, [this] {
            m_remember = !m_remember;
            update(rememberPictureRect());
        });
    } else if (!m_relogin && browseZone().contains(at)) {
        onBrowse();
        return;
    }
    platform::dragWindow(this);
}

bool CVelmoraDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_password && event->type() == QEvent::FocusOut)
        drawNewCode();

    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (!key->isAutoRepeat())
                    onLogin();
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                if (!m_relogin)
                    close();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CVelmoraDlg::onLogin()
{
    if (!m_loginPermitted) {
        message(this, app::kUpdateRequired);
        return;
    }
    const QString account = accountText();
    if (account.isEmpty()) {
        message(this, "请输入账号");
        return;
    }
    const QString password = m_password->text();
    if (password.isEmpty()) {
        message(this, "请输入密码");
        return;
    }
    if (m_codeInput->text().toStdString() != m_code) {
        drawNewCode();
        message(this, "验证码错误,请重新输入");
        return;
    }

    const app::LoginOutcome outcome = app::RequestLogin(account.toStdString(), password.toStdString());
    if (outcome.kind == app::LoginOutcome::Kind::Failed) {
        message(this, "登陆失败");
    } else if (outcome.kind == app::LoginOutcome::Kind::Refused) {
        platform::messageBox(this, QString::fromStdString(outcome.message));
    } else if (m_relogin) {
        // The market window is open already; the command that led here is given again
        // by the user.
        Session::current().setLoggedIn(true);
        Session::current().setUserRecord(outcome.record);
        m_password->clear();
        rememberAccount(account);
        hide();
        return;
    } else {
        Session::current().setLoggedIn(true);
        if (!m_market) {
            m_market = app::createMarketWindow(this);
            m_market->setWindowTitle(QString::fromUtf8(app::kMarketCaption));
        }
        showMarketWindow();
        Session::current().setUserRecord(outcome.record);
        m_password->clear();
        rememberAccount(account);
    }
    if (m_market)
        hide();
}

void CVelmoraDlg::rememberAccount(const QString& account)
{
    // The login has succeeded whatever happens to the file; the user is only told.
    if (!app::WriteRememberedAccount(m_remember ? std::optional(account.toStdString()) : std::nullopt))
        platform::reportSaveFailed(this, QString::fromStdString(client::settingsFolder().pathOf(app::kRememberedAccountFile).string()));
}

void CVelmoraDlg::onBrowse()
{
    if (!m_loginPermitted) {
        message(this, app::kUpdateRequired);
        return;
    }
    if (!m_market) {
        Session::current().setLoggedIn(false);
        m_market = app::createMarketWindow(this);
    }
    showMarketWindow();
}

void CVelmoraDlg::showMarketWindow()
{
    m_market->show();
    m_market->setGeometry(platform::workArea());
    m_market->raise();
}

void CVelmoraDlg::onLineSelect()
{
    if (!m_status)
        m_status = new Show_sys_statu_sdlg(this);
    m_status->setGeometry(Show_sys_statu_sdlg::defaultPlace());
    m_status->show();
    m_status->raise();
}
