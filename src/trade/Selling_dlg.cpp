#include "trade/Selling_dlg.h"

#include <optional>
#include <vector>

#include <QLineEdit>

#include "client/Call.h"
#include "market/Pollers.h"
#include "platform/Bitmaps.h"
#include "platform/Dialogs.h"
#include "trade/Lists.h"

namespace {

trade::QuickOrderDlg::Layout sellingLayout()
{
    namespace bmp = platform::bmp;
    return {QStringLiteral("闪电卖出"),
            QColor(16, 16, 16),
            {{43, "产品代码"}, {73, "产品名称"}, {103, "价     格"}, {133, "可卖数量"}, {163, "数     量"}},
            {40, 70, 100, 130, 160, 190},
            Selling_dlg::kCloseButton,
            Selling_dlg::kCodeField,
            Selling_dlg::kPriceField,
            Selling_dlg::kQuantityField,
            Selling_dlg::kLeftButton,
            Selling_dlg::kOrderButton,
            QRect(75, 165, 115, 20),
            QStringLiteral("卖出"),
            {bmp::QuickSellButton, bmp::QuickSellButtonHover, bmp::QuickSellButtonPressed}};
}

// The holding of the typed code as the service tells it now; nullopt when it does not.
std::optional<trade::Holding> holdingOf(const QString& code, std::vector<client::Param> params, client::Lock lock)
{
    const client::ApiReply reply =
        client::Call(client::Endpoint::CustomerItem, std::move(params), client::kUntraced, lock);
    return trade::FindHolding(reply, static_cast<int>(trade::integerOf(code.toStdString())));
}

} // namespace

Selling_dlg::Selling_dlg(QWidget* parent)
    : trade::QuickOrderDlg(parent, sellingLayout())
{
    setObjectName(QStringLiteral("Selling_dlg"));
    setBoxText(kNameBox, QString());
    setBoxText(kSellableBox, QString());
}

void Selling_dlg::timerTick() { lookUpSellable(); }

void Selling_dlg::codeLeft() { lookUpSellable(); }

void Selling_dlg::prefilled() { lookUpSellable(); }

void Selling_dlg::lookUpSellable()
{
    setBoxText(kNameBox, trade::itemNameForCode(codeField()->text()));
    // The lookup runs every second, shown or hidden, so it never holds the GUI thread.
    const QString code = codeField()->text();
    m_lookup.start([code, params = trade::userParams()]() mutable {
        return holdingOf(code, std::move(params), client::Lock::Unlocked);
    }, [this, code](const std::optional<trade::Holding>& holding) { takeHolding(code, holding); });
}

void Selling_dlg::takeHolding(const QString& code, const std::optional<trade::Holding>& holding)
{
    // A figure for a code the user has since changed is not this code's.
    if (code != codeField()->text())
        return;
    if (!holding) {
        setBoxText(kSellableBox, QString()); // the figure stays as the last lookup left it
        return;
    }
    m_sellable = holding->found ? holding->amountUsable : 0;
    m_sellableCode = code;
    setBoxText(kSellableBox, holding->found ? QString::number(m_sellable) : QString());
}

void Selling_dlg::placeOrder()
{
    // The figure of the last lookup, unless it was looked up for another code: a code
    // changed a moment ago is looked up now, so the check never judges one item's order by
    // another item's position.
    const QString code = codeField()->text();
    if (code != m_sellableCode) {
        m_lookup.supersede();
        takeHolding(code, holdingOf(code, trade::userParams(), client::Lock::Locked));
    }
    const trade::OrderForm order = form();
    // A lookup that failed for this code leaves no figure of its own: nothing is sellable.
    if (const auto refusal = trade::checkSell(order, code == m_sellableCode ? m_sellable : 0)) {
        platform::messageBox(this, QString::fromStdString(*refusal));
        return;
    }
    if (platform::messageBox(this, QStringLiteral("是否卖出"), platform::MsgButtons::YesNo,
                             platform::MsgIcon::Question) != platform::MsgResult::Yes)
        return;
    finishOrder(client::Call(client::Endpoint::Sell, trade::sellParams(order, market::CurrentSession().userId),
                             {"委托卖出返回\n", "\n结束委托卖出返回\n"}));
}
