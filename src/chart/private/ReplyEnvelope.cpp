#include "chart/private/ReplyEnvelope.h"

#include "client/ApiReply.h"

namespace chart {

const Json::Value* SuccessfulInfor(std::string_view utf8, Json::Value& root)
{
    if (!client::ParseJson(utf8, root) || !root.isObject())
        return nullptr;
    static constexpr std::string_view kSuccess = "success";
    static constexpr std::string_view kInfor = "infor";
    const Json::Value* success = root.find(kSuccess.data(), kSuccess.data() + kSuccess.size());
    // The envelope's rule: the text "true" (or JSON true).
    const bool ok = success
                    && (success->isBool() ? success->asBool()
                                          : (success->isString() && success->asString() == "true"));
    if (!ok)
        return nullptr;
    static const Json::Value kNone;
    const Json::Value* infor = root.find(kInfor.data(), kInfor.data() + kInfor.size());
    return infor ? infor : &kNone;
}

} // namespace chart
