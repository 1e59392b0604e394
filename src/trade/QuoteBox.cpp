#include "trade/QuoteBox.h"

#include <QPainter>

#include "market/SingleItemQuote.h"
#include "platform/core/Colours.h"

namespace trade {
namespace {

const QColor kLabel(16, 16, 16);
const QColor kFrame(160, 160, 160);

bool nearZero(double v) { return v > -0.00001 && v < 0.00001; }

// Texts stand with their top left at the given point, as the layout places them.
void text(QPainter& p, int x, int y, const QString& s, const QColor& colour)
{
    p.setPen(colour);
    p.drawText(QPoint(x, y + p.fontMetrics().ascent()), s);
}

} // namespace

QColor quotePriceColour(double price, double reference)
{
    if (nearZero(price) || price == reference)
        return platform::TextOnLight;
    return price > reference ? platform::RiseColour : platform::FallColour;
}

QColor quoteChangeColour(double change)
{
    if (change > 0.0)
        return platform::RiseColour;
    if (change < 0.0)
        return platform::VolumeColour;
    return platform::TextOnLight;
}

void drawQuoteBox(QPainter& p, const QRect& box, const market::SingleItemQuote* quote, const QFont& font)
{
    p.save();
    p.setPen(kFrame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    for (int y : {136, 162, 270})
        p.drawLine(box.left() + 1, y, box.right() - 1, y);
    p.setFont(font);

    const QString dashes = QStringLiteral("--");
    const int labelX = box.left() + 5;
    const int priceX = box.left() + 60;
    const int secondLabelX = box.left() + 112;
    const int volumeX = box.left() + 160;
    auto valueText = [&](int i) { return quote ? QString::fromStdString(quote->texts[size_t(i)]) : dashes; };
    const double reference = quote ? quote->referencePrice : 0.0;

    static constexpr const char* kSellLabels[5] = {"卖五", "卖四", "卖三", "卖二", "卖一"};
    static constexpr const char* kBuyLabels[5] = {"买一", "买二", "买三", "买四", "买五"};
    for (int row = 0; row < 5; ++row) {
        // Sell levels stand highest first: "卖五" is the fifth ask.
        const int level = 4 - row;
        const int y = 33 + 20 * row;
        text(p, labelX, y, QString::fromUtf8(kSellLabels[row]), kLabel);
        text(p, priceX, y, valueText(level),
             quote ? quotePriceColour(quote->firstPrices[size_t(level)], reference) : platform::TextOnLight);
        text(p, volumeX, y, valueText(5 + level), platform::VolumeColour);
    }
    text(p, labelX, 143, QStringLiteral("最新"), kLabel);
    text(p, priceX, 143, valueText(20), quote ? quotePriceColour(quote->prices[0], reference) : platform::TextOnLight);
    text(p, secondLabelX, 143, QStringLiteral("涨幅"), kLabel);
    text(p, volumeX, 143, valueText(21), quote ? quoteChangeColour(quote->prices[1]) : platform::TextOnLight);
    for (int level = 0; level < 5; ++level) {
        const int y = 168 + 20 * level;
        text(p, labelX, y, QString::fromUtf8(kBuyLabels[level]), kLabel);
        text(p, priceX, y, valueText(10 + level),
             quote ? quotePriceColour(quote->secondPrices[size_t(level)], reference) : platform::TextOnLight);
        text(p, volumeX, y, valueText(15 + level), platform::VolumeColour);
    }
    text(p, labelX, 278, QStringLiteral("涨停"), platform::RiseColour);
    text(p, priceX, 278, valueText(22), platform::RiseColour);
    text(p, secondLabelX, 278, QStringLiteral("跌停"), platform::FallColour);
    text(p, volumeX, 278, valueText(23), platform::FallColour);
    p.restore();
}

} // namespace trade
