#include "CUPdate_thread.h"

#include "client/ApiSign.h"
#include "client/Call.h"
#include "session/Session.h"

using market::MarketRequest;

CUPdate_thread::CUPdate_thread(QObject* parent) : market::PollerThread(market::WM_UPDATE_MARKET, parent) {}


void CUPdate_thread::askFor(const market::CurrentItem& item)
{
    // Another item's reply is news even when its text is the same as the last one's.
    if (item.generation != m_item.generation) {
        m_lastCandles = {};
        m_lastTimeline = {};
    }
    m_item = item;
}

void CUPdate_thread::handle(int wParam, long lParam)
{
    switch (wParam) {
    case static_cast<int>(MarketRequest::Candles): {
        askFor(Session::current().currentItem());
        const int period = static_cast<int>(lParam);
        const std::string reply = client::fetchItemText(client::Endpoint::Histogram, m_item.code,
                                                        std::to_string(period), client::kUntraced,
                                                        client::Lock::Unlocked);
        if (!reply.empty())
            MarketReplied();
        if (m_lastCandles.offer(reply))
            LoadCandles(reply, period);
        break;
    }
    case static_cast<int>(MarketRequest::Timeline): {
        askFor(Session::current().currentItem());
        const std::string tail = "/" + client::timestampText(client::CurrentTimestamp());
        const std::string reply = client::fetchItemText(client::Endpoint::Timeline, m_item.code, tail,
                                                        client::kUntraced, client::Lock::Unlocked);
        if (!reply.empty())
            MarketReplied();
        if (m_lastTimeline.offer(reply))
            LoadTimeline(reply);
        break;
    }
    case static_cast<int>(MarketRequest::OverviewBasic):
    case static_cast<int>(MarketRequest::OverviewExtended): {
        const bool basic = wParam == static_cast<int>(MarketRequest::OverviewBasic);
        const client::TraceLines lines =
            basic ? client::TraceLines{"\n大盘数据\n", "\n结束大盘数据\n"} : client::kUntraced;
        const std::string reply = client::sendSigned(client::Endpoint::UpToTheMinute,
                                                     {{"id", Session::current().userId()}}, lines,
                                                     client::Lock::Unlocked);
        if (!reply.empty())
            MarketReplied();
        if ((basic ? m_lastOverviewBasic : m_lastOverviewExtended).offer(reply))
            LoadOverview(reply, wParam);
        break;
    }
    case static_cast<int>(MarketRequest::StartUp):
        startUpSequence();
        break;
    case static_cast<int>(MarketRequest::UsableCash): {
        const client::ApiReply reply = client::Call(client::Endpoint::AccountApply,
                                                    {{"id", Session::current().userId()}},
                                                    client::kUntraced, client::Lock::Unlocked);
        if (reply.success)
            Session::current().setAvailableCash(client::jsonReal(reply.infor, "cash"));
        pause(m_pauses.afterUsableCash);
        break;
    }
    default:
        break; // kinds 2, 3, 4 and any other: nothing
    }
}

void CUPdate_thread::startUpSequence()
{
    if (!pause(m_pauses.beforeAnnouncements))
        return;
    ShowAnnouncements();
    if (!Session::current().loggedIn())
        return;
    if (!pause(m_pauses.beforeTradePanel))
        return;
    // Placing the panel and refreshing its buy window belong to the panel itself.
    ShowTradePanel();
}
