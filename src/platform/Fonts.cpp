#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace platform {

namespace {

const QString kCjkFamily = QStringLiteral("WenQuanYi Micro Hei");
const QString kSansFamily = QStringLiteral("DejaVu Sans");

QString firstInstalled(const QStringList& candidates, const QString& fallback)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString& c : candidates)
        if (installed.contains(c, Qt::CaseInsensitive))
            return c;
    return fallback;
}

} // namespace

QString familyFor(const QString& face)
{
    if (face == QStringLiteral("Arial"))
        return firstInstalled({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), kSansFamily}, kSansFamily);
    // "宋体", "微软雅黑" and anything unknown: the CJK face, which also carries Latin.
    return firstInstalled({face, kCjkFamily, QStringLiteral("Noto Sans CJK SC")}, kCjkFamily);
}

QFont font(const QString& face, int pixelHeight, bool underline, bool bold)
{
    QFont f;
    f.setFamilies({familyFor(face), kCjkFamily});
    f.setPixelSize(pixelHeight > 0 ? pixelHeight : 12);
    f.setUnderline(underline);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont crispFont(const QString& face, int pixelHeight)
{
    QFont f = font(face, pixelHeight);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

} // namespace platform
