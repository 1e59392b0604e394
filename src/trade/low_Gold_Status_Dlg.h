#pragma once

#include "trade/ListWindow.h"

class QDateEdit;

// The withdrawal status view: two date pickers, a query button and a list of applications.
// The service offers no status query, so the button does nothing and the list stays
// empty; the withdrawal history lists every application with its state.
class low_Gold_Status_Dlg final : public trade::ListWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_Gold_Status_Dlg)

public:
    static constexpr int kStartDate = 1048;
    static constexpr int kEndDate = 1049;
    static constexpr int kQueryButton = 1050;
    static constexpr int kList = 1132;

    explicit low_Gold_Status_Dlg(QWidget* parent);

    JListCtrl* list() const { return m_list; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    JListCtrl* m_list;
};
