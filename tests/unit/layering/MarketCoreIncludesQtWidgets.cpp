// Compiled against the market core only: Qt Widgets is out of its sight.
#include "market/core/OverviewReply.h"
#include <QWidget>
