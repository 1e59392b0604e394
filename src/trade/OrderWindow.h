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
#include "trade/BackgroundRequest.h"
#include "trade/Cells.h"
#include "trade/Lists.h"
#include "trade/OrderChecks.h"
#include "trade/PanelWindow.h"

class CMyEdit;
class CSkinEdit;
class JListCtrl;
class QLineEdit;

namespace trade {

// What sets the buy and the sell window apart on the surface they share.
struct OrderSurface
{
    QString orderCaption; // the caption of button 240
    CButtonBMP::Bitmaps orderFace; // and its face
    QRect codeField;
    QRect priceField;
    QRect quantityField;
    int refreshLeftInset = 120; // the refresh button's left edge stands at D − this
    int listBottomInset = 39;   // the lists end this far above the client bottom
    TimeStyle ordersTime = TimeStyle::Padded;
    client::TraceLines ordersTrace;
    client::TraceLines tradesTrace;
};

// The surface of an order window in the trade panel: the code, price and quantity fields,
// the five-level quote box of the typed code, and the positions, orders and trades of the
// user in three tabs with refresh and export. The buy and sell windows add their form's
// labels and values, their checks and their order request.
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
    QLineEdit* codeField() const;
    QLineEdit* priceField() const;
    QLineEdit* quantityField() const;

    // The quote in the box: none until one arrives for a typed code, and every value is
    // "--" until then.
    const std::optional<market::SingleItemQuote>& shownQuote() const { return m_quote; }
    // Asks for the quote of the typed code when it reads as a code. Only the quote button
    // tells a refusal; the timers ask quietly, so an unknown code does not stack up boxes.
    void refreshQuote(bool tellRefusal);
    // The timer's requests run off the GUI thread, one at a time.
    bool tickInFlight() const { return m_tick.inFlight(); }
    void exportActiveList();

    OrderForm form() const;

protected:
    OrderWindow(QWidget* parent, const OrderSurface& surface);

    virtual void placeOrder() = 0;
    // Shows the check's refusal, or asks `question` and, on Yes, sends the order and shows
    // the service's `msg` whether it took the order or not. True when the order went out.
    bool confirmAndSend(const std::optional<std::string>& refusal, const char* question, client::Endpoint endpoint,
                        std::vector<client::Param> params, client::TraceLines trace);
    // Paints the form's labels and values.
    virtual void drawForm(QPainter& p) = 0;
    virtual void codeFieldLeft() {}
    virtual void priceFieldLeft() {}

    // The typed code as an item code to quote; nullopt when it does not read as one.
    std::optional<int> quoteCode() const;
    // A guide reply made the box's quote; a refusal is told or kept quiet.
    void takeQuote(const client::ApiReply& reply, market::QuoteRefusal refusal);
    // The window's timer request; a request the window makes itself supersedes it.
    BackgroundRequest& tick() { return m_tick; }

    const QFont& labelFont() const { return m_labelFont; }
    const QFont& valueFont() const { return m_valueFont; }
    // Form labels with their tops at (x, y).
    void drawLabels(QPainter& p, int x, const std::vector<std::pair<int, const char*>>& labels,
                    const QColor& colour) const;
    // A value in its 25-pixel box.
    void drawValue(QPainter& p, const QRect& box, const QString& text, Qt::Alignment align = Qt::AlignLeft) const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drawTabs(QPainter& p) const;

    OrderSurface m_surface;
    QFont m_labelFont;
    QFont m_valueFont;
    CSkinEdit* m_code;
    CMyEdit* m_price;
    CSkinEdit* m_quantity;
    CButtonBMP* m_refresh;
    CButtonBMP* m_export;
    std::array<JListCtrl*, 3> m_lists{};
    Tab m_activeTab = Tab::Positions;
    std::optional<market::SingleItemQuote> m_quote;
    BackgroundRequest m_tick{this};

    const ListSpec<OrderColumn> m_ordersSpec;
    const ListQuery<PositionRow> m_positionsQuery;
    const ListQuery<OrderRow> m_ordersQuery;
    const ListQuery<TradeRow> m_tradesQuery;
};

} // namespace trade
