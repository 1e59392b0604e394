#pragma once

#include <QFont>

// The chart's two faces: titles in "微软雅黑" 19, labels in "宋体" 12.
namespace chart::fonts {

const QFont& Title();
const QFont& Label();

} // namespace chart::fonts
