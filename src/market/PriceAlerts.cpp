#include "market/PriceAlerts.h"

#include <cmath>
#include <ctime>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "client/Numbers.h"
#include "client/SettingsFolder.h"
#include "platform/Dialogs.h"
#include "platform/Notices.h"
#include "platform/SaveFile.h"
#include "session/Session.h"

namespace market {
namespace {

constexpr std::size_t kMaxFileBytes = 256 * 1024;

QString timeText(std::int64_t seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

PriceAlerts::PriceAlerts(platform::Notices& notices, QWidget* window)
    : QObject(window)
    , m_notices(notices)
    , m_window(window)
    , m_now([] { return std::int64_t(std::time(nullptr)); })
{
    client::SettingsRead<std::vector<PriceAlert>> read =
        client::settingsFolder().read(kAlertsFile, parseAlerts, kMaxFileBytes);
    m_alerts = std::move(read.value).value_or(std::vector<PriceAlert>{});
    if (!read.failed.empty())
        platform::messageBox(window, QString::fromStdString(alertsProblemText(read.failed)), platform::MsgButtons::Ok,
                             platform::MsgIcon::Warning);
}

void PriceAlerts::add(PriceAlert alert)
{
    m_alerts.push_back(std::move(alert));
    keep();
}

void PriceAlerts::remove(std::size_t index)
{
    if (index >= m_alerts.size())
        return;
    m_alerts.erase(m_alerts.begin() + std::ptrdiff_t(index));
    keep();
}

void PriceAlerts::rearm(std::size_t index)
{
    if (index >= m_alerts.size())
        return;
    PriceAlert& alert = m_alerts[index];
    alert.armed = true;
    alert.triggeredAt = 0;
    keep();
}

void PriceAlerts::check(const std::vector<ItemFigures>& rows)
{
    const AlertsStepped stepped = stepAlerts(m_alerts, rows, m_now());
    if (!stepped.triggered.empty()) {
        QStringList lines;
        for (const std::size_t i : stepped.triggered)
            lines << QString::fromStdString(alertLine(m_alerts[i])) + QLatin1Char(' ') + timeText(m_alerts[i].triggeredAt);
        m_notices.tell(QStringLiteral("价格预警"), lines);
    }
    if (stepped.changed)
        keep();
}

void PriceAlerts::checkLatest(int code, double latest)
{
    const std::optional<ItemEntry> item = Session::current().findItem(code);
    check({ItemFigures{code, item ? item->name : std::string(), latest, std::nullopt}});
}

void PriceAlerts::keep()
{
    emit changed();
    const client::SettingsFolder folder = client::settingsFolder();
    if (!folder.write(kAlertsFile, alertsText(m_alerts)) && !std::exchange(m_unsaved, true))
        platform::reportSaveFailed(m_window, QString::fromStdString(folder.pathOf(kAlertsFile).string()));
}

PriceAlertsDlg::PriceAlertsDlg(PriceAlerts& alerts, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_alerts(alerts)
{
    setObjectName(QStringLiteral("PriceAlertsDlg"));
    setWindowTitle(QStringLiteral("设置预警"));
    resize(560, 380);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QGridLayout;
    m_item = new QLabel(this);
    m_condition = new QComboBox(this);
    for (const AlertCondition c : kAlertConditions)
        m_condition->addItem(QString::fromUtf8(alertConditionText(c)), int(c));
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("alertValue"));
    m_autoRearm = new QCheckBox(QStringLiteral("条件不再满足后自动重新预警"), this);
    m_add = new QPushButton(QStringLiteral("添加"), this);
    m_add->setAutoDefault(false);
    m_problem = new QLabel(this);
    m_problem->setStyleSheet(QStringLiteral("color: rgb(233,39,76)"));
    form->addWidget(new QLabel(QStringLiteral("品种"), this), 0, 0);
    form->addWidget(m_item, 0, 1, 1, 3);
    form->addWidget(new QLabel(QStringLiteral("条件"), this), 1, 0);
    form->addWidget(m_condition, 1, 1);
    form->addWidget(m_value, 1, 2);
    form->addWidget(m_add, 1, 3);
    form->addWidget(m_autoRearm, 2, 1, 1, 3);
    form->addWidget(m_problem, 3, 1, 1, 3);
    layout->addLayout(form);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("alertList"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("品种"), QStringLiteral("条件"), QStringLiteral("状态")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    m_rearm = new QPushButton(QStringLiteral("重新预警"), this);
    m_delete = new QPushButton(QStringLiteral("删除"), this);
    buttons->addStretch();
    buttons->addWidget(m_rearm);
    buttons->addWidget(m_delete);
    layout->addLayout(buttons);

    connect(m_add, &QPushButton::clicked, this, &PriceAlertsDlg::addAlert);
    connect(m_value, &QLineEdit::returnPressed, this, &PriceAlertsDlg::addAlert);
    connect(m_rearm, &QPushButton::clicked, this, [this] {
        if (const int i = selectedIndex(); i >= 0)
            m_alerts.rearm(std::size_t(i));
    });
    connect(m_delete, &QPushButton::clicked, this, [this] {
        if (const int i = selectedIndex(); i >= 0)
            m_alerts.remove(std::size_t(i));
    });
    connect(&alerts, &PriceAlerts::changed, this, &PriceAlertsDlg::fillList);
    fillList();
}

void PriceAlertsDlg::setItem(int code, const QString& name)
{
    m_code = code;
    m_name = name;
    m_item->setText(code > 0 ? QStringLiteral("%1 %2").arg(code).arg(name) : QString());
    m_problem->clear();
}

void PriceAlertsDlg::addAlert()
{
    const std::optional<double> value = client::wholeDecimal(m_value->text().trimmed().toStdString());
    if (m_code <= 0) {
        m_problem->setText(QStringLiteral("请先选择品种"));
        return;
    }
    if (!value || *value < 0) {
        m_problem->setText(QStringLiteral("请输入正确的数值"));
        return;
    }
    PriceAlert alert;
    alert.code = m_code;
    alert.name = m_name.toStdString();
    alert.condition = AlertCondition(m_condition->currentData().toInt());
    alert.value = std::round(*value * 100) / 100; // kept to the cent, as the file holds it
    alert.autoRearm = m_autoRearm->isChecked();
    m_problem->clear();
    m_value->clear();
    m_alerts.add(std::move(alert));
}

void PriceAlertsDlg::fillList()
{
    const int selected = selectedIndex();
    m_list->clear();
    for (const PriceAlert& a : m_alerts.alerts()) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QStringLiteral("%1 %2").arg(a.code).arg(QString::fromStdString(a.name)));
        const bool percent = a.condition == AlertCondition::RiseAtLeast || a.condition == AlertCondition::FallAtLeast;
        QString condition = QString::fromUtf8(alertConditionText(a.condition));
        if (percent)
            condition.chop(2);
        item->setText(1, condition + QLatin1Char(' ') + QString::fromStdString(client::fixedDecimals(a.value, 2))
                             + (percent ? QStringLiteral("%") : QString())
                             + (a.autoRearm ? QStringLiteral("（自动重新预警）") : QString()));
        item->setText(2, a.armed ? QStringLiteral("等待触发") : QStringLiteral("已触发 ") + timeText(a.triggeredAt));
    }
    if (selected >= 0 && selected < m_list->topLevelItemCount())
        m_list->setCurrentItem(m_list->topLevelItem(selected));
}

int PriceAlertsDlg::selectedIndex() const
{
    QTreeWidgetItem* current = m_list->currentItem();
    return current ? m_list->indexOfTopLevelItem(current) : -1;
}

} // namespace market
