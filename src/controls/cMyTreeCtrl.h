#pragma once

#include <QTreeWidget>

// A tree that reports every left click on an item, also on the item already selected,
// so a menu tree can reopen the function the user clicks again. Its rows hang on dotted
// lines, roots too, with a boxed plus or minus on the entries that hold others.
class cMyTreeCtrl final : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(cMyTreeCtrl)

public:
    static constexpr int kControlId = 2112;

    explicit cMyTreeCtrl(QWidget* parent = nullptr);

signals:
    // The item under the pointer at the release (null over empty space).
    void selectionNotified(QTreeWidgetItem* item);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
};
