#pragma once

#include "trade/ListWindow.h"

// The user's delivery applications on their own, with a text export.
class low_Delivery_Query_Dlg final : public trade::ListWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_Delivery_Query_Dlg)

public:
    static constexpr int kExportButton = 1017;
    static constexpr int kList = 1132;

    explicit low_Delivery_Query_Dlg(QWidget* parent);

    // Says "无交割记录！" and keeps the rows when the service answers without success.
    void refresh() override;
    JListCtrl* list() const { return m_list; }

private:
    JListCtrl* m_list;
};
