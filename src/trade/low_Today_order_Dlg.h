#pragma once

#include "trade/ListWindow.h"

// Today's orders of the account, read-only, with a text export.
class low_Today_order_Dlg final : public trade::ListWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_Today_order_Dlg)

public:
    static constexpr int kQueryButton = 1014;
    static constexpr int kExportButton = 1017;
    static constexpr int kList = 1132;

    explicit low_Today_order_Dlg(QWidget* parent);

    void refresh() override;
    JListCtrl* list() const { return m_list; }

private:
    JListCtrl* m_list;
};
