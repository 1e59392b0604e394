// Compiled against the formula language only: it is plain C++, Qt is out of its sight.
#include "chart/formula/Evaluator.h"
#include <QObject>
