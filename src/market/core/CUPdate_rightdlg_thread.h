#pragma once

#include <string>

#include "market/core/PollerThread.h"
#include "market/core/Pollers.h"
#include "market/core/ReplyCache.h"
#include "session/Records.h"

// Fetches the real-time quote and the latest ticks of an item for the quote panel, under the
// shared GET lock, and hands each changed (or forced) reply on to the panel's readers.
class CUPdate_rightdlg_thread final : public market::TypedPoller<market::QuoteRequest>
{
    Q_OBJECT

public:
    explicit CUPdate_rightdlg_thread(QObject* parent = nullptr);
    ~CUPdate_rightdlg_thread() override { stop(); }

    void requestQuote(const market::CurrentItem& item, market::Handover handover = market::Handover::IfChanged);
    void requestTicks(const market::CurrentItem& item, market::Handover handover = market::Handover::IfChanged);

    market::Feed<market::CurrentItem>& quote() { return m_quote; }
    market::Feed<market::CurrentItem>& ticks() { return m_ticks; }

private:
    // The item of the request in hand; another one's reply is news whatever its text.
    void askFor(const market::CurrentItem& item);

    market::CurrentItem m_item;
    market::ReplyCache m_lastQuote;
    market::ReplyCache m_lastTicks;
    market::Feed<market::CurrentItem> m_quote;
    market::Feed<market::CurrentItem> m_ticks;
};
