#pragma once

#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "client/ApiReply.h"
#include "trade/core/OrderOutcome.h"

class QWidget;

namespace trade {

// The orders of this process whose reply never came, each looked up in today's orders off
// the GUI thread. Every order window asks here before it sends: the same order (same user,
// code, direction, price and quantity) waits until its lookup has answered, whichever
// window placed it. GUI thread only.
class OrderOutcomes final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OrderOutcomes)

public:
    static OrderOutcomes& instance();

    // Starts the lookup of `order`, sent from `owner` with `detail` (what was sent); the
    // answer is told over `owner` while it lives.
    void lookUp(QWidget* owner, const PlacedOrder& order, const std::string& detail);
    // True, with the user told so, while `order` waits for its lookup; a lookup that failed
    // is tried again.
    bool holdBack(QWidget* owner, const PlacedOrder& order);
    bool awaiting(const PlacedOrder& order) const;

signals:
    // Today's orders as a lookup received them, for the lists that show them.
    void ordersLookedUp(const client::ApiReply& reply);

private:
    OrderOutcomes() = default;

    struct Awaited
    {
        std::string userId;
        PlacedOrder order;
        std::string detail;
        bool lookingUp = false;
    };
    Awaited* find(const PlacedOrder& order);
    Awaited* find(const std::string& userId, const PlacedOrder& order);
    void start(QWidget* owner, Awaited& awaited);
    void answer(QWidget* owner, const std::string& userId, const PlacedOrder& order, const client::ApiReply& reply);

    std::vector<Awaited> m_awaited;
};

} // namespace trade
