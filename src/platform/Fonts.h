#pragma once

#include <QFont>
#include <QString>

namespace platform {

// A font by the face name the windows were laid out with and a height in pixels. The height is
// the character cell's (ascent + descent) as the layouts mean it, not Qt's em pixel size: the
// font's QFontMetrics::height() is the largest the face allows that does not exceed it.
// "宋体" and "微软雅黑" map to the installed CJK face, "Arial" to the installed sans face;
// every font falls back to the CJK face for characters its own face lacks.
QFont font(const QString& face, int pixelHeight, bool underline = false, bool bold = false);

// The same without antialiasing: the charts draw text into images whose pixels must come
// out the same whichever way they were drawn (full redraw or scroll).
QFont crispFont(const QString& face, int pixelHeight);

// The installed family a face name maps to.
QString familyFor(const QString& face);

} // namespace platform
