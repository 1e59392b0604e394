#include "trade/Selling_dlg.h"

#include <optional>
#include <vector>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QThreadPool>

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
    // The lookup runs every second, shown or hidden: on the GUI thread a silent service
    // would hold the whole terminal for a transfer's time-out out of every second. It
    // goes to a worker without the request lock, as the market poller's requests do, and
    // one at a time.
    if (m_lookupInFlight)
        return;
    m_lookupInFlight = true;
    const QString code = codeField()->text();
    QPointer<Selling_dlg> self(this);
    QThreadPool::globalInstance()->start([self, code, params = trade::userParams()]() mutable {
        const std::optional<trade::Holding> holding = holdingOf(code, std::move(params), client::Lock::Unlocked);
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(
                app,
                [self, code, holding] {
                    if (self) {
                        self->m_lookupInFlight = false;
                        self->takeHolding(code, holding);
                    }
                },
                Qt::QueuedConnection);
        }
    });
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
    if (code != m_sellableCode)
        takeHolding(code, holdingOf(code, trade::userParams(), client::Lock::Locked));
    const trade::OrderForm order = form();
    if (const auto refusal = trade::checkSell(order, m_sellable)) {
        platform::messageBox(this, QString::fromStdString(*refusal));
        return;
    }
    if (platform::messageBox(this, QStringLiteral("是否卖出"), platform::MsgButtons::YesNo,
                             platform::MsgIcon::Question) != platform::MsgResult::Yes)
        return;
    finishOrder(client::Call(client::Endpoint::Sell, trade::sellParams(order, market::CurrentSession().userId),
                             {"委托卖出返回\n", "\n结束委托卖出返回\n"}));
}
