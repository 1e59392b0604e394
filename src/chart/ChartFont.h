#pragma once

#include <QFont>
#include <QString>

namespace chart {

// Until the platform layer's font mapping is available: maps the faces the charts ask
// for ("宋体", "微软雅黑") to installed fonts, height in pixels.
QFont ChartFont(const QString& face, int pixelHeight);

} // namespace chart
