#pragma once

#include <string>
#include <string_view>

class QWidget;

namespace app {

struct UpdateDecision
{
    bool announce = false; // show `message`
    bool forced = false;   // and refuse login and browse for the rest of the run
    std::string message;
};

// What a manifest reply means for this version. Anything unparsable announces nothing.
UpdateDecision EvaluateManifest(std::string_view reply, std::string_view ownVersion);

// Fetches the manifest, announces a new version and returns whether login stays
// permitted. An unreachable host costs at most the transport's time-outs, silently.
bool RunUpdateCheck(QWidget* parent);

} // namespace app
