#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QFont>
#include <QRect>
#include <QString>

#include "client/Call.h"
#include "controls/CButtonBMP.h"
#include "market/SingleItemQuote.h"
#include "trade/core/Cells.h"
#include "trade/Lists.h"
#include "trade/core/OrderChecks.h"
#include "trade/OrderEntry.h"
#include "trade/PanelWindow.h"

class JListCtrl;
class QLineEdit;

namespace trade {

// What sets the buy and the sell window apart on the surface they share.
struct OrderSurface
{
    OrderEntryLayout entry; // the form
    QString orderCaption;   // the caption of button 240
    CButtonBMP::Bitmaps orderFace; // and its face
    int refreshLeftInset = 120; // the refresh button's left edge stands at D − this
    int listBottomInset = 39;   // the lists end this far above the client bottom
    int refreshDelay = 0;       // after an order the active list is refreshed this many ms later
    TimeStyle ordersTime = TimeStyle::Padded;
    client::TraceLines ordersTrace;
    client::TraceLines tradesTrace;
};

// The surface of an order window in the trade panel: the order form with the five-level
// quote box of the typed code, and the positions, orders and trades of the user in three
// tabs with refresh and export. The buy and sell windows add their form's labels.
class OrderWindow : public PanelWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OrderWindow)

public:
    enum ControlId {
        kCodeField = 211,
        kPriceField = 212,
        kQuantityField = 213,
        kOrderButton = 240,
        kQuoteButton = 1010,
        kRefreshButton = 1015,
        kExportButton = 1017,
        kPositionsList = 1120,
        kOrdersList = 1122,
        kTradesList = 1124,
    };
    enum class Tab { Positions = 0, Orders = 1, Trades = 2 };
    static constexpr QRect kQuoteBox{230, 10, 200, 286};
    static constexpr int kListLeft = 440;

    // The active list again.
    void refresh() override;
    void clearInputs() override;

    Tab activeTab() const { return m_activeTab; }
    // As a click on the tab: shows its list and refreshes it.
    void selectTab(Tab tab);
    QRect tabRect(Tab tab) const;
    JListCtrl* list(Tab tab) const { return m_lists[size_t(tab)]; }
    OrderEntry& entry() const { return *m_entry; }
    QLineEdit* codeField() const { return m_entry->codeField(); }
    QLineEdit* priceField() const { return m_entry->priceField(); }
    QLineEdit* quantityField() const { return m_entry->quantityField(); }
    QString itemName() const { return m_entry->itemName(); }

    // The quote in the box: none until one arrives for the typed code, and every value is
    // "--" until then.
    const std::optional<market::SingleItemQuote>& shownQuote() const { return m_entry->shownQuote(); }
    // Asks for the quote of the typed code when it reads as a code. Only the quote button
    // tells a refusal; the timers ask quietly, so an unknown code does not stack up boxes.
    void refreshQuote(bool tellRefusal) { m_entry->refreshQuote(tellRefusal); }
    // The timer's requests run off the GUI thread, one at a time.
    bool tickInFlight() const { return m_entry->lookupInFlight(); }
    void exportActiveList();

    OrderForm form() const { return m_entry->form(); }
    // The form as both panel windows have it: the fields' ids and places, the quote box.
    static OrderEntryLayout formLayout(const OrderKind& kind, const QRect& quantityField);
    // Button 240: checks, asks, sends, tells the service's answer, refreshes the list.
    void placeOrder() { m_entry->placeOrder(); }

signals:
    // A double click on a holding in the positions tab: the item to sell.
    void holdingOpened(const QString& code);

protected:
    OrderWindow(QWidget* parent, const OrderSurface& surface);

    void enterPressed() override;
    // Paints the form's labels.
    virtual void drawForm(QPainter& p) = 0;

    const QFont& labelFont() const { return m_labelFont; }
    // Form labels with their tops at (x, y).
    void drawLabels(QPainter& p, int x, const std::vector<std::pair<int, const char*>>& labels,
                    const QColor& colour) const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void drawTabs(QPainter& p) const;
    void orderSent();
    // Today's orders as an outcome's lookup received them.
    void showOrders(const client::ApiReply& reply);

    OrderSurface m_surface;
    QFont m_labelFont;
    QFont m_valueFont;
    OrderEntry* m_entry;
    CButtonBMP* m_refresh;
    CButtonBMP* m_export;
    std::array<JListCtrl*, 3> m_lists{};
    Tab m_activeTab = Tab::Positions;

    const ListSpec<OrderColumn> m_ordersSpec;
    const ListQuery<PositionRow> m_positionsQuery;
    const ListQuery<OrderRow> m_ordersQuery;
    const ListQuery<TradeRow> m_tradesQuery;
};

} // namespace trade
