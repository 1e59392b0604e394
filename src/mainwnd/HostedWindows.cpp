#include "mainwnd/Detail_Trans_Dlg.h"

#include <QPainter>

#include "platform/Fonts.h"
#include "trade/PanelWindow.h"
#include "trade/low_deal_buy_dlg.h"
#include "trade/low_deal_revoke_dlg.h"
#include "trade/low_deal_sell_dlg.h"

namespace {

// Stands in the panel for a function whose window is still being built: the right size,
// the function's name and a word that it comes, and no data of any kind.
class ComingWindow final : public trade::PanelWindow
{
public:
    ComingWindow(QWidget* panel, const char* function)
        : PanelWindow(panel)
        , m_function(QString::fromUtf8(function))
    {
        setObjectName(QStringLiteral("ComingWindow"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    QString function() const { return m_function; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(240, 240, 240));
        p.setPen(QColor(160, 160, 160));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.setFont(platform::font(QStringLiteral("宋体"), 16));
        p.setPen(QColor(48, 48, 48));
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("「%1」功能即将开通").arg(m_function));
    }

private:
    QString m_function;
};

} // namespace

trade::PanelWindow* Detail_Trans_Dlg::createHostedWindow(Hosted which, QWidget* panel)
{
    switch (which) {
    case Hosted::Buy: return new low_deal_buy_dlg(panel);
    case Hosted::Sell: return new low_deal_sell_dlg(panel);
    case Hosted::Cancel: return new low_deal_revoke_dlg(panel);
    case Hosted::DeliveryApplication: return new ComingWindow(panel, "交割申请");
    case Hosted::WithdrawalApplication: return new ComingWindow(panel, "出金申请");
    case Hosted::WithdrawalStatus: return new ComingWindow(panel, "出金状态查撤");
    case Hosted::WithdrawalHistory: return new ComingWindow(panel, "历史出金状态查询");
    case Hosted::Funds: return new ComingWindow(panel, "资金持仓");
    case Hosted::TodayOrders: return new ComingWindow(panel, "当日订单");
    case Hosted::TodayTrades: return new ComingWindow(panel, "当日成交");
    case Hosted::TradeHistory: return new ComingWindow(panel, "历史成交");
    case Hosted::DeliveryQuery: return new ComingWindow(panel, "交割查询");
    case Hosted::ChangePassword: return new ComingWindow(panel, "更改密码");
    case Hosted::ChangeDetails: return new ComingWindow(panel, "更改信息");
    }
    return nullptr;
}
