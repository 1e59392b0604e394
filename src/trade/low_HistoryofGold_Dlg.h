#pragma once

#include "trade/ListWindow.h"

class QDateEdit;

// The cash history between two dates: deposits and withdrawals with their state. Queried
// only by its own button; the list keeps the rows of the last query that parsed.
class low_HistoryofGold_Dlg final : public trade::ListWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_HistoryofGold_Dlg)

public:
    static constexpr int kStartDate = 1048;
    static constexpr int kEndDate = 1049;
    static constexpr int kQueryButton = 1050;
    static constexpr int kList = 1132;

    explicit low_HistoryofGold_Dlg(QWidget* parent);

    QDateEdit* startPicker() const { return m_start; }
    QDateEdit* endPicker() const { return m_end; }
    JListCtrl* list() const { return m_list; }

    // The query button: a date later than today goes out as today, and its picker moves.
    void query();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QDateEdit* m_start;
    QDateEdit* m_end;
    JListCtrl* m_list;
};
