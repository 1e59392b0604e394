#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "market/QuotePanelLayout.h"
#include "session/Records.h"

class CUPdate_rightdlg_thread;

// The real-time quote panel at the right of the chart views: five levels each side, the
// day's figures and the latest ticks. Its two loaders draw into the panel's image on the
// quote poller's thread; the GUI thread only copies the image.
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

    // Called on the poller thread with the reply as it came off the wire, and the item it
    // was asked for (the current one when not given): a reply for an item the panel has
    // since left is dropped.
    void LoadRealtime(const std::string& wireReply);
    void LoadRealtime(const std::string& wireReply, const market::CurrentItem& item);
    void LoadDealTicks(const std::string& wireReply);
    void LoadDealTicks(const std::string& wireReply, const market::CurrentItem& item);
    // Empties the panel for a newly chosen item and asks for its figures at once.
    void showItem(const market::CurrentItem& item);

    const market::QuotePanelLayout& layout() const { return m_layout; }
    float openingPrice() const { return m_opening.load(); }
    CUPdate_rightdlg_thread* poller() const { return m_poller.get(); }
    // A copy of what the panel shows (device pixels), for tests and grabs.
    QImage snapshot() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void postPair(long force);
    void scheduleRepaint(const QRect& area);
    // An image of `size` logical pixels at the panel's device pixel ratio, filled with the ground.
    QImage makeImage(QSize size) const;
    // The quote area; `opening` receives the reply's opening when it could be read.
    QImage drawQuote(const std::string& wireReply, std::optional<float>* opening) const;
    QImage drawTicks(const std::string& wireReply) const;
    // Copies `area` to `top` of the panel's image unless it is for an item the panel left.
    bool store(const QImage& area, int top, const market::CurrentItem& item);
    // Both areas in their empty state; under m_imageLock.
    void clearAreas();

    QSize m_size; // fixed at construction; the loaders read it on the poller thread
    qreal m_ratio = 1.0; // likewise: the screen's density when the panel was made
    market::QuotePanelLayout m_layout;
    QFont m_font;
    std::unique_ptr<CUPdate_rightdlg_thread> m_poller;
    QTimer m_timer1;
    std::atomic<float> m_opening{0.0f};
    mutable std::mutex m_imageLock;
    QImage m_image;
    market::ShownGeneration m_shown; // under m_imageLock
    // Set during a repaint a loader asked for, so that it does not in turn post the
    // forced pair: only a real exposure of the panel fetches afresh. GUI thread only.
    bool m_selfRepaint = false;
};
