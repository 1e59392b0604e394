#pragma once

#include <array>
#include <functional>

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "app/Detailsystimeset.h"
#include "trade/PanelWindow.h"

class CButtonBMP;
class Lock_Detail_dlg;
class QTreeWidgetItem;
class cMyTreeCtrl;

// The trade panel docked along the bottom of the work area while a user is logged in: the
// function tree on the left, the window of the chosen function on the right, and a strip
// across the top with the function's title and the close, hide, lock, refresh and
// lock-time buttons. It owns the function windows, the screen lock and the lock-time strip.
class Detail_Trans_Dlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Detail_Trans_Dlg)

public:
    enum ControlId {
        kClose = 238,
        kHide = 1002,
        kLock = 1003,
        kLockTime = 1005,
        kRefresh = 1009,
        kTree = 2112,
    };
    static constexpr int kFunctionCount = 17;
    static constexpr int kTreeWidth = 260;
    static constexpr int kStripHeight = 28;
    static constexpr int kHeight = 340;

    // The windows the panel hosts, in the order a choice walks them.
    enum class Hosted {
        Buy,
        Sell,
        Cancel,
        DeliveryApplication,
        WithdrawalApplication,
        WithdrawalStatus,
        WithdrawalHistory,
        Funds,
        TodayOrders,
        TodayTrades,
        TradeHistory,
        DeliveryQuery,
        ChangePassword,
        ChangeDetails,
    };
    static constexpr int kHostedCount = 14;

    // Made hidden, docked, with the buy window made (hidden too).
    explicit Detail_Trans_Dlg(QWidget* marketWindow);
    ~Detail_Trans_Dlg() override;

    // (0, H − 369)–(W, H − 29) of the work area.
    static QRect dockedPlace();
    void dock();

    // What the buy or sell window opens on when chosen: an item and a price to offer (empty
    // for none). Given the window and the item asked for, 0 for the chosen one; an item of 0
    // leaves the window empty. Without an opener the windows open empty.
    struct Opening
    {
        int code = 0;
        QString price;
    };
    using Opener = std::function<Opening(Hosted which, int code)>;
    void setOpener(Opener opener) { m_opener = std::move(opener); }
    // The sell window on the item `code` (a holding double-clicked in a positions list).
    void openSale(int code);

    // The strip's buttons.
    void closePanel();
    void hidePanel();
    void lockPanel();
    void refreshShown();
    void toggleLockTime();
    // What choosing a function in the tree does: its title in the strip, its window shown
    // (made on first use) and emptied or reloaded as the function asks, the others hidden.
    void choose(int function);
    // The last step of the start-up sequence: the buy window shown and its list reloaded,
    // its fields as they are.
    void showBuyWindow();
    // Whether a function window stands in the panel (it may be out of sight with the panel).
    bool showsAWindow() const;

    int chosenFunction() const { return m_chosen; }
    QString title() const;
    static QString entryText(int function);
    // The function whose tree entry reads `text`, -1 for none.
    static int functionOfEntry(const QString& text);

    cMyTreeCtrl* tree() const { return m_tree; }
    QTreeWidgetItem* entry(int function) const { return m_entries[size_t(function)]; }
    trade::PanelWindow* hostedWindow(Hosted which) const { return m_windows[size_t(which)]; }
    // Where a hosted window stands, in the panel's coordinates.
    QRect hostedPlace(Hosted which) const;
    Lock_Detail_dlg* lockWindow() const { return m_lock; }
    bool isLocked() const;
    Detailsystimeset* lockTimeWindow() const { return m_lockTime; }

    // The one place that says which window serves each hosted function.
    static trade::PanelWindow* createHostedWindow(Hosted which, QWidget* panel);

signals:
    // The lock came on: trading windows outside the panel (the quick pop-ups) must not stay
    // open under it. Trading is left only from the lock, so that is covered too.
    void locked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createTree();
    void onTreeRelease(QTreeWidgetItem* item);
    void onSelectionChanged();
    QTreeWidgetItem* selectedEntry() const;
    trade::PanelWindow* ensureWindow(Hosted which);
    void showHosted(Hosted which);
    void keepLockOnTop();
    // Fills an order window just emptied with what the opener offers.
    void openOnItem(Hosted which, int code);

    QFont m_treeFont;
    cMyTreeCtrl* m_tree = nullptr;
    std::array<QTreeWidgetItem*, kFunctionCount> m_entries{};
    std::array<QPointer<trade::PanelWindow>, kHostedCount> m_windows{};
    int m_chosen = 0;
    bool m_pressOnChosenEntry = false;
    Lock_Detail_dlg* m_lock = nullptr;
    QPointer<Detailsystimeset> m_lockTime;
    CButtonBMP* m_corner = nullptr;
    CButtonBMP* m_hide = nullptr;
    CButtonBMP* m_lockButton = nullptr;
    CButtonBMP* m_refresh = nullptr;
    CButtonBMP* m_lockTimeButton = nullptr;
    Opener m_opener;
    int m_saleCode = 0; // the item openSale asked for, while it chooses the sell window
};
