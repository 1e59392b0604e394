#pragma once

#include <QRect>

#include "trade/Delivery.h"
#include "trade/ListWindow.h"

class CSkinEdit;
class QDateEdit;
class QPlainTextEdit;

// The delivery application: a form on the left (by mail or for pickup at the exchange's
// pickup point) and the user's applications on the right.
class low_Delivery_Application_Dlg final : public trade::ListWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_Delivery_Application_Dlg)

public:
    static constexpr int kCodeField = 1034;
    static constexpr int kQuantityField = 1128;
    static constexpr int kDatePicker = 1039;
    static constexpr int kAddressField = 1036;
    static constexpr int kConsigneeField = 1130;
    static constexpr int kApplyButton = 1126;
    static constexpr int kResetButton = 1042;
    static constexpr int kList = 1120;
    static constexpr QRect kMailTab{0, 0, 160, 28};
    static constexpr QRect kPickupTab{160, 0, 160, 28};

    explicit low_Delivery_Application_Dlg(QWidget* parent);

    // Reloads the application list (the form keeps what it holds).
    void refresh() override;
    // Empties code, quantity, address and consignee, and the holding shown for the code.
    void clearInputs() override;

    void apply();
    void lookUpHolding();
    void setMode(trade::DeliveryMode mode);
    trade::DeliveryMode mode() const { return m_mode; }
    QString holdingText() const { return m_holding; }
    // The form as the fields hold it now.
    trade::DeliveryForm form() const;

    CSkinEdit* codeField() const { return m_code; }
    CSkinEdit* quantityField() const { return m_quantity; }
    QDateEdit* datePicker() const { return m_date; }
    QPlainTextEdit* addressField() const { return m_address; }
    CSkinEdit* consigneeField() const { return m_consignee; }
    JListCtrl* list() const { return m_list; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintTabs(QPainter& p) const;
    void paintForm(QPainter& p) const;

    trade::DeliveryMode m_mode = trade::DeliveryMode::Mail;
    QString m_holding;
    CSkinEdit* m_code;
    CSkinEdit* m_quantity;
    QDateEdit* m_date;
    QPlainTextEdit* m_address;
    CSkinEdit* m_consignee;
    JListCtrl* m_list;
};
