#pragma once

#include <utility>
#include <vector>

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "controls/CButtonBMP.h"
#include "trade/OrderEntry.h"

class QLineEdit;

namespace client {
struct ApiReply;
}
namespace controls {
class TitleBar;
}

namespace trade {

// What the quick buy and quick sell pop-ups share: a small borderless window with a drawn
// title strip and rows, the order form, two buttons, and Enter placing the order. Each
// pop-up states its rows, ids and form.
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
        int closeId = 0, leftButtonId = 0, orderButtonId = 0;
        QString orderCaption;
        CButtonBMP::Bitmaps orderBitmaps;
        OrderEntryLayout entry; // the form
    };

    // The value box whose top is at `top`, where the pop-ups draw their values.
    static QRect valueBox(int top) { return QRect(kBoxLeft, top, kBoxWidth, kBoxHeight); }
    // The form as both pop-ups have it: the fields' places, the name box, the timer.
    static OrderEntryLayout formLayout(const OrderKind& kind, int codeId, int priceId, int quantityId,
                                       const QRect& quantityField, int nameBoxTop);

    // The market window's opening: the code and the quote's price filled in (none when the
    // quote has none), the figures drawn at once, the keyboard on the quantity.
    void prefill(const QString& code, const QString& price);

    // Places the order as the order button and Enter do.
    void placeOrderNow() { m_entry->placeOrder(); }

    OrderEntry& entry() const { return *m_entry; }
    QLineEdit* codeField() const { return m_entry->codeField(); }
    QLineEdit* priceField() const { return m_entry->priceField(); }
    QLineEdit* quantityField() const { return m_entry->quantityField(); }
    // The text of the value box whose top is at `y`; empty for no box there.
    QString boxText(int y) const { return m_entry->boxText(y); }
    // Every second while the window exists, shown or hidden.
    const QTimer& timer1() const { return m_entry->timer(); }

protected:
    QuickOrderDlg(QWidget* parent, const Layout& layout);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A parsed reply has shown its `msg`; success closes the pop-up, a refusal leaves the
    // typed values in place.
    void orderSent(const client::ApiReply& reply);

    Layout m_layout;
    OrderEntry* m_entry;
    controls::TitleBar* m_titleBar;
};

} // namespace trade
