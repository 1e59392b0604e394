#pragma once

#include <QColor>
#include <QHeaderView>

#include <vector>

// The header of a JListCtrl: painted flat in the owner's colours. Its columns are never
// moved; they are resized by the user, and clicked to sort, only where the list allows it.
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

    // Lets a click on a caption (not on a divider) end in sectionChosen.
    void setChoosable(bool choosable) { m_choosable = choosable; }
    // A small arrow at the right of `section`'s caption (-1: none), pointing down for a
    // descending sort.
    void setSortMark(int section, bool descending);
    int sortMarkSection() const { return m_markSection; }

signals:
    void userResized();
    void sectionChosen(int section);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The section under `x`, -1 on a divider, where a press drags rather than clicks.
    int captionAt(int x) const;

    QColor m_background{224, 224, 224};
    QColor m_text{32, 32, 32};
    bool m_resizable = false;
    bool m_choosable = false;
    int m_pressedCaption = -1;
    int m_markSection = -1;
    bool m_markDescending = true;
    std::vector<int> m_sizesAtPress;
};
