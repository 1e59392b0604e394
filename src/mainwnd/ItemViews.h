#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

#include "session/Records.h"

class CHtmlCtrl;
class Min_Price_List_Dlg;
class QWidget;
class Right_Msg_Dlg;

namespace mainwnd {

// The chart mode's views beside and under the charts that follow the current item: the quote
// panel at the right, the tick list and price table over the foot of the chart, and the
// information page in the chart's place. The quote panel and the tick list are made on first
// use.
class ItemViews final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ItemViews)

public:
    ItemViews(QWidget* marketWindow, const QRect& chartRect);

    Right_Msg_Dlg* quotePanel() const;
    Min_Price_List_Dlg* tickList() const;
    CHtmlCtrl* infoPage() const { return m_infoPage; }

    void showQuotePanel();
    // `mode` is a Min_Price_List_Dlg::Mode: 0 the ticks, 2 the price table.
    void showTickList(int mode);
    void hideTickList();
    void hideInformationPage();
    // Asks for the current item's page and shows it; a page already shown is emptied first.
    void loadInformationPage();
    // The views on show take up `item`.
    void follow(const market::CurrentItem& item);
    // The overview takes the window back.
    void hideAll();

signals:
    // The quote panel was made (on its first showing).
    void quotePanelMade(Right_Msg_Dlg* panel);

private:
    QWidget* m_market;
    QRect m_chartRect;
    CHtmlCtrl* m_infoPage = nullptr;
    QPointer<Right_Msg_Dlg> m_quotePanel;
    QPointer<Min_Price_List_Dlg> m_tickList;
};

} // namespace mainwnd
