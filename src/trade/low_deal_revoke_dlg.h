#pragma once

#include "trade/Lists.h"
#include "trade/PanelWindow.h"

class CButtonBMP;
class JListCtrl;

// The cancellation window of the trade panel: today's orders that can still be cancelled,
// one cancellation per selected row, then one refresh.
class low_deal_revoke_dlg final : public trade::PanelWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_deal_revoke_dlg)

public:
    enum ControlId {
        kCancelButton = 1014,
        kRefreshButton = 1015,
        kExportButton = 1017,
        kOrderList = 1122,
    };

    explicit low_deal_revoke_dlg(QWidget* parent);

    void refresh() override;
    // Sends one cancellation for each selected row, top to bottom, shows each parsed
    // reply's `msg`, then refreshes the list (also when nothing was selected).
    void cancelSelected();
    void exportList();

    JListCtrl* list() const { return m_list; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    JListCtrl* m_list;
    CButtonBMP* m_buttons[3];
    const trade::ListQuery<trade::OrderRow> m_query{
        client::Endpoint::OrderToday, {"\n撤单列表：\n", "\n结束撤单列表：\n"}, &trade::ParseCancellableOrders};
};
