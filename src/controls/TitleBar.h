#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>

class CButtonBMP;

namespace controls {

// The dark strip across the top of a borderless window: its title, an optional close
// button at the right end, and a drag of the window by the strip. It keeps the width of
// the window it sits in.
class TitleBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TitleBar)

public:
    static constexpr int kHeight = 28;
    static constexpr int kCloseWidth = 34;

    struct Style
    {
        QColor ground{32, 32, 32};
        QColor text{Qt::white};
        QString fontFace = QStringLiteral("宋体");
        int fontHeight = 15;
        QPoint textAt{6, 5}; // top left of the title text
    };

    TitleBar(const QString& title, const Style& style, QWidget* window);

    void setTitle(const QString& title);
    QString title() const { return m_title; }

    // The close button, made once; clicks arrive as closeClicked and the window decides
    // whether that hides or closes it.
    CButtonBMP* addCloseButton(int controlId);
    CButtonBMP* closeButton() const { return m_close; }

signals:
    void closeClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_title;
    Style m_style;
    CButtonBMP* m_close = nullptr;
};

} // namespace controls
