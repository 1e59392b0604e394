// Compiled against the session only: it is the bottom layer, and no library is in its sight.
#include "session/Session.h"
#include "client/Call.h"
