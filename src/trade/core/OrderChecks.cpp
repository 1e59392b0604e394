#include "trade/core/OrderChecks.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "client/CodePage.h"
#include "client/Numbers.h"
#include "session/Session.h"

namespace trade {

namespace {

std::optional<std::string> checkOrderText(const OrderForm& form)
{
    if (auto refusal = checkWireText({form.code, form.price, form.quantity}))
        return refusal;
    if (!isWholeNumber(form.quantity) || integerOf(form.quantity) <= 0)
        return std::string(kQuantityWrong);
    return std::nullopt;
}

std::optional<std::string> checkPrice(const OrderForm& form)
{
    if (!(priceOf(form.price) > 0.0))
        return std::string(kPriceNotPositive);
    return std::nullopt;
}

} // namespace

std::int64_t integerOf(const std::string& text) { return client::IntegerParamValue(text); }

bool isWholeNumber(const std::string& text)
{
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max())
            return false;
    }
    return true;
}

std::optional<std::string> checkWireText(std::initializer_list<std::string_view> texts)
{
    for (std::string_view text : texts) {
        if (!client::fitsWireCodePage(text))
            return std::string(kTextOutsideCodePage);
    }
    return std::nullopt;
}

double priceOf(const std::string& text)
{
    const double p = client::leadingDecimal(text).value_or(0.0);
    return std::isfinite(p) ? p : 0.0;
}

namespace {

bool affordable(double quantity, double unitCost, double cash)
{
    // Dividing lands a hair below a whole number when the cash is exactly enough (3620 / 36.2
    // is 99.99999999999999); a millionth of a yuan is far above that error and far below a cent.
    return quantity * unitCost - cash <= 1e-6;
}

} // namespace

int maxBuyable(double cash, double price)
{
    if (!(price > 0.0))
        return 0;
    const double unitCost = price + price * 3.0 / 1000.0;
    double q = std::floor(cash / unitCost);
    if (affordable(q + 1.0, unitCost, cash))
        q += 1.0;
    if (!(q > 0.0))
        return 0;
    if (q >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(q);
}

double buyFee(double amount)
{
    // As the exchange takes it: 3/1000 of the amount in cents, the part of a cent dropped.
    const long double cents = std::llround(static_cast<long double>(amount) * 100.0L);
    return double(std::floor(cents * 3.0L / 1000.0L) / 100.0L);
}

std::optional<std::string> checkBuy(const OrderForm& form, double usableCash)
{
    if (auto refusal = checkOrderText(form))
        return refusal;
    if (auto refusal = checkPrice(form))
        return refusal;
    const double amount = double(integerOf(form.quantity)) * priceOf(form.price);
    if (!affordable(1.0, amount + buyFee(amount), usableCash))
        return std::string(kInsufficientCash);
    return std::nullopt;
}

std::optional<std::string> checkPriceLimits(const OrderForm& form, double lower, double upper)
{
    if (!(lower > 0.0) || !(upper > 0.0))
        return std::nullopt;
    const auto cents = [](double yuan) { return std::llround(yuan * 100.0); };
    const std::int64_t price = cents(priceOf(form.price));
    if (price >= cents(lower) && price <= cents(upper))
        return std::nullopt;
    return std::string(kPriceOutsideLimits) + "（" + client::fixedDecimals(lower, 2) + "-"
           + client::fixedDecimals(upper, 2) + "）";
}

std::optional<std::string> checkQuickBuy(const OrderForm& form, double usableCash)
{
    if (auto refusal = checkWireText({form.code}))
        return refusal;
    if (!isWholeNumber(form.code))
        return std::string(kCodeWrong);
    return checkBuy(form, usableCash);
}

std::optional<std::string> checkSell(const OrderForm& form, std::int64_t sellable)
{
    if (auto refusal = checkOrderText(form))
        return refusal;
    if (auto refusal = checkPrice(form))
        return refusal;
    if (integerOf(form.quantity) > sellable)
        return std::string(kSellExceedsSellable);
    return std::nullopt;
}

std::optional<std::string> checkOrder(const OrderKind& kind, const OrderForm& form, double usableCash,
                                      std::int64_t sellable)
{
    if (kind.side == OrderSide::Sell)
        return checkSell(form, sellable);
    return kind.codeAsInteger ? checkQuickBuy(form, usableCash) : checkBuy(form, usableCash);
}

std::vector<client::Param> buyParams(const OrderForm& form, const std::string& userId)
{
    return {{"buy_amount", form.quantity}, {"buy_price", form.price}, {"id", userId}, {"item_id", form.code}};
}

std::vector<client::Param> quickBuyParams(const OrderForm& form, const std::string& userId)
{
    // Same members; the endpoint row of the quick buy makes `item_id` an integer.
    return buyParams(form, userId);
}

std::vector<client::Param> sellParams(const OrderForm& form, const std::string& userId)
{
    return {{"id", userId}, {"item_id", form.code}, {"sell_amount", form.quantity}, {"sell_price", form.price}};
}

std::vector<client::Param> orderParams(const OrderKind& kind, const OrderForm& form, const std::string& userId)
{
    if (kind.side == OrderSide::Sell)
        return sellParams(form, userId);
    return kind.codeAsInteger ? quickBuyParams(form, userId) : buyParams(form, userId);
}

std::int64_t presetQuantity(std::int64_t figure, int parts)
{
    return figure > 0 && parts > 0 ? figure / parts : 0;
}

std::string orderDetail(const OrderKind& kind, const OrderForm& form, const std::string& itemName)
{
    const std::int64_t quantity = integerOf(form.quantity);
    // The code as it goes out: the quick buy sends its integer reading.
    const std::string code = kind.codeAsInteger ? std::to_string(integerOf(form.code)) : form.code;
    const std::string amount = client::fixedDecimals(priceOf(form.price) * double(quantity), 2);
    std::string detail = kind.side == OrderSide::Buy ? "买入 " : "卖出 ";
    detail += code;
    if (!itemName.empty())
        detail += " " + itemName;
    detail += "\n价格：" + form.price + "\n数量：" + std::to_string(quantity) + "\n金额：" + amount;
    if (kind.side == OrderSide::Buy) {
        const double value = priceOf(form.price) * double(quantity);
        const double fee = buyFee(value);
        detail += "\n手续费：" + client::fixedDecimals(fee, 2) + "\n合计：" + client::fixedDecimals(value + fee, 2);
    }
    return detail;
}

std::vector<client::Param> repealParams(const std::string& orderNo, const std::string& userId)
{
    return {{"id", orderNo}, {"stockholder_id", userId}};
}

QString itemNameForCode(const QString& codeText)
{
    QString name;
    for (const market::ItemEntry& entry : Session::current().items().entries()) {
        if (QString::number(entry.code) == codeText)
            name = QString::fromStdString(entry.name);
    }
    return name;
}

} // namespace trade
