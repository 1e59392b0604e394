#include "QuotePanelLayout.h"

#include "platform/Windows.h"

namespace market {
namespace {

int Right(const QRect& r) { return r.left() + r.width(); }
int bottom(const QRect& r) { return r.top() + r.height(); }

} // namespace

QRect QuotePanelLayout::placement(int workWidth, int workHeight)
{
    // Beside the charts and down to their bottom (H − 29), clear of the status band.
    return platform::edges(workWidth - 320, 77, workWidth, workHeight - 29);
}

QuotePanelLayout QuotePanelLayout::compute(const QRect& client)
{
    QuotePanelLayout layout;
    const int l = client.left();
    const int t = client.top();
    const int h = client.width() / 2;
    const int p = (client.height() - 28) / 40;

    for (int k = 0; k <= 18; ++k) {
        const int top = t + 28 + k * p;
        layout.labels[k] = platform::edges(l + 5, top, l + 65, top + 23);
    }
    layout.labels[19] = platform::edges(l + 5 + h, layout.labels[0].top(), l + 65 + h, bottom(layout.labels[0]));
    for (int k = 20; k <= 27; ++k) {
        const QRect& row = layout.labels[k - 9];
        layout.labels[k] = platform::edges(row.left() + h, row.top(), row.left() + h + 60, bottom(row));
    }
    for (int k = 0; k <= 19; ++k) {
        const QRect& label = layout.labels[k];
        layout.values[k] = platform::edges(Right(label), label.top(), Right(label) + 80, bottom(label));
    }
    for (int k = 20; k <= 29; ++k) {
        const QRect& label = layout.labels[k - 19];
        const int left = label.left() + h + 60;
        layout.values[k] = platform::edges(left, label.top(), left + 80, bottom(label));
    }
    for (int k = 30; k <= 37; ++k) {
        const QRect& label = layout.labels[k - 10];
        layout.values[k] = platform::edges(Right(label), label.top(), Right(label) + 80, bottom(label));
    }
    layout.quoteBottom = bottom(layout.values[18]);
    return layout;
}

int QuotePanelLayout::levelRowAt(const QPoint& point) const
{
    for (int row = 0; row < 10; ++row) {
        // Label k, its price (value k) and its volume (value 19 + k) share one line.
        const int k = 1 + row;
        if (labels[k].united(values[19 + k]).contains(point))
            return row;
    }
    return -1;
}

} // namespace market
