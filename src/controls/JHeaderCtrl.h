#pragma once

#include <QColor>
#include <QHeaderView>

// The header of a JListCtrl: painted flat in the owner's colours, and inert to the mouse
// so the columns can be neither clicked (sorted) nor resized by the user.
class JHeaderCtrl final : public QHeaderView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JHeaderCtrl)

public:
    explicit JHeaderCtrl(QWidget* parent = nullptr);

    void setBackgroundColour(QColor colour);
    QColor backgroundColour() const { return m_background; }
    void setTextColour(QColor colour);
    QColor textColour() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_background{224, 224, 224};
    QColor m_text{32, 32, 32};
};
