#pragma once

#include <QFont>

// The chart's two faces: titles in "微软雅黑" 19, labels in "宋体" 12.
namespace chart::fonts {

const QFont& title();
const QFont& label();

} // namespace chart::fonts
