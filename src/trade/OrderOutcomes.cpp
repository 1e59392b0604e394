#include "trade/OrderOutcomes.h"

#include <algorithm>

#include <QDateTime>
#include <QPointer>
#include <QWidget>

#include "client/Call.h"
#include "platform/core/CrossThread.h"
#include "platform/Dialogs.h"
#include "session/Session.h"
#include "trade/core/Parsers.h"
#include "trade/Lists.h"

namespace trade {
namespace {

constexpr client::TraceLines kLookupTrace{"\n委托结果查询\n", "\n结束委托结果查询\n"};

// One lookup in flight: lives until its answer has been told.
class Lookup final : public QObject
{
public:
    explicit Lookup(QObject* parent)
        : QObject(parent)
        , m_request(this)
    {
    }
    platform::BackgroundRequest& request() { return m_request; }

private:
    platform::BackgroundRequest m_request;
};

void tell(QWidget* owner, const char* text, const std::string& detail)
{
    platform::MessageBoxCall call;
    call.text = QString::fromUtf8(text);
    call.detail = QString::fromStdString(detail);
    platform::messageBox(owner, call);
}

} // namespace

OrderOutcomes& OrderOutcomes::instance()
{
    // Per process, as the GUI thread is.
    static OrderOutcomes outcomes;
    return outcomes;
}

OrderOutcomes::Awaited* OrderOutcomes::find(const PlacedOrder& order)
{
    return find(Session::current().userId(), order);
}

OrderOutcomes::Awaited* OrderOutcomes::find(const std::string& userId, const PlacedOrder& order)
{
    const auto it = std::find_if(m_awaited.begin(), m_awaited.end(), [&](const Awaited& a) {
        return a.userId == userId && a.order == order;
    });
    return it == m_awaited.end() ? nullptr : &*it;
}

bool OrderOutcomes::awaiting(const PlacedOrder& order) const
{
    return const_cast<OrderOutcomes*>(this)->find(order) != nullptr;
}

void OrderOutcomes::lookUp(QWidget* owner, const PlacedOrder& order, const std::string& detail)
{
    Awaited* awaited = find(order);
    if (!awaited) {
        m_awaited.push_back({Session::current().userId(), order, detail, false});
        awaited = &m_awaited.back();
    }
    if (!awaited->lookingUp)
        start(owner, *awaited);
}

bool OrderOutcomes::holdBack(QWidget* owner, const PlacedOrder& order)
{
    Awaited* awaited = find(order);
    if (!awaited)
        return false;
    if (!awaited->lookingUp)
        start(owner, *awaited);
    tell(owner, kSameOrderBeingChecked, awaited->detail);
    return true;
}

void OrderOutcomes::start(QWidget* owner, Awaited& awaited)
{
    awaited.lookingUp = true;
    auto* lookup = new Lookup(this);
    lookup->request().start(
        [params = userParams()]() mutable {
            return client::Call(client::Endpoint::OrderToday, std::move(params), kLookupTrace, client::Lock::Unlocked);
        },
        [this, lookup, owner = QPointer<QWidget>(owner), userId = awaited.userId,
         order = awaited.order](const client::ApiReply& reply) {
            lookup->deleteLater();
            answer(owner, userId, order, reply);
        });
}

void OrderOutcomes::answer(QWidget* owner, const std::string& userId, const PlacedOrder& order,
                           const client::ApiReply& reply)
{
    Awaited* awaited = find(userId, order);
    if (!awaited)
        return;
    const std::string detail = awaited->detail;
    // Still unknown: the same order stays held back, and its next try looks again. Another
    // account signed in meanwhile is not told of this one's order.
    const bool ownUser = userId == Session::current().userId();
    if (!reply.parsed || !reply.success || !ownUser) {
        awaited->lookingUp = false;
        if (ownUser)
            tell(owner, kOutcomeStillUnknown, detail);
        return;
    }
    m_awaited.erase(m_awaited.begin() + (awaited - m_awaited.data()));
    emit ordersLookedUp(reply);
    const std::vector<OrderRow> rows = ParseOrders(reply).value_or(std::vector<OrderRow>{});
    const bool found = isAmongOrders(rows, order, QDateTime::currentSecsSinceEpoch());
    tell(owner, found ? kOrderFound : kOrderNotFound, detail);
}

} // namespace trade
