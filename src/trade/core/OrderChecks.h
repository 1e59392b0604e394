#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "client/Call.h"
#include "client/Endpoints.h"

// The order forms of the buy and sell windows and of the quick pop-ups, as values, and
// the checks made before an order goes out. A check returns the refusal to show, or
// nothing when the order may be confirmed and sent.
namespace trade {

inline constexpr const char* kInsufficientCash = "余额不足";
inline constexpr const char* kSellExceedsSellable = "卖出数量超过可卖数量请重新输入";
// An empty, zero or negative price would divide the balance check by zero (or flip it)
// and send an order with no usable price; it is refused before anything is asked.
inline constexpr const char* kPriceNotPositive = "价格须大于0，请重新输入";
// A quantity (or a code sent as an integer) that is not a plain whole number, or too
// large for one, would go out as another figure than the one on the screen; an empty or
// zero quantity would place an order for nothing.
inline constexpr const char* kQuantityWrong = "数量不正确，请重新输入";
inline constexpr const char* kCodeWrong = "产品代码不正确，请重新输入";
// Text the wire code page cannot carry would reach the service as '?', not as typed.
inline constexpr const char* kTextOutsideCodePage = "输入含有无法使用的字符，请重新输入";

struct OrderForm
{
    std::string code;     // as typed
    std::string price;    // as typed
    std::string quantity; // as typed (digits only)
};

enum class OrderSide { Buy, Sell };

// What one order window sends and asks: the four windows differ only in these.
struct OrderKind
{
    OrderSide side = OrderSide::Buy;
    bool codeAsInteger = false; // the quick buy sends `item_id` as an integer
    client::Endpoint endpoint = client::Endpoint::Buy;
    const char* question = "";  // the confirmation
    client::TraceLines trace;
};

inline constexpr OrderKind kPanelBuy{OrderSide::Buy, false, client::Endpoint::Buy, "是否买入",
                                     {"\n买入返回\n", "\n结束买入返回\n"}};
inline constexpr OrderKind kQuickBuy{OrderSide::Buy, true, client::Endpoint::QuickBuy, "是否买入",
                                     {"\n买入返回\n", "\n结束买入返回\n"}};
inline constexpr OrderKind kPanelSell{OrderSide::Sell, false, client::Endpoint::Sell, "是否确定卖出",
                                      {"委托卖出返回\n", "\n结束委托卖出返回\n"}};
inline constexpr OrderKind kQuickSell{OrderSide::Sell, false, client::Endpoint::Sell, "是否卖出",
                                      {"委托卖出返回\n", "\n结束委托卖出返回\n"}};

// A field read as a number the way the request will carry it: the integer parameters
// of a request are sent as the decimal reading of their text, and the checks must judge
// that same figure, never another one.
std::int64_t integerOf(const std::string& text);
// Empty (read as 0) or decimal digits only, leading zeros allowed, at most INT_MAX: a text
// that an integer parameter carries as the very figure shown.
bool isWholeNumber(const std::string& text);
// The refusal for the first text that holds a character outside the wire code page.
std::optional<std::string> checkWireText(std::initializer_list<std::string_view> texts);

// The leading number of a price text, as a C library reading gives it (empty is 0).
double priceOf(const std::string& text);

// The largest quantity `cash` buys at `price` with the 3/1000 fee: cash ÷ (P + P × 3 ÷
// 1000) truncated toward zero, and 0 when that is not above 0 or the price is not.
int maxBuyable(double cash, double price);

// The quantity presets of the order forms: a share of the buyable or sellable figure.
struct QuantityPreset
{
    const char* label;
    int parts;
};
inline constexpr QuantityPreset kQuantityPresets[] = {{"全部", 1}, {"1/2", 2}, {"1/3", 3}, {"1/4", 4}};
inline constexpr const char* kNothingToBuy = "可买数量为0，数量未填写";
inline constexpr const char* kNothingToSell = "可卖数量为0，数量未填写";
// `figure` split into `parts`, rounded down to a whole unit; 0 when there is nothing to fill.
std::int64_t presetQuantity(std::int64_t figure, int parts);

// The fee the exchange takes on a buy of `amount` yuan: 3/1000, in whole cents rounded down.
double buyFee(double amount);

// A buy whose amount and fee pass the usable cash is refused (the exchange would refuse it
// for the fee); equality passes. Before
// that, each order check refuses text outside the code page and a quantity that is not
// a whole number (see isWholeNumber).
std::optional<std::string> checkBuy(const OrderForm& form, double usableCash);
// The quick buy also sends its code as an integer, so the code must be a whole number too.
std::optional<std::string> checkQuickBuy(const OrderForm& form, double usableCash);
// A sale needs a price as a buy does; more than the sellable quantity is refused, equality
// passes.
std::optional<std::string> checkSell(const OrderForm& form, std::int64_t sellable);
// The check of the kind's window: the usable cash judges a buy, the sellable quantity a sale.
std::optional<std::string> checkOrder(const OrderKind& kind, const OrderForm& form, double usableCash,
                                      std::int64_t sellable);

// A price outside the day's limits (as the quote gives them; 0 for unknown, then no check)
// is refused in the exchange's own words, limits included.
inline constexpr const char* kPriceOutsideLimits = "委托价格超出涨跌停范围";
std::optional<std::string> checkPriceLimits(const OrderForm& form, double lower, double upper);

// The parameters of the order requests (`v` and `sign` are added by the request call).
// The quick buy sends the code as an integer (09160001 goes out as 9160001).
std::vector<client::Param> buyParams(const OrderForm& form, const std::string& userId);
std::vector<client::Param> quickBuyParams(const OrderForm& form, const std::string& userId);
std::vector<client::Param> sellParams(const OrderForm& form, const std::string& userId);
std::vector<client::Param> orderParams(const OrderKind& kind, const OrderForm& form, const std::string& userId);
// What the confirmation names beneath its question, as the request will carry it: the
// direction, code and name, price, quantity and amount, and a buy's fee and total (UTF-8).
std::string orderDetail(const OrderKind& kind, const OrderForm& form, const std::string& itemName);
// A cancellation names the order as `id` (an integer) and the user as `stockholder_id`.
std::vector<client::Param> repealParams(const std::string& orderNo, const std::string& userId);

// The name of the item-table entry whose code printed in decimal equals `codeText`
// exactly (so "09160001" names nothing); the last of several wins; empty when none.
QString itemNameForCode(const QString& codeText);

} // namespace trade
