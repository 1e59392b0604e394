#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QStaticText>
#include <QString>

#include "chart/ChartReplies.h"
#include "chart/DrawingGeometry.h"
#include "chart/Drawings.h"

class CKBarCtrl;
class QKeyEvent;
class QMouseEvent;
class QPainter;

namespace chart {

// The trader's drawings over the candle chart: drawn over the copy of the chart's image (the
// image itself never changes for them), made with the mouse, selected, dragged, deleted and
// undone, and written to the "drawings" file at each change.
class DrawingLayer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DrawingLayer)

public:
    DrawingLayer(CKBarCtrl& ctrl, std::filesystem::path settingsDir, QObject* parent = nullptr);

    // The drawings file when it could not be used: none of it is shown, and it is left alone
    // until a drawing is made.
    const std::filesystem::path& brokenFile() const { return m_broken; }

    // The candles drawn now (their times anchor the drawings) and whose they are.
    void setCandles(int item, int periodCode, const std::vector<CandleRecord>& records);

    // The tool the next clicks draw with; nothing: select and drag.
    void setTool(std::optional<drawing::Shape> tool);
    std::optional<drawing::Shape> tool() const { return m_tool; }
    void setMagnet(bool on) { m_magnet = on; }
    bool magnet() const { return m_magnet; }
    // Asks a text note's words; tests set their own.
    void setTextAsker(std::function<std::optional<QString>()> ask) { m_askText = std::move(ask); }

    const std::vector<Drawing>& drawings() const { return m_book.of(m_item); }
    int selected() const { return m_selected; }
    // Selects the drawing under `at`, -1 for none; returns it.
    int selectAt(QPoint at);
    void removeSelected();
    void removeAll();
    void recolourSelected(Colour colour);
    void restyleSelected(LineStyle style);
    bool undo();

    // Whether anything is drawn, and a number that changes whenever what is drawn may have:
    // the control keeps the chart with the drawings over it until either changes.
    bool shows() const;
    std::uint64_t revision() const { return m_revision; }

    // The control's hooks: painting over its copy, and the mouse and keys it offers first.
    void paint(QPainter& p) const;
    bool mousePress(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);
    bool mouseRelease(QMouseEvent* event);
    bool wantsKey(const QKeyEvent* event) const;
    bool key(QKeyEvent* event);

signals:
    // The tool went back to selecting (a drawing was finished or cancelled).
    void toolDone();

private:
    bool frame(drawing::Frame& f) const;
    drawing::Anchor anchorAt(QPointF at) const;
    std::vector<drawing::Pixel> pixelsOf(const std::vector<drawing::Anchor>& points, const drawing::Frame& f) const;
    void paintDrawing(QPainter& p, const Drawing& d, const drawing::Frame& f, bool selected) const;
    const QStaticText& staticText(const QString& text) const;
    void drawLabel(QPainter& p, QPointF baseline, const QString& text) const;
    void touch(); // what is drawn changed: repaint
    void commit(); // writes the file, repaints
    void changeSelected(const std::function<void(Drawing&)>& edit);
    void finishPending();

    CKBarCtrl& m_ctrl;
    std::filesystem::path m_dir;
    DrawingBook m_book;
    std::filesystem::path m_broken;
    int m_item = 0;
    std::vector<CandleRecord> m_records;
    drawing::SlotTimes m_times{{}, 86400};
    std::optional<drawing::Shape> m_tool;
    bool m_magnet = false;
    std::vector<drawing::Anchor> m_pending;
    std::optional<drawing::Anchor> m_rubber;
    int m_selected = -1;
    // A drag in progress: the handle (-1: the whole drawing), where it started, the drawing as
    // it was and as it is dragged.
    struct Drag
    {
        int handle = -1;
        drawing::Anchor from;
        Drawing original;
        Drawing moved;
    };
    std::optional<Drag> m_drag;
    std::function<std::optional<QString>()> m_askText;
    mutable std::unordered_map<QString, QStaticText> m_texts;
    std::uint64_t m_revision = 0;
};

} // namespace chart
