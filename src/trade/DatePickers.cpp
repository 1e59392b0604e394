#include "trade/DatePickers.h"

#include <QDateEdit>
#include <QPainter>

#include "platform/Fonts.h"

namespace trade {

QDateEdit* makeDatePicker(QWidget* parent, int controlId, const QRect& rect, const QDate& date)
{
    auto* picker = new QDateEdit(date, parent);
    picker->setObjectName(QString::number(controlId));
    picker->setGeometry(rect);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy/M/d"));
    picker->setFont(platform::font(QStringLiteral("宋体"), 14));
    return picker;
}

void paintDateRangeGround(QPainter& p, const QRect& window, int endLabelX)
{
    p.fillRect(window, QColor(240, 240, 240));
    p.setPen(QColor(32, 32, 32));
    p.setFont(platform::font(QStringLiteral("宋体"), 15));
    const int ascent = p.fontMetrics().ascent();
    p.drawText(QPoint(5, 3 + ascent), QStringLiteral("起始日期"));
    p.drawText(QPoint(endLabelX, 3 + ascent), QStringLiteral("截止日期"));
}

QRect listBelowPickers(const QSize& window)
{
    return QRect(10, 29, qMax(0, window.width() - 10), qMax(0, window.height() - 39));
}

} // namespace trade
