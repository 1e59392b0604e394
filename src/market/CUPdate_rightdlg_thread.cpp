#include "CUPdate_rightdlg_thread.h"

#include "client/Endpoints.h"
#include "client/Transport.h"

CUPdate_rightdlg_thread::CUPdate_rightdlg_thread(QObject* parent)
    : market::PollerThread(market::WM_UPDATE_RIGHTDLG, parent)
{
}

void CUPdate_rightdlg_thread::handle(int wParam, long lParam)
{
    const bool force = lParam == 1;
    std::string reply;
    if (wParam == static_cast<int>(market::QuoteRequest::Realtime)) {
        client::HttpGetUrl(client::EndpointUrl(client::Endpoint::Realtime), reply);
        if (m_lastQuote.offer(reply, force))
            LoadRealtime(reply);
    } else if (wParam == static_cast<int>(market::QuoteRequest::Ticks)) {
        client::HttpGetUrl(client::EndpointUrl(client::Endpoint::DealDetailLatest), reply);
        if (m_lastTicks.offer(reply, force))
            LoadDealTicks(reply);
    }
}
