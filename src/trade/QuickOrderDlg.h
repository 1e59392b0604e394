#pragma once

#include <map>
#include <vector>

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "controls/CButtonBMP.h"
#include "trade/OrderChecks.h"

class CMyEdit;
class CSkinEdit;
class QLineEdit;

namespace client {
struct ApiReply;
}
namespace controls {
class TitleBar;
}

namespace trade {

// What the quick buy and quick sell pop-ups share: a small borderless window with a
// drawn title strip and rows, the code, price and quantity fields, two buttons, a
// one-second timer, and Enter in any field placing the order. Each pop-up states its
// rows and ids, what its timer and the code field's loss of focus do, and its order.
class QuickOrderDlg : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QuickOrderDlg)

public:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 265;
    static constexpr int kLeft = 400; // screen position when first shown
    static constexpr int kTop = 200;
    // The value boxes' left and size.
    static constexpr int kBoxLeft = 75;
    static constexpr int kBoxWidth = 120;
    static constexpr int kBoxHeight = 25;

    // What one pop-up draws and where its controls go.
    struct Layout
    {
        QString title;
        QColor labelColour;
        std::vector<std::pair<int, const char*>> labels; // top of each row label, its text
        std::vector<int> borders;                        // the rows' white lines
        int closeId, codeId, priceId, quantityId, leftButtonId, orderButtonId;
        QRect quantityRect;
        QString orderCaption;
        CButtonBMP::Bitmaps orderBitmaps;
    };

    // The market window's opening: the code and the quote's price filled in, the
    // figures drawn at once, the keyboard on the quantity.
    void prefill(const QString& code, const QString& price);

    // Places the order as the order button and Enter do.
    void placeOrderNow();

    QLineEdit* codeField() const;
    QLineEdit* priceField() const;
    QLineEdit* quantityField() const;
    // The text of the value box whose top is at `y`; empty for no box there.
    QString boxText(int y) const;
    const QTimer& timer1() const { return m_timer1; }

protected:
    QuickOrderDlg(QWidget* parent, const Layout& layout);

    // Timer 1 (every second while the window exists, shown or hidden).
    virtual void timerTick() = 0;
    // The code field lost focus; and the price field.
    virtual void codeLeft() = 0;
    virtual void priceLeft() {}
    // The figures after a prefill.
    virtual void prefilled() = 0;
    // The checks, the question and the request; each pop-up has its own.
    virtual void placeOrder() = 0;

    OrderForm form() const;
    void setBoxText(int y, const QString& text);
    // The order's reply: a parsed one shows its `msg` whatever `success` says; success
    // closes the pop-up, a refusal leaves the typed values in place. A reply that does not
    // parse (no service, time-out) shows nothing.
    void finishOrder(const client::ApiReply& reply);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Layout m_layout;
    controls::TitleBar* m_titleBar;
    CSkinEdit* m_code;
    CMyEdit* m_price;
    CSkinEdit* m_quantity;
    std::map<int, QString> m_boxes; // value boxes by their top
    QTimer m_timer1;
    bool m_placing = false;
};

} // namespace trade
