#pragma once

// The small layer that stands in for the desktop framework the windows were designed
// against: dialogs, fonts, bitmaps, work area, single instance, trace and data folder.
#include "platform/Bitmaps.h"
#include "platform/core/Colours.h"
#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/SingleInstance.h"
#include "platform/Trace.h"
#include "platform/Windows.h"
#include "platform/WorkArea.h"
