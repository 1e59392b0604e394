#include "chart/Show_Keyline_Msg__Dlg.h"

#include <algorithm>

#include <QFontMetrics>
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

namespace {

constexpr int kRowHeight = 20;
constexpr int kMinWidth = 100;
const QString kValueGap = QStringLiteral("  ");

QFont boxFont()
{
    return platform::crispFont(QStringLiteral("宋体"), 12);
}

} // namespace

void Show_Keyline_Msg__Dlg::setReadout(const std::vector<chart::ReadoutRow>& rows)
{
    if (rows == m_readout)
        return;
    m_readout = rows;
    const QFontMetrics fm(boxFont());
    int widest = kMinWidth;
    for (const chart::ReadoutRow& r : m_readout)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(r.label + r.value) + kValueGap) + 4);
    const int rowsHigh = std::max(height(), int(m_readout.size() + 1) * kRowHeight);
    if (widest != width() || rowsHigh != height())
        resize(widest, rowsHigh);
    update();
}

void Show_Keyline_Msg__Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(32, 32, 32));
    const QFont font = boxFont();
    p.setFont(font);
    p.setPen(QColor(240, 240, 240));
    const QFontMetrics fm(font);
    const QStringList rows = Labels(m_mode);
    if (m_readout.empty()) {
        for (int i = 0; i < rows.size(); ++i)
            p.drawText(0, i * kRowHeight + fm.ascent(), rows[i]);
        return;
    }
    p.drawText(0, fm.ascent(), rows.front());
    for (std::size_t i = 0; i < m_readout.size(); ++i) {
        const chart::ReadoutRow& r = m_readout[i];
        const int y = int(i + 1) * kRowHeight + fm.ascent();
        const QString label = QString::fromStdString(r.label) + kValueGap;
        p.setPen(QColor(240, 240, 240));
        p.drawText(0, y, label);
        p.setPen(chart::toQColor(r.colour));
        p.drawText(fm.horizontalAdvance(label), y, QString::fromStdString(r.value));
    }
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
