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
    r.is_update = client::JsonInt(infor, "is_update");
    r.name = client::JsonText(infor, "name");
    r.email = client::JsonText(infor, "email");
    r.mobile = client::JsonText(infor, "mobile");
    r.contract_address = client::JsonText(infor, "contract_address");
    r.personal_id = client::JsonText(infor, "personal_id");
    r.account = client::JsonText(infor, "account");
    r.phone = client::JsonText(infor, "phone");
    r.address = client::JsonText(infor, "address");
    return r;
}

LoginOutcome RequestLogin(const std::string& account, const std::string& password)
{
    const client::ApiReply parsed =
        client::Call(client::Endpoint::Login, {{"username", account}, {"passwd", client::HashPassword(password)}},
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
