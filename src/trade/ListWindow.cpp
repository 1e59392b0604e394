#include "trade/ListWindow.h"

#include <QPainter>

#include "controls/CButtonBMP.h"

namespace trade {

ListWindow::ListWindow(QWidget* parent, const char* className, QColor ground, int dividerY)
    : PanelWindow(parent)
    , m_ground(ground)
    , m_dividerY(dividerY)
{
    setUpHostedWindow(*this, className);
}

CButtonBMP* ListWindow::addButton(int controlId, const QString& caption, Rule rule,
                                  std::function<void()> action)
{
    CButtonBMP* button = makeButton(this, controlId, caption, {});
    if (action)
        connect(button, &QAbstractButton::clicked, this, std::move(action));
    place(button, std::move(rule));
    return button;
}

void ListWindow::place(QWidget* child, Rule rule)
{
    child->setGeometry(rule(size()));
    m_placements.emplace_back(child, std::move(rule));
}

void ListWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintGround(p, rect(), m_ground, m_dividerY);
}

void ListWindow::resizeEvent(QResizeEvent*)
{
    for (const auto& [child, rule] : m_placements) {
        if (child)
            child->setGeometry(rule(size()));
    }
}

} // namespace trade
