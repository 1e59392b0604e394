#include "CUPdate_rightdlg_thread.h"

#include "client/Call.h"

CUPdate_rightdlg_thread::CUPdate_rightdlg_thread(QObject* parent)
    : market::PollerThread(market::WM_UPDATE_RIGHTDLG, parent)
{
}

void CUPdate_rightdlg_thread::handle(int wParam, long lParam)
{
    const bool force = lParam == 1;
    if (wParam == static_cast<int>(market::QuoteRequest::Realtime)) {
        const std::string reply = client::fetchText(client::Endpoint::Realtime);
        if (m_lastQuote.offer(reply, force))
            LoadRealtime(reply);
    } else if (wParam == static_cast<int>(market::QuoteRequest::Ticks)) {
        const std::string reply = client::fetchText(client::Endpoint::DealDetailLatest);
        if (m_lastTicks.offer(reply, force))
            LoadDealTicks(reply);
    }
}
