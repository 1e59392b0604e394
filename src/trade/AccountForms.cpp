#include "trade/AccountForms.h"

#include "client/ApiSign.h"
#include "trade/core/OrderChecks.h"

namespace trade {
namespace {

QString q(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace

int characterCount(std::string_view utf8)
{
    int count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

std::optional<std::string> checkDetails(const DetailsForm& form)
{
    if (form.name.empty())
        return std::string(kNameEmpty);
    if (characterCount(form.account) != kCardNumberLength)
        return std::string(kCardNumberWrong);
    if (characterCount(form.mobile) != kMobileLength)
        return std::string(kMobileWrong);
    if (characterCount(form.personalId) != kDocumentNumberLength)
        return std::string(kDocumentNumberWrong);
    return checkWireText({form.name, form.email, form.personalId, form.address, form.phone, form.mobile,
                          form.contractAddress, form.account});
}

QString detailsConfirmation(const DetailsForm& form)
{
    // Put together piece by piece: a value holding "%" must show as typed.
    return QStringLiteral("请确认下列输入信息是否正确：\n\n") + QStringLiteral("姓名：") + q(form.name)
           + QStringLiteral("\n\n邮箱：") + q(form.email) + QStringLiteral("\n\n身份证号码:") + q(form.personalId)
           + QStringLiteral("\n\n身份证地址:") + q(form.address) + QStringLiteral("\n\n电话:") + q(form.phone)
           + QStringLiteral("\n\n手机:") + q(form.mobile) + QStringLiteral("\n\n联系地址:") + q(form.contractAddress)
           + QStringLiteral("\n\n银行卡号:") + q(form.account) + QStringLiteral("\n\n");
}

std::vector<client::Param> detailsParams(const DetailsForm& form, const std::string& userId)
{
    return {{"account", form.account}, {"address", form.address}, {"contract_address", form.contractAddress},
            {"email", form.email},     {"id", userId},            {"mobile", form.mobile},
            {"name", form.name},       {"personal_id", form.personalId}, {"phone", form.phone}};
}

DetailsForm detailsOf(const UserRecord& record)
{
    return {record.name,  record.email,  record.personal_id,      record.address,
            record.phone, record.mobile, record.contract_address, record.account};
}

UserRecord withDetails(UserRecord record, const DetailsForm& form)
{
    record.name = form.name;
    record.email = form.email;
    record.personal_id = form.personalId;
    record.address = form.address;
    record.phone = form.phone;
    record.mobile = form.mobile;
    record.contract_address = form.contractAddress;
    record.account = form.account;
    record.is_update = 1;
    return record;
}

std::optional<std::string> checkPasswordChange(const PasswordForm& form, const std::string& storedPassword)
{
    if (form.oldPassword != storedPassword)
        return std::string(kOldPasswordWrong);
    if (form.newPassword != form.confirmation)
        return std::string(kNewPasswordsDiffer);
    // The password travels hashed over its code-page bytes: '?' in place of a character
    // would make a password other than the one the user chose.
    return checkWireText({form.newPassword});
}

std::vector<client::Param> passwordParams(const PasswordForm& form, const std::string& userId)
{
    return {{"id", userId},
            {"new_passwd", client::hashPassword(form.newPassword)},
            {"old_passwd", client::hashPassword(form.oldPassword)}};
}

std::vector<client::Param> withdrawalParams(const std::string& amount, const std::string& userId)
{
    return {{"cash", amount}, {"id", userId}};
}

std::vector<client::Param> cashHistoryParams(const QString& startDate, const QString& endDate,
                                             const std::string& userId)
{
    return {{"end_date", endDate.toStdString()}, {"id", userId}, {"start_date", startDate.toStdString()}};
}

} // namespace trade
