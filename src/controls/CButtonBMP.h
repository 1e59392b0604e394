#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPushButton>

// Posted to the parent of a CButtonBMP that notifies its parent, on each press and release.
class CButtonBMPNotifyEvent final : public QEvent
{
public:
    static constexpr int kMessage = 1334;
    static QEvent::Type eventType() { return static_cast<QEvent::Type>(QEvent::User + kMessage); }

    CButtonBMPNotifyEvent(int controlId, bool down)
        : QEvent(eventType())
        , m_controlId(controlId)
        , m_down(down)
    {
    }
    int controlId() const { return m_controlId; }
    bool down() const { return m_down; }

private:
    int m_controlId;
    bool m_down;
};

// A button drawn from three images (normal, hover, pressed) stretched over its face, with
// its caption centred on top. Draws nothing until all three images are given.
class CButtonBMP final : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CButtonBMP)

public:
    enum class Image { Normal = 0, Hover = 1, Pressed = 2 };

    // The bitmap numbers of the three images.
    struct Bitmaps
    {
        int normal = 0;
        int hover = 0;
        int pressed = 0;
    };

    explicit CButtonBMP(QWidget* parent = nullptr);
    CButtonBMP(int controlId, const QString& caption, QWidget* parent);

    // The one way a window makes an image button: its control id (also its objectName),
    // caption, bitmaps and rectangle. It takes no focus, so a click never moves the focus
    // out of an edit, and it never becomes a dialog's default button: Enter belongs to the
    // window's own rule.
    static CButtonBMP* Create(QWidget* parent, int controlId, const QString& caption, Bitmaps bitmaps,
                              const QRect& rect);

    void setImages(QImage normal, QImage hover, QImage pressed);
    bool hasImages() const;

    // The image shown while the pointer is away, so an owner can show a button as chosen.
    void setShownImage(Image image);
    Image shownImage() const { return m_shownImage; }

    // Which image a paint uses now.
    Image currentImage() const;

    void setNotifyParent(bool notify) { m_notifyParent = notify; }
    bool notifiesParent() const { return m_notifyParent; }

    void setControlId(int id) { m_controlId = id; }
    int controlId() const { return m_controlId; }

    void setTextColours(QColor normal, QColor hovering);
    bool isHovering() const { return m_hovering; }
    bool lastEnableState() const { return m_enabled; }

signals:
    // The same news as the event posted to the parent, for owners that prefer a signal.
    void pressNotified(int controlId, bool down);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void notify(bool down);

    QImage m_images[3];
    Image m_shownImage = Image::Normal;
    bool m_notifyParent = false;
    bool m_hovering = false;
    bool m_enabled = false;
    int m_controlId = 0;
    QColor m_textColour{Qt::white};
    QColor m_hoverTextColour{Qt::white};
};
