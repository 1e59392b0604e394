#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include <QString>
#include <QtGlobal>

class QFont;
class QPainter;
class QRect;

namespace mainwnd {

// The market window's status band: at the left the index caption, what the overview shows
// and the last answer to a key; at the right the line in use, the time of the last market
// reply (red when late) and the account.
class StatusBand final
{
public:
    // No market reply for kQuotesLateMs: the time turns red.
    static constexpr qint64 kQuotesLateMs = 15000;

    StatusBand();

    // The clock, in ms since the epoch; the band counts lateness from the moment it is set.
    void setClock(std::function<qint64()> now);
    void noteMarketReply();
    void setNote(QString note) { m_note = std::move(note); }

    // `watchlistCount` is the number of items the overview shows as the watchlist, none
    // while it shows every item.
    QString statusText(std::optional<std::size_t> watchlistCount) const;
    QString liveText() const;
    bool quotesLate() const;

    void paint(QPainter& p, const QRect& band, const QFont& font,
               std::optional<std::size_t> watchlistCount) const;

private:
    std::function<qint64()> m_now;
    qint64 m_startedMs = 0;
    qint64 m_lastReplyMs = -1; // none yet
    QString m_note;
};

} // namespace mainwnd
