#include "platform/Fonts.h"

#include <map>
#include <mutex>
#include <tuple>

#include <QFontDatabase>
#include <QFontMetrics>
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

// Everything that can change a font's vertical metrics at a given pixel size.
using MetricsKey = std::tuple<QString, int, bool, bool>; // family, cell height, bold, crisp

int measuredHeight(QFont f, int pixelSize)
{
    f.setPixelSize(pixelSize);
    return QFontMetrics(f).height();
}

// The layouts give a font's height as Windows does (a positive LOGFONT lfHeight): the height
// of the character cell, ascent plus descent, internal leading included. Qt's pixel size is
// the em, which for these faces is a fifth smaller than the cell, so the pixel size is found
// by measuring: the largest whose ascent + descent does not exceed the height. Fonts are made
// in paint code, on the pollers' threads too, hence the cache and its lock.
int pixelSizeForCell(const QFont& f, int cellHeight, bool crisp)
{
    static std::mutex lock;
    static std::map<MetricsKey, int> cache;
    const MetricsKey key{f.families().value(0), cellHeight, f.bold(), crisp};
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (const auto it = cache.find(key); it != cache.end())
            return it->second;
    }
    // Start from the face's own proportion at this height, then step to the exact size.
    const int atHeight = measuredHeight(f, cellHeight);
    int size = atHeight > 0 ? qMax(1, cellHeight * cellHeight / atHeight) : cellHeight;
    while (size > 1 && measuredHeight(f, size) > cellHeight)
        --size;
    while (measuredHeight(f, size + 1) <= cellHeight)
        ++size;
    const std::lock_guard<std::mutex> guard(lock);
    cache.emplace(key, size);
    return size;
}

QFont makeFont(const QString& face, int cellHeight, bool underline, bool bold, bool crisp)
{
    QFont f;
    f.setFamilies({familyFor(face), kCjkFamily});
    f.setUnderline(underline);
    f.setBold(bold);
    if (crisp) {
        f.setHintingPreference(QFont::PreferFullHinting);
        f.setStyleStrategy(QFont::NoAntialias);
    } else {
        f.setStyleStrategy(QFont::PreferAntialias);
    }
    f.setPixelSize(pixelSizeForCell(f, cellHeight > 0 ? cellHeight : 12, crisp));
    return f;
}

} // namespace

QString familyFor(const QString& face)
{
    // Listing the installed families costs more than the rest of making a font.
    static std::mutex lock;
    static std::map<QString, QString> known;
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (const auto it = known.find(face); it != known.end())
            return it->second;
    }
    const QString family = face == QStringLiteral("Arial")
        ? firstInstalled({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), kSansFamily}, kSansFamily)
        // "宋体", "微软雅黑" and anything unknown: the CJK face, which also carries Latin.
        : firstInstalled({face, kCjkFamily, QStringLiteral("Noto Sans CJK SC")}, kCjkFamily);
    const std::lock_guard<std::mutex> guard(lock);
    known.emplace(face, family);
    return family;
}

QFont font(const QString& face, int pixelHeight, bool underline, bool bold)
{
    return makeFont(face, pixelHeight, underline, bold, false);
}

QFont crispFont(const QString& face, int pixelHeight)
{
    return makeFont(face, pixelHeight, false, false, true);
}

} // namespace platform
