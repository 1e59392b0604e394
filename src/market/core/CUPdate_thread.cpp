#include "CUPdate_thread.h"

#include "client/ApiSign.h"
#include "client/Call.h"
#include "session/Session.h"

using market::MarketRequest;

CUPdate_thread::CUPdate_thread(Session& session, QObject* parent)
    : TypedPoller(QStringLiteral("poller-market"), parent), m_session(session)
{
}

void CUPdate_thread::askFor(const market::CurrentItem& item)
{
    // Another item's reply is news even when its text is the same as the last one's.
    if (item.generation != m_item.generation) {
        m_lastCandles = {};
        m_lastTimeline = {};
    }
    m_item = item;
}

void CUPdate_thread::requestCandles(const market::CurrentItem& item, int periodCode)
{
    ask(MarketRequest::Candles, periodCode, [this, item, periodCode] {
        askFor(item);
        const std::string reply = client::fetchItemText(client::Endpoint::Histogram, item.code,
                                                        std::to_string(periodCode), client::kUntraced,
                                                        client::Lock::Unlocked);
        if (!reply.empty())
            m_replied();
        if (m_lastCandles.offer(reply))
            m_candles.hand(reply, periodCode, item);
    });
}

void CUPdate_thread::requestTimeline(const market::CurrentItem& item)
{
    ask(MarketRequest::Timeline, 0, [this, item] {
        askFor(item);
        const std::string tail = "/" + client::timestampText(client::CurrentTimestamp());
        const std::string reply = client::fetchItemText(client::Endpoint::Timeline, item.code, tail,
                                                        client::kUntraced, client::Lock::Unlocked);
        if (!reply.empty())
            m_replied();
        if (m_lastTimeline.offer(reply))
            m_timeline.hand(reply, item);
    });
}

void CUPdate_thread::requestOverview(MarketRequest list)
{
    const bool basic = list == MarketRequest::OverviewBasic;
    ask(basic ? MarketRequest::OverviewBasic : MarketRequest::OverviewExtended, 0, [this, basic] {
        const client::TraceLines lines =
            basic ? client::TraceLines{"\n大盘数据\n", "\n结束大盘数据\n"} : client::kUntraced;
        const std::string reply = client::sendSigned(client::Endpoint::UpToTheMinute, {{"id", m_session.userId()}},
                                                     lines, client::Lock::Unlocked);
        if (!reply.empty())
            m_replied();
        if ((basic ? m_lastOverviewBasic : m_lastOverviewExtended).offer(reply))
            m_overview.hand(reply);
    });
}

void CUPdate_thread::requestUsableCash()
{
    ask(MarketRequest::UsableCash, 0, [this] {
        const client::ApiReply reply = client::Call(client::Endpoint::AccountApply, {{"id", m_session.userId()}},
                                                    client::kUntraced, client::Lock::Unlocked);
        if (reply.success)
            m_session.setAvailableCash(client::jsonReal(reply.infor, "cash"));
        pause(m_pauses.afterUsableCash);
    });
}

void CUPdate_thread::requestStartUp()
{
    ask(MarketRequest::StartUp, 0, [this] { startUpSequence(); });
}

void CUPdate_thread::startUpSequence()
{
    if (!pause(m_pauses.beforeAnnouncements))
        return;
    m_announcementsDue();
    if (!m_session.loggedIn())
        return;
    if (!pause(m_pauses.beforeTradePanel))
        return;
    // Placing the panel and refreshing its buy window belong to the panel itself.
    m_tradePanelDue();
}
