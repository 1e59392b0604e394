#pragma once

#include <chrono>
#include <string>

#include "market/core/PollerThread.h"
#include "market/core/Pollers.h"
#include "market/core/ReplyCache.h"
#include "session/Records.h"

// Fetches candles, the time-share series, the overview rows and the usable cash for the
// main market window without taking the transport locks, and runs the start-up sequence.
class CUPdate_thread final : public market::PollerThread
{
    Q_OBJECT

public:
    explicit CUPdate_thread(QObject* parent = nullptr);
    ~CUPdate_thread() override { stop(); }

    // Loaders, called on this thread with the reply text.
    market::LoaderSlot<const std::string&, int> LoadCandles; // reply, period code
    // For the chart loaders, on this thread: the item the reply in hand was asked for.
    market::CurrentItem replyItem() const { return m_item; }
    market::LoaderSlot<const std::string&> LoadTimeline;
    market::LoaderSlot<const std::string&, int> LoadOverview; // reply, request kind (5 or 6)
    // On this thread: a market request was answered, its reply changed or not.
    market::LoaderSlot<> MarketReplied;

    // Steps of the start-up sequence that act on windows. Called on this thread: the
    // window side queues them to the GUI thread.
    market::LoaderSlot<> ShowAnnouncements;
    market::LoaderSlot<> ShowTradePanel;

    // Pauses taken inside the handlers; tests shorten them.
    struct Pauses
    {
        std::chrono::milliseconds beforeAnnouncements{3000};
        std::chrono::milliseconds beforeTradePanel{2000};
        std::chrono::milliseconds afterUsableCash{100};
    };
    void setPauses(const Pauses& pauses) { m_pauses = pauses; }

protected:
    void handle(int wParam, long lParam) override;

private:
    void startUpSequence();

    // The item of the chart request in hand; the chart caches hold its replies.
    void askFor(const market::CurrentItem& item);

    Pauses m_pauses;
    market::CurrentItem m_item;
    market::ReplyCache m_lastTimeline;
    market::ReplyCache m_lastCandles; // one cache for every period
    market::ReplyCache m_lastOverviewBasic;
    market::ReplyCache m_lastOverviewExtended;
};
