#include "chart/Show_Keyline_Msg__Dlg.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/Fonts.h"

Show_Keyline_Msg__Dlg::Show_Keyline_Msg__Dlg(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QString::number(kTemplateId));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Show_Keyline_Msg__Dlg::SetMode(int mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    update();
}

QStringList Show_Keyline_Msg__Dlg::Labels(int mode)
{
    if (mode == 1)
        return {QStringLiteral("    可拖动"), QStringLiteral("日期:  --"), QStringLiteral("开盘:  --"),
                QStringLiteral("最高:  --"),  QStringLiteral("最低:  --"), QStringLiteral("收盘: --"),
                QStringLiteral("成交: --"),   QStringLiteral("金额: -- "), QStringLiteral("涨跌幅: --"),
                QStringLiteral("换手:  --"),  QStringLiteral("振幅:  --")};
    return {QStringLiteral("    可拖动"), QStringLiteral("日期:  --"), QStringLiteral("时间:  --"),
            QStringLiteral("最新:  --"),  QStringLiteral("涨跌:  --"), QStringLiteral("涨幅: --"),
            QStringLiteral("均价: --"),   QStringLiteral("申报量: -- ")};
}

void Show_Keyline_Msg__Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(32, 32, 32));
    const QFont font = platform::crispFont(QStringLiteral("宋体"), 12);
    p.setFont(font);
    p.setPen(QColor(240, 240, 240));
    const QFontMetrics fm(font);
    const QStringList rows = Labels(m_mode);
    for (int i = 0; i < rows.size(); ++i)
        p.drawText(0, i * 20 + fm.ascent(), rows[i]);
}

void Show_Keyline_Msg__Dlg::mousePressEvent(QMouseEvent* event)
{
    // Dragged like a caption from anywhere in the box.
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = event->position().toPoint();
        raise();
    }
}

void Show_Keyline_Msg__Dlg::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        move(mapToParent(event->position().toPoint()) - m_dragOffset);
}

void Show_Keyline_Msg__Dlg::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
}
