#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QObject>
#include <QWidget>

#include "market/core/PriceAlerts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
namespace platform { class Notices; }

namespace market {

// The trader's price alerts: kept in the settings folder, stepped with every overview reply,
// told through the notices when one triggers. A visitor has them too.
class PriceAlerts final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PriceAlerts)

public:
    // Reads "alerts"; a broken file is named once, in front of `window`, and left as it is
    // until the alerts are changed.
    PriceAlerts(platform::Notices& notices, QWidget* window);

    const std::vector<PriceAlert>& alerts() const { return m_alerts; }
    void add(PriceAlert alert);
    void remove(std::size_t index);
    void rearm(std::size_t index);
    // The rows of an overview reply.
    void check(const std::vector<ItemFigures>& rows);
    // The chosen item's latest price from its quote, which refreshes in chart mode too. Its
    // change is left to the overview: the quote's own "increase" is against the opening.
    void checkLatest(int code, double latest);

    // Unix seconds; tests set their own.
    void setClock(std::function<std::int64_t()> now) { m_now = std::move(now); }

signals:
    void changed();

private:
    void keep();

    platform::Notices& m_notices;
    QWidget* m_window;
    std::vector<PriceAlert> m_alerts;
    std::function<std::int64_t()> m_now;
    bool m_unsaved = false;
};

// "设置预警": a new alert for an item, and the list of all with their state.
class PriceAlertsDlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PriceAlertsDlg)

public:
    PriceAlertsDlg(PriceAlerts& alerts, QWidget* parent);

    // The item a new alert is for.
    void setItem(int code, const QString& name);

    QLineEdit* valueField() const { return m_value; }
    QComboBox* conditionBox() const { return m_condition; }
    QCheckBox* autoRearmBox() const { return m_autoRearm; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* rearmButton() const { return m_rearm; }
    QPushButton* deleteButton() const { return m_delete; }
    QTreeWidget* list() const { return m_list; }
    QLabel* problem() const { return m_problem; }

private:
    void addAlert();
    void fillList();
    int selectedIndex() const;

    PriceAlerts& m_alerts;
    int m_code = 0;
    QString m_name;
    QLabel* m_item = nullptr;
    QComboBox* m_condition = nullptr;
    QLineEdit* m_value = nullptr;
    QCheckBox* m_autoRearm = nullptr;
    QPushButton* m_add = nullptr;
    QLabel* m_problem = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_rearm = nullptr;
    QPushButton* m_delete = nullptr;
};

} // namespace market
