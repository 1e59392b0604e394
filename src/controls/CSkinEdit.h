#pragma once

#include <QColor>
#include <QLineEdit>

// An edit field framed by two one-pixel rings that tell hover and focus apart.
class CSkinEdit : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSkinEdit)

public:
    static inline const QColor kHoverOuter{96, 200, 253};
    static inline const QColor kActiveInner{73, 172, 231};

    explicit CSkinEdit(QWidget* parent = nullptr);

    bool isHovering() const { return m_hovering; }
    bool isFocused() const { return m_focused; }
    QColor outerRingColour() const;
    QColor innerRingColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_hovering = false;
    bool m_focused = false;
};
