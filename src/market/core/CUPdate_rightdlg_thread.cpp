#include "CUPdate_rightdlg_thread.h"

#include "client/Call.h"

using market::Handover;
using market::QuoteRequest;

CUPdate_rightdlg_thread::CUPdate_rightdlg_thread(QObject* parent) : TypedPoller(QStringLiteral("poller-quote"), parent)
{
}

void CUPdate_rightdlg_thread::askFor(const market::CurrentItem& item)
{
    if (item.generation != m_item.generation) {
        m_lastQuote = {};
        m_lastTicks = {};
    }
    m_item = item;
}

void CUPdate_rightdlg_thread::requestQuote(const market::CurrentItem& item, Handover handover)
{
    const bool force = handover == Handover::Always;
    ask(QuoteRequest::Realtime, force ? 1 : 0, [this, item, force] {
        askFor(item);
        const std::string reply = client::fetchItemText(client::Endpoint::Realtime, item.code);
        if (m_lastQuote.offer(reply, force))
            m_quote.hand(reply, item);
    });
}

void CUPdate_rightdlg_thread::requestTicks(const market::CurrentItem& item, Handover handover)
{
    const bool force = handover == Handover::Always;
    ask(QuoteRequest::Ticks, force ? 1 : 0, [this, item, force] {
        askFor(item);
        const std::string reply = client::fetchItemText(client::Endpoint::DealDetailLatest, item.code);
        if (m_lastTicks.offer(reply, force))
            m_ticks.hand(reply, item);
    });
}
