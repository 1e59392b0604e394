#pragma once

#include <QDate>
#include <QRect>
#include <QSize>

class QDateEdit;
class QPainter;
class QWidget;

// The look the windows with two date pickers share (cash history, withdrawal status).
namespace trade {

// A date picker, named after its control id, showing `date`.
QDateEdit* makeDatePicker(QWidget* parent, int controlId, const QRect& rect, const QDate& date);
// The light ground of `window` with the pickers' labels, "起始日期" at x 5 and "截止日期" at
// `endLabelX`.
void paintDateRangeGround(QPainter& p, const QRect& window, int endLabelX);
// The list below the pickers: from (10, 29) to the window's right edge, ending inside the
// window so that its last rows and its scroll bar stay in sight.
QRect listBelowPickers(const QSize& window);

} // namespace trade
