#pragma once

#include <QWidget>

// About: the name, the version label and the maker's line.
class Aboxt_wineDlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Aboxt_wineDlg)

public:
    enum ControlId { kClose = 1092 };
    static QRect defaultPlace() { return QRect(QPoint(250, 250), QPoint(849, 499)); }

    explicit Aboxt_wineDlg(QWidget* owner);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
};
