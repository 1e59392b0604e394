#include "trade/Delivery.h"

#include <algorithm>
#include <limits>

#include "client/Call.h"
#include "controls/JListCtrl.h"
#include "platform/Dialogs.h"
#include "trade/core/OrderChecks.h"
#include "trade/core/Parsers.h"

namespace trade {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool allDigits(const std::string& text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first >= last || std::all_of(first, last, isDigit);
}

// The remainder of the quantity's leading digits, taken digit by digit so that a number
// too long for any integer is judged as typed instead of as 0.
int leadingRemainder(const std::string& text, int divisor)
{
    int remainder = 0;
    for (char c : text) {
        if (!isDigit(c))
            break;
        remainder = (remainder * 10 + (c - '0')) % divisor;
    }
    return remainder;
}

} // namespace

const char* methodText(DeliveryMode mode) { return mode == DeliveryMode::Mail ? "邮寄" : "自提"; }

std::optional<std::string> checkDelivery(const DeliveryForm& form, QDate today)
{
    if (leadingRemainder(form.quantity, kDeliveryUnit) != 0)
        return std::string(kDeliveryQuantityNotMultiple);
    if (form.date < today)
        return std::string(kDeliveryDateBeforeToday);
    if (std::any_of(form.consignee.begin(), form.consignee.end(), isDigit))
        return std::string(kConsigneeHasDigit);
    if (allDigits(form.address))
        return std::string(kAddressAllDigits);
    return checkWireText({form.code, form.quantity, form.address, form.consignee});
}

std::vector<client::Param> deliveryParams(const DeliveryForm& form, const std::string& userId,
                                          const std::string& mobile)
{
    const std::string date = QString::asprintf("%04d-%02d-%02d", form.date.year(), form.date.month(), form.date.day())
                                 .toStdString();
    return {{"add_date", date}, {"address", form.address},  {"amount", form.quantity},
            {"consignee", form.consignee},           {"contact", mobile},        {"id", userId},
            {"method", methodText(form.mode)},       {"stock_id", form.code}};
}

QString holdingText(const client::ApiReply& reply, const QString& codeText)
{
    const std::optional<Holding> holding = FindHolding(reply, integerOf(codeText.toStdString()));
    return holding && holding->found ? QString::number(holding->amountUsable) : QString();
}

void refreshDeliveries(JListCtrl& list, const ListSpec<DeliveryColumn>& listSpec, QWidget* owner)
{
    static const ListQuery<DeliveryRow> query{client::Endpoint::DeliveryHistory, {"\n交割查询\n"}, &ParseDeliveries};
    const client::ApiReply reply = refreshList(list, listSpec, query, userParams());
    if (reply.parsed && !reply.success)
        platform::messageBox(owner, QString::fromUtf8(kNoDeliveryRecords));
}

} // namespace trade
