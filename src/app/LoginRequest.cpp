#include "app/LoginRequest.h"

#include "client/ApiReply.h"
#include "client/ApiSign.h"
#include "client/Call.h"

namespace app {

UserRecord RecordFromReply(const std::string& account, const std::string& password, const Json::Value& infor)
{
    UserRecord r;
    r.id = account;
    r.password = password;
    r.is_update = client::jsonInt(infor, "is_update");
    r.name = client::jsonText(infor, "name");
    r.email = client::jsonText(infor, "email");
    r.mobile = client::jsonText(infor, "mobile");
    r.contract_address = client::jsonText(infor, "contract_address");
    r.personal_id = client::jsonText(infor, "personal_id");
    r.account = client::jsonText(infor, "account");
    r.phone = client::jsonText(infor, "phone");
    r.address = client::jsonText(infor, "address");
    return r;
}

LoginOutcome RequestLogin(const std::string& account, const std::string& password)
{
    const client::ApiReply parsed =
        client::Call(client::Endpoint::Login, {{"username", account}, {"passwd", client::hashPassword(password)}},
                     {"\n登陆信息\n"});
    LoginOutcome outcome;
    if (!parsed.parsed)
        return outcome;
    if (!parsed.success) {
        outcome.kind = LoginOutcome::Kind::Refused;
        outcome.message = parsed.msg;
        return outcome;
    }
    outcome.kind = LoginOutcome::Kind::Succeeded;
    outcome.record = RecordFromReply(account, password, parsed.infor);
    return outcome;
}

} // namespace app
