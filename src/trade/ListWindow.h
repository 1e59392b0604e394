#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <QColor>
#include <QPointer>
#include <QString>

#include "controls/JListCtrl.h"
#include "trade/Lists.h"
#include "trade/PanelWindow.h"
#include "trade/WindowLook.h"

class CButtonBMP;

namespace trade {

// A hosted window made of lists and buttons on the light ground. Each child is added with
// the rule that places it from the window's size (the layouts measure from the right edge
// and the bottom), and keeps its place when the panel resizes the window.
class ListWindow : public PanelWindow
{
public:
    using Rule = std::function<QRect(QSize client)>;

    ListWindow(QWidget* parent, const char* className, QColor ground = kWindowGround, int dividerY = 28);

protected:
    template <class Column>
    JListCtrl* addList(int controlId, const ListSpec<Column>& listSpec, Rule rule)
    {
        JListCtrl* list = makeList(this, controlId);
        setUpList(*list, listSpec);
        place(list, std::move(rule));
        return list;
    }
    CButtonBMP* addButton(int controlId, const QString& caption, Rule rule, std::function<void()> action);
    void place(QWidget* child, Rule rule);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QColor m_ground;
    int m_dividerY;
    std::vector<std::pair<QPointer<QWidget>, Rule>> m_placements;
};

} // namespace trade
