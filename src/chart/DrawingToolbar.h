#pragma once

#include <array>

#include <QWidget>

class QAction;

namespace chart {

class DrawingLayer;

// The drawing tools in a strip at the chart's left edge: the eight shapes and the magnet.
// A tool stays chosen until its drawing is done or Esc cancels it.
class DrawingToolbar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DrawingToolbar)

public:
    static constexpr int kToolCount = 8;

    DrawingToolbar(DrawingLayer& layer, QWidget* parent);

    QAction* toolAction(int i) const { return m_tools[std::size_t(i)]; }
    QAction* magnetAction() const { return m_magnet; }

private:
    DrawingLayer& m_layer;
    std::array<QAction*, kToolCount> m_tools{};
    QAction* m_magnet = nullptr;
};

} // namespace chart
