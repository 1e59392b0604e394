#pragma once

#include <QColor>
#include <QHeaderView>

#include <vector>

// The header of a JListCtrl: painted flat in the owner's colours. Its columns are never
// clicked (sorted) or moved; they are resized by the user only where the list allows it.
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

    // Lets the user drag the dividers; a drag that changed a width ends in userResized.
    void setUserResizable(bool resizable);
    bool userResizable() const { return m_resizable; }

signals:
    void userResized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_background{224, 224, 224};
    QColor m_text{32, 32, 32};
    bool m_resizable = false;
    std::vector<int> m_sizesAtPress;
};
