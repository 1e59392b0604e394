#pragma once

#include <optional>
#include <string>
#include <vector>

#include "client/Call.h"
#include "client/Endpoints.h"

namespace trade {

// What the user is told when a request's answer never came: it may have been carried out.
inline constexpr const char* kRequestUnanswered = "未收到答复，结果未知，请查询后再操作";

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
    std::string unanswered = kRequestUnanswered; // shown, over `detail`, when no readable reply came
};

} // namespace trade
