#pragma once

#include <QAbstractButton>

namespace app {

// A button drawn from three bitmaps: normal, under the mouse, pressed. Takes no focus,
// so pressing it never moves the focus out of an edit.
class ImageButton final : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImageButton)

public:
    ImageButton(int normal, int hover, int pressed, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    int m_normal;
    int m_hover;
    int m_pressed;
    bool m_under = false;
};

} // namespace app
