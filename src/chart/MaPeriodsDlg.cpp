#include "chart/MaPeriodsDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

#include "chart/Indicators.h"

MaPeriodsDlg::MaPeriodsDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("MaPeriodsDlg"));
    setWindowTitle(QStringLiteral("均线参数"));
    // The boxes show and read their periods in the digits of the C locale, not the desktop's.
    setLocale(QLocale::c());
    auto* form = new QFormLayout(this);
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QStringLiteral("period%1").arg(i));
        box->setRange(chart::IndicatorChoice::kMinPeriod, chart::IndicatorChoice::kMaxPeriod);
        box->setSuffix(QStringLiteral(" 周期"));
        form->addRow(QStringLiteral("均线%1").arg(i + 1), box);
        m_boxes[i] = box;
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("ok"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cancel"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Periods periods{};
        for (std::size_t i = 0; i < m_boxes.size(); ++i)
            periods[i] = m_boxes[i]->value();
        hide();
        if (m_onAccept)
            m_onAccept(periods);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::hide);
}

void MaPeriodsDlg::edit(const Periods& periods, AcceptHandler onAccept)
{
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setValue(periods[i]);
    m_onAccept = std::move(onAccept);
    show();
    raise();
    activateWindow();
}
