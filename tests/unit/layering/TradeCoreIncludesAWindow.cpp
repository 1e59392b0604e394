// Compiled against the trade core only: a window of the trade panel is out of its sight.
#include "trade/core/OrderChecks.h"
#include "trade/OrderWindow.h"
