#include "chart/ChartFont.h"

#include <QStringList>

namespace chart {

QFont ChartFont(const QString& face, int pixelHeight)
{
    QFont font;
    // The Windows faces are not installed here; the CJK fallback covers both.
    QStringList families{face, QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                         QStringLiteral("DejaVu Sans")};
    font.setFamilies(families);
    font.setPixelSize(pixelHeight);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace chart
