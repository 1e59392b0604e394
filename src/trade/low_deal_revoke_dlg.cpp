#include "trade/low_deal_revoke_dlg.h"

#include <QItemSelectionModel>
#include <QPainter>

#include "controls/CButtonBMP.h"
#include "controls/JListCtrl.h"
#include "market/core/Pollers.h"
#include "platform/Bitmaps.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"
#include "trade/Export.h"
#include "trade/core/OrderChecks.h"
#include "trade/Submit.h"
#include "session/Session.h"

namespace {

const QColor kGround(240, 240, 240);
const QColor kLine(160, 160, 160);
constexpr int kListTop = 29;
constexpr int kListBottomGap = 31;

// The column of the order number, wherever the list's columns put it.
int orderNoColumn()
{
    const auto& columns = trade::cancellableOrdersList().columns;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].column == trade::OrderColumn::OrderNo)
            return int(i);
    }
    return -1;
}

} // namespace

low_deal_revoke_dlg::low_deal_revoke_dlg(QWidget* parent)
    : trade::PanelWindow(parent)
    , m_list(new JListCtrl(this))
{
    setObjectName(QStringLiteral("low_deal_revoke_dlg"));
    setAttribute(Qt::WA_OpaquePaintEvent);

    const struct
    {
        int id;
        const char* caption;
        void (low_deal_revoke_dlg::*action)();
    } buttons[] = {{kCancelButton, "撤单", &low_deal_revoke_dlg::cancelSelected},
                   {kRefreshButton, "刷新", &low_deal_revoke_dlg::refresh},
                   {kExportButton, "导出", &low_deal_revoke_dlg::exportList}};
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = CButtonBMP::Create(
            this, buttons[i].id, QString::fromUtf8(buttons[i].caption),
            {platform::bmp::PanelButton, platform::bmp::PanelButtonHover, platform::bmp::PanelButtonPressed}, {});
        m_buttons[i]->setFont(platform::font(QStringLiteral("宋体"), 14));
        connect(m_buttons[i], &QAbstractButton::clicked, this, buttons[i].action);
    }

    m_list->setObjectName(QString::number(kOrderList));
    trade::setUpList(*m_list, trade::cancellableOrdersList());
}

void low_deal_revoke_dlg::resizeEvent(QResizeEvent*)
{
    // The buttons keep their distance from the right edge, the list fills the rest.
    const int d = width();
    for (int i = 0; i < 3; ++i)
        m_buttons[i]->setGeometry(d - 210 + 54 * i, 2, 44, 24);
    m_list->setGeometry(1, kListTop, qMax(0, d - 1), qMax(0, height() - kListBottomGap - kListTop));
}

void low_deal_revoke_dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    p.setPen(kLine);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawLine(0, 28, width() - 1, 28);
}

void low_deal_revoke_dlg::refresh()
{
    trade::refreshList(*m_list, trade::cancellableOrdersList(), m_query, trade::userParams());
}

void low_deal_revoke_dlg::cancelSelected()
{
    const int column = orderNoColumn();
    const std::string userId = Session::current().userId();
    // Each box is modal and may let other events in: the row count is read afresh each time.
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (!m_list->selectionModel()->isRowSelected(row, QModelIndex()))
            continue;
        const std::string orderNo = m_list->cellText(row, column).toStdString();
        const client::ApiReply reply = client::Call(client::Endpoint::Repeal, trade::repealParams(orderNo, userId));
        platform::discardQueuedInput();
        if (reply.parsed)
            platform::messageBox(this, QString::fromStdString(reply.msg));
        else
            trade::tellUnanswered(this, trade::kRequestUnanswered, "撤单 " + orderNo);
    }
    refresh();
}

void low_deal_revoke_dlg::exportList()
{
    trade::ExportListToText(*m_list, QStringLiteral("未撤销订单.txt"));
}
