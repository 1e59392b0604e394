#include "app/Transaction_Dlg.h"

#include <QPainter>

#include "app/AppTexts.h"
#include "app/CVelmoraDlg.h"
#include "app/MarketWindow.h"
#include "app/UserSession.h"
#include "platform/Fonts.h"

namespace app {

namespace {
MarketWindowFactory& factory()
{
    static MarketWindowFactory f;
    return f;
}
} // namespace

void setMarketWindowFactory(MarketWindowFactory f) { factory() = std::move(f); }

QWidget* createMarketWindow(CVelmoraDlg* owner)
{
    if (factory())
        return factory()(owner);
    return new Transaction_Dlg(owner);
}

} // namespace app

Transaction_Dlg::Transaction_Dlg(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Transaction_Dlg"));
    setWindowTitle(QString::fromUtf8(app::kMarketCaption));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Transaction_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(16, 20, 32));
    p.fillRect(QRect(0, 0, width(), 28), QColor(56, 56, 56));
    p.setPen(QColor(240, 240, 240));
    p.setFont(platform::font(QStringLiteral("宋体"), 16));
    p.drawText(QRect(6, 0, width() - 12, 28), Qt::AlignVCenter | Qt::AlignLeft, windowTitle());
    p.drawText(rect(), Qt::AlignCenter,
               UserSession::instance().loggedIn() ? QStringLiteral("已登录") : QStringLiteral("浏览模式"));
}
