#pragma once

#include <functional>

#include "client/ApiReply.h"
#include "trade/core/Submission.h"

class QWidget;

namespace trade {

// The one way a window sends what the user asked for: shows the refusal and stops, or asks
// the question and, on Yes, sends the signed request, shows the service's `msg` (or the
// success text) when the reply parses, and runs `followUp` with the reply, parsed or not.
// True when the request went out.
bool submit(QWidget* owner, const Submission& submission,
            const std::function<void(const client::ApiReply&)>& followUp = {});

// Tells the user that `what` was sent and no readable answer came.
void tellUnanswered(QWidget* owner, const std::string& text, const std::string& what);

} // namespace trade
