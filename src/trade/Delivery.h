#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QDate>
#include <QString>

#include "client/ApiReply.h"
#include "client/Endpoints.h"
#include "trade/core/Cells.h"
#include "trade/Lists.h"

class JListCtrl;
class QWidget;

// Physical delivery: the application form as a value, the checks made before it goes out,
// its request, and the list of applications both delivery windows show.
namespace trade {

inline constexpr const char* kDeliveryQuantityNotMultiple = "交割数量须是20的倍数";
inline constexpr const char* kDeliveryDateBeforeToday = "交割日期早于当前日期，请重新输入";
inline constexpr const char* kConsigneeHasDigit = "收货人区域不能含有数字！";
inline constexpr const char* kAddressAllDigits = "收货地址不能是纯数字！";
inline constexpr const char* kNoDeliveryRecords = "无交割记录！";

inline constexpr int kDeliveryUnit = 20;

enum class DeliveryMode { Mail, Pickup };
// "邮寄" or "自提", as the request's `method`.
const char* methodText(DeliveryMode mode);

struct DeliveryForm
{
    DeliveryMode mode = DeliveryMode::Mail;
    std::string code;      // as typed
    std::string quantity;  // as typed
    QDate date;            // the day of delivery
    std::string address;   // the mail address as typed, or the pickup point's address
    std::string consignee; // as typed; read in both modes
};

// The four checks in order; the first that fails gives the refusal to show. The quantity
// is its leading number (0 when none, which passes). A blank address counts as empty.
// Last, text outside the code page is refused: the form is typed in it.
std::optional<std::string> checkDelivery(const DeliveryForm& form, QDate today);

// The parameters of "/api/v1/stock/delivery" (`v` and `sign` are added by the request call,
// which sends this request in UTF-8). `contact` is the user's mobile number.
std::vector<client::Param> deliveryParams(const DeliveryForm& form, const std::string& userId,
                                          const std::string& mobile);

// The holding the form shows for the typed code: the `amount_usable` of the matching position
// in a customer-item reply; blank when none matches or the service did not answer with success.
QString holdingText(const client::ApiReply& reply, const QString& codeText);

// The one refresh of an application list: rows only from a successful reply; a reply that
// parses without success says "无交割记录！" and leaves the rows.
void refreshDeliveries(JListCtrl& list, const ListSpec<DeliveryColumn>& listSpec, QWidget* owner);

} // namespace trade
