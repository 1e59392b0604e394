#pragma once

#include <span>

#include <QWidget>

// The keys of the market window, listed in a small dark window that the "帮助" menu item
// opens. Esc or its close button hides it.
class KeysHelpDlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeysHelpDlg)

public:
    enum ControlId { kClose = 209 };

    // A heading has no keys; the rows under it are read in its place.
    struct Row
    {
        const char* keys;
        const char* action;
    };
    static std::span<const Row> rows();
    static QSize preferredSize();

    explicit KeysHelpDlg(QWidget* owner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
