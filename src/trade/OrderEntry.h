#pragma once

#include <cstdint>
#include <optional>

#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

#include "client/ApiReply.h"
#include "market/SingleItemQuote.h"
#include "platform/core/CrossThread.h"
#include "trade/core/OrderChecks.h"
#include "trade/core/Parsers.h"

class CMyEdit;
class CSkinEdit;
class QAction;
class QLineEdit;
class QMenu;
class QPainter;
class QWidget;

namespace trade {

// The panel's windows and the quick pop-ups set their forms apart in these ways.
enum class FormStyle {
    // Digits-only code and quantity; values in the small font beside their labels; a sale
    // looks its position up again; a failed lookup leaves the figure shown; lookups traced.
    Panel,
    // Plain fields with tab stops; values centred in boxes in the rows' font; a sale trusts
    // the last lookup of its code; a failed lookup blanks the figure's box.
    PopUp,
};

// A value the form draws, and where.
struct ValueBox
{
    QRect rect;
    Qt::Alignment align = Qt::AlignLeft;
};

// A field's control id and rectangle.
struct FieldPlace
{
    int id = 0;
    QRect rect;
};

// Everything one window's order form is: what it sends, where its controls and values
// stand, and when it looks things up.
struct OrderEntryLayout
{
    OrderKind kind;
    FormStyle style = FormStyle::Panel;
    FieldPlace code, price, quantity;
    ValueBox nameBox;
    std::optional<ValueBox> cashBox; // a buy's usable cash
    ValueBox figureBox;              // a buy's largest quantity, a sale's sellable quantity
    std::optional<QRect> quoteBox;   // the five-level quote of the typed code
    bool enterPlacesOrder = true;    // otherwise Enter in a field is consumed
    int timerInterval = 1000;
    bool timerWaitsForCodeLeft = false; // the timer starts when the code field is first left
};

// The order form shared by the four order windows: code, price and quantity fields on the
// host window, the item's name, the usable cash and the buyable or sellable figure, the
// quote box, the timer that keeps them current, and the order itself through trade::submit.
class OrderEntry final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OrderEntry)

public:
    OrderEntry(QWidget* host, const OrderEntryLayout& layout);

    QLineEdit* codeField() const;
    QLineEdit* priceField() const;
    QLineEdit* quantityField() const;
    OrderForm form() const;
    void clear();

    // The opener's filling: the code and a price (empty: none to offer), the figures drawn
    // at once, the keyboard on the quantity.
    void prefill(const QString& code, const QString& price);
    // Check, confirmation, request, the service's word, then orderSent. A second call while
    // this one's boxes are up is ignored.
    void placeOrder();

    QString itemName() const { return m_name; }
    QString cashText() const { return m_cash; }
    QString figureText() const { return m_figure; }
    int maxBuyable() const { return m_maxBuyable; }
    // A sale's figure from the last lookup that answered; 0 when the user holds none.
    std::int64_t sellable() const { return m_sellable; }
    bool holdsTypedItem() const { return m_holds; }
    // The text of the value box whose top is at `top`; empty for none.
    QString boxText(int top) const;

    // The quote in the box: none until one arrives for the code now typed.
    const std::optional<market::SingleItemQuote>& shownQuote() const { return m_quote; }
    // Asks for the quote of the typed code when it reads as one. Only the quote button tells
    // a refusal; the timers ask quietly.
    void refreshQuote(bool tellRefusal);
    // The typed code as an item code to quote; nullopt when it does not read as one.
    std::optional<int> quoteCode() const;

    // The timer's and the code field's lookups run off the GUI thread, one at a time.
    bool lookupInFlight() const { return m_background.inFlight(); }
    const QTimer& timer() const { return m_timer; }

    // The quantity presets: the button at the quantity field's right end (Alt+↓ there too)
    // opens a menu of shares of the figure the presets fill from.
    QAction* presetButton() const { return m_presetButton; }
    QMenu* presetMenu() const { return m_presetMenu; }
    // A buy's largest quantity at the typed price, a sale's sellable quantity of the typed
    // code; 0 while unknown.
    std::int64_t presetFigure() const;

    // The values and the quote box, in the host's coordinates.
    void paint(QPainter& p, const QFont& valueFont) const;

signals:
    // The order went out; the reply as received (it may not parse).
    void orderSent(const client::ApiReply& reply);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();
    void codeLeft();
    void codeEdited();
    void showNameAndCash();
    void showMaxBuyable();
    // The quote (with a box) and a sale's position, off the GUI thread.
    void lookUp();
    void takeQuote(const client::ApiReply& reply, market::QuoteRefusal refusal);
    void takeHolding(const QString& code, const std::optional<Holding>& holding);
    // The figure a sale of the typed code is judged by.
    std::int64_t sellableForTypedCode();
    void setFigure(const QString& text);
    void updatePresets();
    void showPresets();
    void fillPreset(int parts);
    void updateBox(const ValueBox& box) const;

    QWidget* m_host;
    OrderEntryLayout m_layout;
    CSkinEdit* m_code;
    CMyEdit* m_price;
    CSkinEdit* m_quantity;
    QAction* m_presetButton;
    QMenu* m_presetMenu;
    QTimer m_timer;
    platform::BackgroundRequest m_background;
    bool m_placing = false;

    QString m_name;
    QString m_cash;
    QString m_figure;
    int m_maxBuyable = 0;
    std::int64_t m_sellable = 0;
    bool m_holds = false;
    QString m_sellableCode; // the code whose lookup gave m_sellable
    std::optional<market::SingleItemQuote> m_quote;
    QString m_quoteCode; // the code m_quote is for
};

} // namespace trade
