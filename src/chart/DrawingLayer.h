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
#include <QString>

#include "chart/ChartReplies.h"
#include "chart/DrawingGeometry.h"
#include "chart/Drawings.h"
#include "chart/private/PixelWriter.h"

class CKBarCtrl;
class QKeyEvent;
class QMouseEvent;
class QImage;

namespace chart {

// The trader's drawings over the candle chart: painted into the chart's image where the
// candles were just drawn (the candles' pixels are then never moved, only drawn again in
// place or whole), made with the mouse, selected, dragged, deleted and undone, and written to
// the "drawings" file at each change.
class DrawingLayer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DrawingLayer)

public:
    DrawingLayer(CKBarCtrl& ctrl, std::filesystem::path settingsDir, QObject* parent = nullptr);

    // The drawings file when it could not be used: none of it is shown, and it is left alone
    // until a drawing is made.
    const std::filesystem::path& brokenFile() const { return m_broken; }

    // The candles about to be drawn (their times anchor the drawings) and whose they are.
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

    // The control's hooks: painting into the image over the candles just drawn, within the
    // rectangle drawn again, which says whether it painted anything; and the mouse and keys
    // it offers first.
    bool paint(QImage& image, const QRect& drawn);
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
    void paintDrawing(PixelWriter& out, const QRect& drawn, const Drawing& d, const drawing::Frame& f,
                      bool selected) const;
    const TextPixels& laidOut(const QString& text) const;
    void drawLabel(PixelWriter& out, QPointF baseline, const QString& text, Colour colour) const;
    bool shows() const;
    void touch(); // what is drawn changed: the candles are drawn again with it
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
    mutable std::unordered_map<QString, TextPixels> m_texts;
    qreal m_textRatio = 1; // the device pixel ratio the texts are laid out at
    qreal m_ascent = 0;    // the label font's
    bool m_painted = false; // the chart's image holds drawings
};

} // namespace chart
