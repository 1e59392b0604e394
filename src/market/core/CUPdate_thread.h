#pragma once

#include <chrono>
#include <string>

#include "market/core/PollerThread.h"
#include "market/core/Pollers.h"
#include "market/core/ReplyCache.h"
#include "session/Records.h"

class Session;

// Fetches candles, the time-share series, the overview rows and the usable cash for the
// main market window without taking the transport locks, and runs the start-up sequence.
// A changed reply is read by the view's reader on this thread and reaches the view as a value.
class CUPdate_thread final : public market::TypedPoller<market::MarketRequest>
{
    Q_OBJECT

public:
    explicit CUPdate_thread(Session& session, QObject* parent = nullptr);
    ~CUPdate_thread() override { stop(); }

    void requestCandles(const market::CurrentItem& item, int periodCode);
    void requestTimeline(const market::CurrentItem& item);
    // The basic and the extended list ask the same; each keeps its own last reply.
    void requestOverview(market::MarketRequest list);
    void requestUsableCash();
    void requestStartUp();

    // Where changed replies go, with what they were asked for.
    market::Feed<int, market::CurrentItem>& candles() { return m_candles; } // period code, item
    market::Feed<market::CurrentItem>& timeline() { return m_timeline; }
    market::Feed<>& overview() { return m_overview; }
    // A market request was answered, its reply changed or not.
    market::Handoff<>& replied() { return m_replied; }
    // The steps of the start-up sequence that act on windows.
    market::Handoff<>& announcementsDue() { return m_announcementsDue; }
    market::Handoff<>& tradePanelDue() { return m_tradePanelDue; }

    // Pauses taken inside the handlers; tests shorten them.
    struct Pauses
    {
        std::chrono::milliseconds beforeAnnouncements{3000};
        std::chrono::milliseconds beforeTradePanel{2000};
        std::chrono::milliseconds afterUsableCash{100};
    };
    void setPauses(const Pauses& pauses) { m_pauses = pauses; }

private:
    void startUpSequence();
    // The item of the chart request in hand; the chart caches hold its replies.
    void askFor(const market::CurrentItem& item);

    Session& m_session;
    Pauses m_pauses;
    market::CurrentItem m_item;
    market::ReplyCache m_lastTimeline;
    market::ReplyCache m_lastCandles; // one cache for every period
    market::ReplyCache m_lastOverviewBasic;
    market::ReplyCache m_lastOverviewExtended;
    market::Feed<int, market::CurrentItem> m_candles;
    market::Feed<market::CurrentItem> m_timeline;
    market::Feed<> m_overview;
    market::Handoff<> m_replied;
    market::Handoff<> m_announcementsDue;
    market::Handoff<> m_tradePanelDue;
};
