#include "mainwnd/Detail_Trans_Dlg.h"

#include "trade/PanelWindow.h"
#include "trade/low_Delivery_Application_Dlg.h"
#include "trade/low_Delivery_Query_Dlg.h"
#include "trade/low_Financial_Position_Dlg.h"
#include "trade/low_Gold_Application_Dlg.h"
#include "trade/low_Gold_Status_Dlg.h"
#include "trade/low_Histor_Transaction_Dlg.h"
#include "trade/low_HistoryofGold_Dlg.h"
#include "trade/low_Today_order_Dlg.h"
#include "trade/low_Today_transaction_Dlg.h"
#include "trade/low_change_message_dlg.h"
#include "trade/low_change_passd_dlg.h"
#include "trade/low_deal_buy_dlg.h"
#include "trade/low_deal_revoke_dlg.h"
#include "trade/low_deal_sell_dlg.h"

trade::PanelWindow* Detail_Trans_Dlg::createHostedWindow(Hosted which, QWidget* panel)
{
    switch (which) {
    case Hosted::Buy: return new low_deal_buy_dlg(panel);
    case Hosted::Sell: return new low_deal_sell_dlg(panel);
    case Hosted::Cancel: return new low_deal_revoke_dlg(panel);
    case Hosted::DeliveryApplication: return new low_Delivery_Application_Dlg(panel);
    case Hosted::WithdrawalApplication: return new low_Gold_Application_Dlg(panel);
    case Hosted::WithdrawalStatus: return new low_Gold_Status_Dlg(panel);
    case Hosted::WithdrawalHistory: return new low_HistoryofGold_Dlg(panel);
    case Hosted::Funds: return new low_Financial_Position_Dlg(panel);
    case Hosted::TodayOrders: return new low_Today_order_Dlg(panel);
    case Hosted::TodayTrades: return new low_Today_transaction_Dlg(panel);
    case Hosted::TradeHistory: return new low_Histor_Transaction_Dlg(panel);
    case Hosted::DeliveryQuery: return new low_Delivery_Query_Dlg(panel);
    case Hosted::ChangePassword: return new low_change_passd_dlg(panel);
    case Hosted::ChangeDetails: return new low_change_message_dlg(panel);
    }
    return nullptr;
}
