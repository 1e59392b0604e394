// The exchange's verifier of signed bodies, both on arbitrary bodies and on the bodies the
// terminal builds from arbitrary field values: what the terminal signs must verify.
#include <vector>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/Endpoints.h"
#include "fuzz/FuzzCheck.h"

namespace {

constexpr std::string_view kKey = "Vm8kQ3zT5rLx2NwP";

std::vector<const client::EndpointInfo*> signedEndpoints()
{
    std::vector<const client::EndpointInfo*> out;
    for (const client::EndpointInfo& info : client::endpointTable())
        if (info.method == client::Method::SignedPost)
            out.push_back(&info);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<const client::EndpointInfo*> endpoints = signedEndpoints();
    if (size < 2)
        return 0;
    const client::EndpointInfo& info = *endpoints[data[0] % endpoints.size()];
    const bool build = data[1] & 1;
    std::string_view rest = fuzz::text(data + 2, size - 2);

    if (!build) {
        const client::VerifiedBody verified = client::verifySignedBody(info, rest, kKey);
        if (verified.ok)
            for (std::string_view p : info.params)
                FUZZ_CHECK(verified.params.count(std::string(p)));
        return 0;
    }
    // Field values separated by '\n', as a window would take them from its edits.
    std::vector<client::Param> params;
    for (std::string_view key : info.params) {
        if (key == "v")
            continue;
        const std::size_t end = rest.find('\n');
        std::string value(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        // Typed text reaches the core as UTF-8 from Qt: never invalid sequences.
        if (!client::isValidUtf8(value))
            return 0;
        params.push_back({std::string(key), value});
    }
    const client::SignedRequest request = client::buildSignedRequest(info.endpoint, params, kKey, 1700000000u);
    const client::VerifiedBody verified = client::verifySignedBody(info, request.body, kKey);
    FUZZ_CHECK(verified.ok);
    // The body goes out up to its first zero byte: there must be none.
    FUZZ_CHECK(request.body.find('\0') == std::string::npos);
    return 0;
}
