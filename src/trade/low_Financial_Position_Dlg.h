#pragma once

#include "trade/ListWindow.h"

// The account's funds (one row) and positions.
class low_Financial_Position_Dlg final : public trade::ListWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_Financial_Position_Dlg)

public:
    static constexpr int kQueryButton = 1053;
    static constexpr int kFundsList = 1146;
    static constexpr int kPositionsList = 1134;
    static inline const QColor kGround{224, 224, 224};

    explicit low_Financial_Position_Dlg(QWidget* parent);

    // Both lists change only when the reply carries the account's cash.
    void refresh() override;
    JListCtrl* fundsList() const { return m_funds; }
    JListCtrl* positionsList() const { return m_positions; }

private:
    JListCtrl* m_funds;
    JListCtrl* m_positions;
};
