#include "chart/private/ReplyEnvelope.h"

#include "client/ApiReply.h"

namespace chart {

const Json::Value* SuccessfulInfor(std::string_view utf8, Json::Value& root)
{
    if (!client::ParseJson(utf8, root) || !root.isObject())
        return nullptr;
    const Json::Value* success = root.find("success", "success" + 7);
    // The envelope's rule: the text "true" (or JSON true).
    const bool ok = success
                    && (success->isBool() ? success->asBool()
                                          : (success->isString() && success->asString() == "true"));
    if (!ok)
        return nullptr;
    static const Json::Value kNone;
    const Json::Value* infor = root.find("infor", "infor" + 5);
    return infor ? infor : &kNone;
}

} // namespace chart
