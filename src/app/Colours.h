#pragma once

#include "platform/Colours.h"

namespace app {
using platform::FallColour;
using platform::RiseColour;
using platform::TextOnDark;
using platform::TextOnLight;
using platform::VolumeColour;
} // namespace app
