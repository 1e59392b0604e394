#pragma once

#include "trade/PanelWindow.h"

class CButtonBMP;
class CMyEdit;

// The withdrawal application: cash from the trading account to the bank card on file, at
// China Construction Bank. The amount goes out as typed once the user confirms, and the
// service's answer is shown whatever it says.
class low_Gold_Application_Dlg final : public trade::PanelWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_Gold_Application_Dlg)

public:
    static constexpr int kAmountEdit = 1045;
    static constexpr int kSubmitButton = 1047;

    explicit low_Gold_Application_Dlg(QWidget* parent);

    CMyEdit* amountEdit() const { return m_amount; }
    CButtonBMP* submitButton() const { return m_submit; }

    // The submit button: confirm, send, show the service's `msg`.
    void withdraw();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CMyEdit* m_amount;
    CButtonBMP* m_submit;
};
