#include "chart/DrawingToolbar.h"

#include <QAction>
#include <QToolButton>
#include <QVBoxLayout>

#include "chart/DrawingLayer.h"

namespace chart {
namespace {

struct Tool
{
    drawing::Shape shape;
    const char* text;
    const char* name;
};

constexpr Tool kTools[DrawingToolbar::kToolCount] = {
    {drawing::Shape::Segment, "线段", "drawSegment"},       {drawing::Shape::Ray, "射线", "drawRay"},
    {drawing::Shape::Line, "直线", "drawLine"},             {drawing::Shape::Horizontal, "水平线", "drawHorizontal"},
    {drawing::Shape::Channel, "平行通道", "drawChannel"},   {drawing::Shape::Fibonacci, "黄金分割", "drawFibonacci"},
    {drawing::Shape::Rectangle, "矩形", "drawRectangle"},   {drawing::Shape::Text, "文字", "drawText"},
};

} // namespace

DrawingToolbar::DrawingToolbar(DrawingLayer& layer, QWidget* parent)
    : QWidget(parent)
    , m_layer(layer)
{
    setObjectName(QStringLiteral("drawingToolbar"));
    setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(32, 32, 32));
    palette.setColor(QPalette::Button, QColor(57, 57, 57));
    palette.setColor(QPalette::ButtonText, QColor(240, 240, 240));
    setPalette(palette);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    auto addButton = [&](QAction* action) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(action);
        button->setFixedWidth(60);
        button->setFocusPolicy(Qt::NoFocus); // the keys stay with the chart
        column->addWidget(button);
    };
    for (int i = 0; i < kToolCount; ++i) {
        const Tool& t = kTools[i];
        QAction* action = new QAction(QString::fromUtf8(t.text), this);
        action->setObjectName(QString::fromLatin1(t.name));
        action->setCheckable(true);
        m_tools[std::size_t(i)] = action;
        connect(action, &QAction::triggered, this, [this, i, shape = t.shape](bool on) {
            for (int j = 0; j < kToolCount; ++j)
                if (j != i)
                    m_tools[std::size_t(j)]->setChecked(false);
            m_layer.setTool(on ? std::optional(shape) : std::nullopt);
        });
        addButton(action);
    }
    m_magnet = new QAction(QStringLiteral("磁吸"), this);
    m_magnet->setObjectName(QStringLiteral("drawMagnet"));
    m_magnet->setCheckable(true);
    connect(m_magnet, &QAction::toggled, this, [this](bool on) { m_layer.setMagnet(on); });
    addButton(m_magnet);
    connect(&m_layer, &DrawingLayer::toolDone, this, [this] {
        for (QAction* a : m_tools)
            a->setChecked(false);
    });
    adjustSize();
}

} // namespace chart
