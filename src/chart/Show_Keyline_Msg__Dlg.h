#pragma once

#include <QPoint>
#include <QWidget>

// The chart's small information box: a fixed, draggable list of labels for candles (mode 1)
// or the time-share chart (mode 0). Its values stay "--".
class Show_Keyline_Msg__Dlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Show_Keyline_Msg__Dlg)

public:
    static constexpr int kTemplateId = 246;

    explicit Show_Keyline_Msg__Dlg(QWidget* parent = nullptr);

    int Mode() const { return m_mode; }
    void SetMode(int mode);
    // The rows of a mode, top to bottom.
    static QStringList Labels(int mode);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_mode = 0;
    bool m_dragging = false;
    QPoint m_dragOffset;
};
