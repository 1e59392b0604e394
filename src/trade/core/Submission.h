#pragma once

#include <optional>
#include <string>
#include <vector>

#include "client/Call.h"
#include "client/Endpoints.h"

namespace trade {

// One request a window sends on the user's word, as a value: the check's verdict, what the
// user is asked, and what goes out. Texts are UTF-8.
struct Submission
{
    std::optional<std::string> refusal; // the check's refusal; nothing is asked or sent then
    std::string question;               // the confirmation; empty: sent without asking
    std::string detail;                 // beneath the question: what will be sent
    client::Endpoint endpoint = client::Endpoint::Buy;
    std::vector<client::Param> params;  // every parameter but `v` and `sign`
    client::TraceLines trace;
    std::string successText;            // shown on success instead of `msg`; empty: `msg` always
};

} // namespace trade
