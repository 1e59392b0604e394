#pragma once

#include <map>
#include <vector>

#include <QWidget>

#include "market/core/Pinyin.h"

class JListCtrl;
class QLineEdit;

namespace market {

// The code finder: a small window over the foot of the work area's right side with the text
// typed so far and, under it, the listed items it matches (market::findItems), or a line
// saying there is none. Up and Down move the choice, Enter takes it, Esc or a click
// elsewhere closes the window. Nothing is asked of the service: the items are those of the
// last overview reply.
class ItemFinder final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ItemFinder)

public:
    static constexpr int kRows = 10; // a screenful of matches
    static constexpr int kWidth = 320;

    explicit ItemFinder(QWidget* parent);

    // Shows the finder with `typed` in its field, its bottom right corner at `bottomRight`
    // (global coordinates).
    void start(const QString& typed, const QPoint& bottomRight);
    // The pinyin keys of the items' names (Overview::nameKeys), matched after code and name.
    void setNameKeys(std::map<int, NameKeys> keys);

    QLineEdit* field() const { return m_field; }
    JListCtrl* list() const { return m_list; }
    // The code of the chosen match; 0 for none.
    int chosenCode() const;

signals:
    void itemChosen(int code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void refill();
    void moveChoice(int rows);

    QLineEdit* m_field;
    JListCtrl* m_list;
    std::vector<int> m_codes;
    std::map<int, NameKeys> m_keys;
};

} // namespace market
