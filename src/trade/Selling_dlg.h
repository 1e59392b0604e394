#pragma once

#include <cstdint>
#include <optional>

#include "trade/BackgroundRequest.h"
#include "trade/Parsers.h"
#include "trade/QuickOrderDlg.h"

// The quick sell pop-up ("闪电卖出"): the item's name and the sellable quantity of the
// typed code, looked up every second; the order checked against the last looked-up
// figure, confirmed, and sent with the code as typed.
class Selling_dlg final : public trade::QuickOrderDlg
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Selling_dlg)

public:
    enum ControlId {
        kLeftButton = 209,
        kOrderButton = 210,
        kCodeField = 211,
        kPriceField = 212,
        kQuantityField = 213,
        kCloseButton = 220,
    };
    static constexpr int kNameBox = 73;
    static constexpr int kSellableBox = 133;

    explicit Selling_dlg(QWidget* parent);

    std::int32_t sellable() const { return m_sellable; }
    bool lookupInFlight() const { return m_lookup.inFlight(); }

protected:
    void timerTick() override;
    void codeLeft() override;
    void prefilled() override;
    void placeOrder() override;

private:
    void lookUpSellable();
    void takeHolding(const QString& code, const std::optional<trade::Holding>& holding);

    std::int32_t m_sellable = 0;
    QString m_sellableCode; // the code whose lookup gave m_sellable
    trade::BackgroundRequest m_lookup{this};
};
