#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "market/QuotePanelLayout.h"
#include "market/core/Pollers.h"
#include "market/core/RealtimeQuote.h"
#include "session/Records.h"

class CUPdate_rightdlg_thread;

// The real-time quote panel at the right of the chart views: five levels each side, the
// day's figures and the latest ticks. The quote poller reads each reply on its thread and
// hands the panel the values, which it draws into its image; a paint only copies the image.
class Right_Msg_Dlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Right_Msg_Dlg)

public:
    // Placed for a work area of the given size, as a child of the market window.
    Right_Msg_Dlg(QWidget* parent, int workWidth, int workHeight);
    ~Right_Msg_Dlg() override;

    // Starts the quote poller and timer 1; shows the thread failure message and returns
    // false when the poller cannot run.
    bool initialise();

    // What a reply reads as, with the item it was asked for.
    struct Quote
    {
        market::CurrentItem item;
        market::RealtimeQuote quote;
    };
    struct Ticks
    {
        market::CurrentItem item;
        std::vector<market::DealTick> ticks;
    };
    // The poller's readers, on its thread: the reply as it came off the wire, traced and parsed.
    static Quote readQuote(const std::string& wireReply, const market::CurrentItem& item);
    static Ticks readTicks(const std::string& wireReply, const market::CurrentItem& item);
    // Draws what was read; a value for an item the panel has since left is dropped.
    void showQuote(const Quote& quote);
    void showTicks(const Ticks& ticks);

    // A reply read and shown at once, for the item it was asked for (the current one when
    // not given).
    void LoadRealtime(const std::string& wireReply);
    void LoadRealtime(const std::string& wireReply, const market::CurrentItem& item);
    void LoadDealTicks(const std::string& wireReply);
    void LoadDealTicks(const std::string& wireReply, const market::CurrentItem& item);
    // Empties the panel for a newly chosen item and asks for its figures at once.
    void showItem(const market::CurrentItem& item);

    const market::QuotePanelLayout& layout() const { return m_layout; }
    double openingPrice() const { return m_opening; }
    CUPdate_rightdlg_thread* poller() const { return m_poller.get(); }
    // A copy of what the panel shows (device pixels), for tests and grabs.
    QImage snapshot() const;
    // The level prices shown, top down (see market::RealtimeQuote), and their item's code
    // (0 while none is shown).
    const std::array<double, 10>& levelPrices() const { return m_levels; }
    int levelItem() const { return m_levelItem; }

signals:
    // A click, and a double click, on a level row that shows a price: an ask (卖) or a bid (买)
    // of the item `code`.
    void levelClicked(int code, bool ask, double price);
    void levelDoubleClicked(int code, bool ask, double price);
    // A quote with a latest price was shown (the price alerts look at it).
    void latestShown(int code, double latest);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The level under `event`: emits `signal` when it shows a price.
    void takeLevel(QMouseEvent* event, void (Right_Msg_Dlg::*signal)(int, bool, double));
    void requestPair(market::Handover handover);
    // An image of `size` logical pixels at the panel's device pixel ratio, filled with the ground.
    QImage makeImage(QSize size) const;
    QImage drawQuote(const market::RealtimeQuote& quote) const;
    QImage drawTicks(const std::vector<market::TickRow>& rows) const;
    // Whether a value for `item` is still to be shown; empties both areas for a newer item.
    bool adopt(const market::CurrentItem& item);
    // Copies `area` to `top` of the panel's image and paints it.
    void store(const QImage& area, int top);
    // Both areas in their empty state.
    void clearAreas();

    QSize m_size; // fixed at construction
    qreal m_ratio = 1.0; // the screen's density when the panel was made
    market::QuotePanelLayout m_layout;
    QFont m_font;
    std::unique_ptr<CUPdate_rightdlg_thread> m_poller;
    QTimer m_timer1;
    double m_opening = 0.0; // of the quote shown: ticks are coloured against it
    std::array<double, 10> m_levels{};
    int m_levelItem = 0;
    QImage m_image;
    market::ShownGeneration m_shown;
    // Set during a repaint that showing a value asks for, so that it does not in turn ask
    // for the forced pair: only a real exposure of the panel fetches afresh.
    bool m_selfRepaint = false;
};
