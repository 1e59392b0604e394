#include "CUPdate_thread.h"

#include <thread>

#include "client/ApiReply.h"
#include "client/ApiSign.h"
#include "client/Endpoints.h"
#include "client/Transport.h"
#include "platform/Trace.h"

using market::MarketRequest;

CUPdate_thread::CUPdate_thread(QObject* parent) : market::PollerThread(market::WM_UPDATE_MARKET, parent) {}

std::string CUPdate_thread::signedPost(int kind, const std::string& userId)
{
    const client::Endpoint endpoint =
        kind == static_cast<int>(MarketRequest::UsableCash) ? client::Endpoint::AccountApply
                                                             : client::Endpoint::UpToTheMinute;
    const client::SignedRequest request = client::BuildSignedRequest(endpoint, {{"id", userId}});
    std::string reply;
    client::HttpPostFormNoLock(request.url, request.body, reply);
    return reply;
}

void CUPdate_thread::handle(int wParam, long lParam)
{
    switch (wParam) {
    case static_cast<int>(MarketRequest::Candles): {
        std::string reply;
        const int period = static_cast<int>(lParam);
        client::HttpGetUrlNoLock(client::EndpointUrl(client::Endpoint::Histogram, std::to_string(period)), reply);
        if (m_lastCandles.offer(reply))
            LoadCandles(reply, period);
        break;
    }
    case static_cast<int>(MarketRequest::Timeline): {
        std::string reply;
        const std::string tail = "/" + client::TimestampText(client::CurrentTimestamp());
        client::HttpGetUrlNoLock(client::EndpointUrl(client::Endpoint::Timeline, tail), reply);
        if (m_lastTimeline.offer(reply))
            LoadTimeline(reply);
        break;
    }
    case static_cast<int>(MarketRequest::OverviewBasic):
    case static_cast<int>(MarketRequest::OverviewExtended): {
        const std::string reply = signedPost(wParam, market::CurrentSession().userId);
        const bool basic = wParam == static_cast<int>(MarketRequest::OverviewBasic);
        if (basic) {
            platform::trace("\n大盘数据\n");
            platform::traceWire(reply);
            platform::trace("\n结束大盘数据\n");
        }
        if ((basic ? m_lastOverviewBasic : m_lastOverviewExtended).offer(reply))
            LoadOverview(reply, wParam);
        break;
    }
    case static_cast<int>(MarketRequest::StartUp):
        startUpSequence();
        break;
    case static_cast<int>(MarketRequest::UsableCash): {
        const client::ApiReply reply = client::ApiReply::FromWire(signedPost(wParam, market::CurrentSession().userId));
        if (reply.success)
            market::SetAvailableCash(static_cast<float>(client::JsonReal(reply.infor, "cash")));
        std::this_thread::sleep_for(m_pauses.afterUsableCash);
        break;
    }
    default:
        break; // kinds 2, 3, 4 and any other: nothing
    }
}

void CUPdate_thread::startUpSequence()
{
    std::this_thread::sleep_for(m_pauses.beforeAnnouncements);
    ShowAnnouncements();
    if (!market::CurrentSession().loggedIn)
        return;
    std::this_thread::sleep_for(m_pauses.beforeTradePanel);
    // Placing the panel and refreshing its buy window belong to the panel itself.
    ShowTradePanel();
}
