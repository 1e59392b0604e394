#include "app/Lock_Detail_dlg.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "session/Session.h"
#include "controls/CButtonBMP.h"
#include "platform/Bitmaps.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"

namespace {

const QColor kText(16, 16, 16);
const QColor kFrame(160, 160, 160);
constexpr const char* kCoveredProperty = "velmoraLockDisabled";

} // namespace

Lock_Detail_dlg::Lock_Detail_dlg(QWidget* panel)
    : QWidget(panel)
{
    setObjectName(QStringLiteral("Lock_Detail_dlg"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    const QFont font = platform::font(QStringLiteral("宋体"), 18);

    m_account = new QLineEdit(this);
    m_account->setObjectName(QString::number(kAccount));
    m_account->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_account));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QString::number(kPassword));
    m_password->setEchoMode(QLineEdit::Password);
    for (QLineEdit* box : {m_account, m_password}) {
        box->setFrame(false);
        box->setFont(platform::font(QStringLiteral("宋体"), 15));
    }

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QString::number(kOk));
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QString::number(kCancel));
    for (QPushButton* button : {m_ok, m_cancel}) {
        button->setAutoDefault(false);
        button->setFont(platform::font(QStringLiteral("宋体"), 15));
    }
    connect(m_ok, &QPushButton::clicked, this, &Lock_Detail_dlg::onUnlock);
    connect(m_cancel, &QPushButton::clicked, this, &Lock_Detail_dlg::onCancel);

    m_exit = CButtonBMP::Create(this, kExitTrading, QString(),
                                {platform::bmp::PanelClose, platform::bmp::PanelCloseHover,
                                 platform::bmp::PanelClosePressed},
                                QRect(0, 0, 14, 26));
    m_exit->setToolTip(QStringLiteral("退出交易"));
    m_hide = CButtonBMP::Create(this, kHide, QString(),
                                {platform::bmp::PanelHide, platform::bmp::PanelHideHover,
                                 platform::bmp::PanelHidePressed},
                                QRect(0, 0, 14, 26));
    m_hide->setToolTip(QStringLiteral("隐藏"));
    connect(m_exit, &QPushButton::clicked, this, &Lock_Detail_dlg::onExitTrading);
    connect(m_hide, &QPushButton::clicked, this, &Lock_Detail_dlg::onHide);

    setFont(font);
    panel->installEventFilter(this);
    setGeometry(panel->rect());
    hide();
}

void Lock_Detail_dlg::lock()
{
    setGeometry(parentWidget()->rect());
    setCoveredEnabled(false);
    show();
    raise();
    m_account->setFocus(Qt::OtherFocusReason);
}

void Lock_Detail_dlg::setCoveredEnabled(bool enabled)
{
    // Under the cover nothing may take a key or a click, not even by Tab from the boxes.
    // Only what the lock itself disabled is enabled again.
    for (QObject* object : parentWidget()->children()) {
        auto* w = qobject_cast<QWidget*>(object);
        if (!w || w == this || w->isWindow())
            continue;
        if (!enabled && w->isEnabled()) {
            w->setProperty(kCoveredProperty, true);
            w->setEnabled(false);
        } else if (enabled && w->property(kCoveredProperty).toBool()) {
            w->setProperty(kCoveredProperty, QVariant());
            w->setEnabled(true);
        }
    }
}

void Lock_Detail_dlg::onUnlock()
{
    const Session& session = Session::current();
    if (m_account->text().toStdString() != session.userId() || m_password->text().toStdString() != session.password()) {
        platform::messageBox(this, QString::fromUtf8(kWrongCredentials));
        return;
    }
    m_account->clear();
    m_password->clear();
    hide();
    setCoveredEnabled(true);
    emit unlocked();
}

void Lock_Detail_dlg::onCancel()
{
    m_account->clear();
    m_password->clear();
}

void Lock_Detail_dlg::onExitTrading()
{
    const auto answer = platform::messageBox(this, QString::fromUtf8(kConfirmExitTrading),
                                             platform::MsgButtons::YesNo, platform::MsgIcon::Question);
    if (answer != platform::MsgResult::Yes)
        return;
    hide();
    Session::current().setLoggedIn(false);
    emit tradingLeft();
}

void Lock_Detail_dlg::onHide()
{
    // The lock stays on: whoever shows the panel again meets it.
    emit hideRequested();
}

void Lock_Detail_dlg::resizeEvent(QResizeEvent*)
{
    const int c = centre();
    m_account->setGeometry(platform::edges(c - 58, 105, c + 107, 123));
    m_password->setGeometry(platform::edges(c - 58, 135, c + 107, 153));
    m_ok->setGeometry(platform::edges(c - 88, 163, c - 18, 185));
    m_cancel->setGeometry(platform::edges(c + 12, 163, c + 82, 185));
    m_exit->move(width() - 14, 0);
    m_hide->move(width() - 38, 0);
}

bool Lock_Detail_dlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void Lock_Detail_dlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (!event->isAutoRepeat())
            onUnlock();
        return;
    case Qt::Key_Escape:
        event->accept(); // the lock cannot be dismissed
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void Lock_Detail_dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int c = centre();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(kFrame);
    p.setBrush(Qt::white);
    const QRect box = platform::edges(c - 120, 70, c + 120, 190);
    p.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
    for (int top : {103, 133})
        p.drawRoundedRect(QRectF(platform::edges(box.left() + 60, top, box.right() + 1 - 10, top + 22))
                              .adjusted(0.5, 0.5, -0.5, -0.5),
                          2.5, 2.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font());
    p.setPen(kText);
    p.drawText(platform::edges(box.left(), 75, box.right() + 1, 95), Qt::AlignCenter | Qt::TextSingleLine,
               QStringLiteral("请输入账号,交易密码解锁"));
    p.drawText(platform::edges(box.left() + 5, 105, box.left() + 60, 125), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("账号:"));
    p.drawText(platform::edges(box.left() + 5, 135, box.left() + 60, 155), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("密码:"));
}
