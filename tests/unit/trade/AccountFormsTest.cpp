#include <gtest/gtest.h>

#include "client/ApiSign.h"
#include "client/Endpoints.h"
#include "trade/AccountForms.h"
#include "trade/core/OrderChecks.h"

using namespace trade;

namespace {

DetailsForm goodForm()
{
    DetailsForm f;
    f.name = "王小明";
    f.email = "wang@example.com";
    f.personalId = "31010119900101123X";
    f.address = "上海市静安区南京西路1号";
    f.phone = "021-62881234";
    f.mobile = "13900139000";
    f.contractAddress = "上海市徐汇区漕溪北路88号";
    f.account = "6217000010009876543";
    return f;
}

std::string message(const std::optional<std::string>& refusal) { return refusal.value_or("passes"); }

} // namespace

TEST(DetailsChecks, LengthsAreCheckedInOrderWithTheirOwnMessages)
{
    EXPECT_EQ(message(checkDetails(goodForm())), "passes");

    DetailsForm f = goodForm();
    f.name.clear();
    f.account = "1";
    f.mobile = "1";
    f.personalId = "1";
    EXPECT_EQ(message(checkDetails(f)), kNameEmpty); // the first failing check speaks
    f.name = "王";
    EXPECT_EQ(message(checkDetails(f)), kCardNumberWrong);
    f.account = "6217000010009876543";
    EXPECT_EQ(message(checkDetails(f)), kMobileWrong);
    f.mobile = "13900139000";
    EXPECT_EQ(message(checkDetails(f)), kDocumentNumberWrong);

    f = goodForm();
    for (const char* card : {"621700001000987654", "62170000100098765432", ""}) {
        f.account = card;
        EXPECT_EQ(message(checkDetails(f)), kCardNumberWrong) << card;
    }
    // Only the length counts: 19 characters of any kind pass, a Chinese one counting one.
    for (const char* card : {"abcdefghijklmnopqrs", "62 17-0000 1000 9x.", "建设银行卡号建设银行卡号建设银行卡号建"}) {
        f.account = card;
        EXPECT_EQ(characterCount(card), 19) << card;
        EXPECT_EQ(message(checkDetails(f)), "passes") << card;
    }

    f = goodForm();
    f.mobile = "1390013900";
    EXPECT_EQ(message(checkDetails(f)), kMobileWrong);
    f.mobile = "139001390001";
    EXPECT_EQ(message(checkDetails(f)), kMobileWrong);
    f = goodForm();
    f.personalId = "31010119900101123"; // 17
    EXPECT_EQ(message(checkDetails(f)), kDocumentNumberWrong);
    f.personalId = "不是身份证号码但有十八个字符的文本X"; // 18 of anything, no check digit
    EXPECT_EQ(characterCount(f.personalId), 18);
    EXPECT_EQ(message(checkDetails(f)), "passes");
}

TEST(DetailsChecks, TheConfirmationShowsTheEightValuesAsTyped)
{
    DetailsForm f = goodForm();
    f.email = "100%s@example.com"; // a value is never read as a format
    EXPECT_EQ(detailsConfirmation(f),
              QStringLiteral("请确认下列输入信息是否正确：\n\n姓名：王小明\n\n邮箱：100%s@example.com\n\n"
                             "身份证号码:31010119900101123X\n\n身份证地址:上海市静安区南京西路1号\n\n"
                             "电话:021-62881234\n\n手机:13900139000\n\n联系地址:上海市徐汇区漕溪北路88号\n\n"
                             "银行卡号:6217000010009876543\n\n"));
}

TEST(DetailsRequest, ChineseTextIsSignedAndSentInUtf8)
{
    const std::string key = "Ab3dEf6hIj9lMn0p";
    const client::SignedRequest r =
        client::buildSignedRequest(client::Endpoint::UpdateInfo, detailsParams(goodForm(), "100001"), key, 1700000000);
    const std::string expectedInput = "account=6217000010009876543"
                                      "address=上海市静安区南京西路1号"
                                      "contract_address=上海市徐汇区漕溪北路88号"
                                      "email=wang@example.com"
                                      "id=100001"
                                      "mobile=13900139000"
                                      "name=王小明"
                                      "personal_id=31010119900101123X"
                                      "phone=021-62881234"
                                      "v=1700000000" + key;
    EXPECT_EQ(r.signatureInput, expectedInput); // the UTF-8 bytes of the source text
    EXPECT_EQ(r.sign, client::ApiSign(expectedInput));
    EXPECT_NE(r.body.find("   \"name\" : \"王小明\",\n"), std::string::npos) << r.body;
    EXPECT_NE(r.body.find("   \"address\" : \"上海市静安区南京西路1号\",\n"), std::string::npos);
    EXPECT_EQ(r.body.find("\\u"), std::string::npos); // unescaped
    EXPECT_EQ(r.body.rfind("   \"v\" : \"1700000000\"\n}\n"), r.body.size() - 24);
}

TEST(PasswordChecks, OldPasswordComparedLocallyThenTheConfirmation)
{
    EXPECT_EQ(message(checkPasswordChange({"123456", "abc", "abc"}, "123456")), "passes");
    EXPECT_EQ(message(checkPasswordChange({"12345", "abc", "abc"}, "123456")), kOldPasswordWrong);
    EXPECT_EQ(message(checkPasswordChange({"123456 ", "abc", "abc"}, "123456")), kOldPasswordWrong); // exact
    EXPECT_EQ(message(checkPasswordChange({"wrong", "abc", "abd"}, "123456")), kOldPasswordWrong);   // first check first
    EXPECT_EQ(message(checkPasswordChange({"123456", "abc", "abd"}, "123456")), kNewPasswordsDiffer);
    EXPECT_EQ(message(checkPasswordChange({"123456", "", ""}, "123456")), "passes"); // the service decides
    // Hashed over its code-page bytes, "a🍷" would become the password "a?".
    EXPECT_EQ(message(checkPasswordChange({"123456", "a🍷", "a🍷"}, "123456")), kTextOutsideCodePage);
    EXPECT_EQ(message(checkPasswordChange({"123456", "密码", "密码"}, "123456")), "passes");
}

TEST(DetailsChecks, TextOutsideTheCodePageIsRefusedAfterTheLengths)
{
    DetailsForm f = goodForm();
    f.contractAddress = "漕溪北路🍷88号";
    EXPECT_EQ(message(checkDetails(f)), kTextOutsideCodePage);
    f.account = "621700001000987654🍷"; // 19 characters, one of them outside
    EXPECT_EQ(message(checkDetails(f)), kTextOutsideCodePage);
    f.mobile = "1390013900";
    EXPECT_EQ(message(checkDetails(f)), kMobileWrong);
}

TEST(PasswordRequest, BothPasswordsTravelHashed)
{
    const auto params = passwordParams({"123456", "n3w", "n3w"}, "100001");
    ASSERT_EQ(params.size(), 3u);
    EXPECT_EQ(params[0].key, "id");
    EXPECT_EQ(params[0].value, "100001");
    EXPECT_EQ(params[1].key, "new_passwd");
    EXPECT_EQ(params[1].value, client::ApiSign("n3w"));
    EXPECT_EQ(params[2].key, "old_passwd");
    EXPECT_EQ(params[2].value, client::ApiSign("123456"));
    const client::SignedRequest r =
        client::buildSignedRequest(client::Endpoint::UpdatePasswd, params, "k", 7);
    EXPECT_EQ(r.body.find("n3w"), std::string::npos);
    EXPECT_EQ(r.body.find("123456"), std::string::npos);
}
