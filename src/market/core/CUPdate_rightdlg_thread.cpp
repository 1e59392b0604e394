#include "CUPdate_rightdlg_thread.h"

#include "client/Call.h"
#include "session/Session.h"

CUPdate_rightdlg_thread::CUPdate_rightdlg_thread(QObject* parent)
    : market::PollerThread(market::WM_UPDATE_RIGHTDLG, parent)
{
}

void CUPdate_rightdlg_thread::handle(int wParam, long lParam)
{
    const bool force = lParam == 1;
    const market::CurrentItem item = Session::current().currentItem();
    // Another item's reply is news even when its text is the same as the last one's.
    if (item.generation != m_item.generation) {
        m_lastQuote = {};
        m_lastTicks = {};
    }
    m_item = item;
    if (wParam == static_cast<int>(market::QuoteRequest::Realtime)) {
        const std::string reply = client::fetchItemText(client::Endpoint::Realtime, item.code);
        if (m_lastQuote.offer(reply, force))
            LoadRealtime(reply);
    } else if (wParam == static_cast<int>(market::QuoteRequest::Ticks)) {
        const std::string reply = client::fetchItemText(client::Endpoint::DealDetailLatest, item.code);
        if (m_lastTicks.offer(reply, force))
            LoadDealTicks(reply);
    }
}
