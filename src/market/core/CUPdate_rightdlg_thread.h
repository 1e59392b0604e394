#pragma once

#include <string>

#include "market/core/PollerThread.h"
#include "market/core/Pollers.h"
#include "market/core/ReplyCache.h"
#include "session/Records.h"

// Fetches the real-time quote and the latest ticks of the followed item for the quote
// panel, under the shared GET lock, and hands each changed (or forced) reply on.
class CUPdate_rightdlg_thread final : public market::PollerThread
{
    Q_OBJECT

public:
    explicit CUPdate_rightdlg_thread(QObject* parent = nullptr);
    ~CUPdate_rightdlg_thread() override { stop(); }

    market::LoaderSlot<const std::string&> LoadRealtime;
    market::LoaderSlot<const std::string&> LoadDealTicks;
    // For the loaders, on this thread: the item the reply in hand was asked for.
    market::CurrentItem replyItem() const { return m_item; }

protected:
    void handle(int wParam, long lParam) override;

private:
    market::CurrentItem m_item;
    market::ReplyCache m_lastQuote;
    market::ReplyCache m_lastTicks;
};
