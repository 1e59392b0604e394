#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "session/Session.h"
#include "client/Endpoints.h"

// The forms of the withdrawal, account-details and password windows as values, the checks
// made before anything is sent, and the parameters of their requests (`v` and `sign` are
// added by the request call). A check returns the refusal to show, or nothing.
namespace trade {

inline constexpr const char* kConfirmWithdrawal = "是否确认出金";
inline constexpr const char* kBankName = "建设银行";

inline constexpr const char* kNameEmpty = "姓名不能为空,请确认输入！";
inline constexpr const char* kCardNumberWrong = "银行卡号不正确,请确认输入！";
inline constexpr const char* kMobileWrong = "手机号码位数不正确,请确认输入！";
inline constexpr const char* kDocumentNumberWrong = "身份证号码校验不正确,请输入真实身份证号码！";
inline constexpr const char* kDetailsUpdated = "信息更新成功";
inline constexpr const char* kTelephoneNote = "备注：电话号码栏目请输入\"区号-电话号码 xx-xxxxxxx\"";

inline constexpr const char* kOldPasswordWrong = "旧密码输入错误，请重新输入";
inline constexpr const char* kNewPasswordsDiffer = "新密码两次输入不同，请确认输入！";
inline constexpr const char* kPasswordUpdated = "更新密码成功";

// The lengths the details must have, in characters as the user sees them (a Chinese
// character counts one, like a digit).
inline constexpr int kCardNumberLength = 19;
inline constexpr int kMobileLength = 11;
inline constexpr int kDocumentNumberLength = 18;

// The customer record as typed (UTF-8).
struct DetailsForm
{
    std::string name;
    std::string email;
    std::string personalId;      // identity-card number
    std::string address;         // identity-card address
    std::string phone;
    std::string mobile;
    std::string contractAddress; // postal contact address
    std::string account;         // bank card number
};

// Characters of a UTF-8 text.
int characterCount(std::string_view utf8);

// In order: the name, the card number's length, the mobile's, the document number's. Only
// lengths are checked; what the characters are is the service's business, except that
// text outside the code page the form is typed in is refused last.
std::optional<std::string> checkDetails(const DetailsForm& form);
// The question the user confirms before the details go out, with the eight values.
QString detailsConfirmation(const DetailsForm& form);
std::vector<client::Param> detailsParams(const DetailsForm& form, const std::string& userId);

DetailsForm detailsOf(const UserRecord& record);
// The record with the details as saved. The record is then on file: a details window made
// later opens read-only instead of offering a form the service would refuse.
UserRecord withDetails(UserRecord record, const DetailsForm& form);

struct PasswordForm
{
    std::string oldPassword;
    std::string newPassword;
    std::string confirmation;
};

// The old password against the one of the last login (or change), then the confirmation,
// then a new password the code page cannot carry.
std::optional<std::string> checkPasswordChange(const PasswordForm& form, const std::string& storedPassword);
// Both passwords travel hashed, never plain.
std::vector<client::Param> passwordParams(const PasswordForm& form, const std::string& userId);

// The amount goes out exactly as typed; the service judges it.
std::vector<client::Param> withdrawalParams(const std::string& amount, const std::string& userId);
std::vector<client::Param> cashHistoryParams(const QString& startDate, const QString& endDate,
                                             const std::string& userId);

} // namespace trade
