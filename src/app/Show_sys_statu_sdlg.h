#pragma once

#include <QWidget>

class QComboBox;

// System status: program folder, version, server address, and the choice of line.
// The line applies the moment the list loses the focus, for every thread.
class Show_sys_statu_sdlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Show_sys_statu_sdlg)

public:
    enum ControlId { kLineList = 1154, kClose = 208 };
    static QRect defaultPlace() { return QRect(QPoint(150, 250), QPoint(749, 499)); }

    explicit Show_sys_statu_sdlg(QWidget* owner);
    QComboBox* lineList() const { return m_lines; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* m_lines = nullptr;
};
