#pragma once

#include <array>
#include <functional>

#include <QDialog>

class QSpinBox;

// "均线参数": the four moving-average periods of the K-line, each 1 to 999 candles.
class MaPeriodsDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MaPeriodsDlg)

public:
    using Periods = std::array<int, 4>;
    using AcceptHandler = std::function<void(const Periods&)>;

    explicit MaPeriodsDlg(QWidget* parent = nullptr);

    // Shows the periods in use; "确定" hands the edited ones to the handler.
    void edit(const Periods& periods, AcceptHandler onAccept);
    QSpinBox* periodBox(int i) const { return m_boxes[std::size_t(i)]; }

private:
    std::array<QSpinBox*, 4> m_boxes{};
    AcceptHandler m_onAccept;
};
