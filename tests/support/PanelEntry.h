#pragma once

#include <QTest>
#include <QTreeWidgetItem>

#include "controls/cMyTreeCtrl.h"
#include "mainwnd/Detail_Trans_Dlg.h"

namespace testsupport {

// A click on an entry of the trade panel's tree, as the user makes it: its group opened,
// the entry scrolled into sight and clicked in its middle.
inline void ClickPanelEntry(Detail_Trans_Dlg& panel, int function)
{
    QTreeWidgetItem* item = panel.entry(function);
    if (item->parent())
        item->parent()->setExpanded(true);
    panel.tree()->doItemsLayout();
    panel.tree()->scrollToItem(item);
    const QRect r = panel.tree()->visualItemRect(item);
    QTest::mouseClick(panel.tree()->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace testsupport
