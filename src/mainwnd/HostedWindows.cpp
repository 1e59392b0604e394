#include "mainwnd/Detail_Trans_Dlg.h"

#include <QPainter>

#include "platform/Fonts.h"
#include "trade/PanelWindow.h"
#include "trade/low_Delivery_Application_Dlg.h"
#include "trade/low_Delivery_Query_Dlg.h"
#include "trade/low_Financial_Position_Dlg.h"
#include "trade/low_Histor_Transaction_Dlg.h"
#include "trade/low_Today_order_Dlg.h"
#include "trade/low_Today_transaction_Dlg.h"
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
    case Hosted::DeliveryApplication: return new low_Delivery_Application_Dlg(panel);
    case Hosted::WithdrawalApplication: return new ComingWindow(panel, "出金申请");
    case Hosted::WithdrawalStatus: return new ComingWindow(panel, "出金状态查撤");
    case Hosted::WithdrawalHistory: return new ComingWindow(panel, "历史出金状态查询");
    case Hosted::Funds: return new low_Financial_Position_Dlg(panel);
    case Hosted::TodayOrders: return new low_Today_order_Dlg(panel);
    case Hosted::TodayTrades: return new low_Today_transaction_Dlg(panel);
    case Hosted::TradeHistory: return new low_Histor_Transaction_Dlg(panel);
    case Hosted::DeliveryQuery: return new low_Delivery_Query_Dlg(panel);
    case Hosted::ChangePassword: return new ComingWindow(panel, "更改密码");
    case Hosted::ChangeDetails: return new ComingWindow(panel, "更改信息");
    }
    return nullptr;
}
