// Lines, fills and text written straight into an image's pixels: ends, clip, patterns, ratio.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "QtEnvironment.h"
#include "chart/private/ChartFonts.h"
#include "chart/private/PixelWriter.h"

using namespace chart;

namespace {

constexpr Colour kInk = Rgb(255, 255, 0);

QImage Blank(int w, int h, qreal ratio = 1)
{
    QImage image(int(w * ratio), int(h * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    return image;
}

// The written pixels, in device pixels, row by row.
std::vector<QPoint> Inked(const QImage& image)
{
    std::vector<QPoint> inked;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(0, 0, 0))
                inked.emplace_back(x, y);
    return inked;
}

QRect Bounds(const std::vector<QPoint>& points)
{
    QRect r;
    for (const QPoint& p : points)
        r |= QRect(p, QSize(1, 1));
    return r;
}

} // namespace

TEST(PixelWriter, LinesKeepTheirEndsTheClipAndThePattern)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        const char* what;
        QPointF a, b;
        LineStyle style;
        qreal ratio;
        int count;   // pixels written
        QRect bounds; // device pixels
    };
    const QRect clip(10, 10, 20, 10); // logical 10..29 by 10..19
    const std::vector<Case> cases{
        {"level, both ends", {12, 15}, {20, 15}, LineStyle::Solid, 1, 9, QRect(12, 15, 9, 1)},
        {"reversed", {20, 15}, {12, 15}, LineStyle::Solid, 1, 9, QRect(12, 15, 9, 1)},
        {"upright", {15, 11}, {15, 18}, LineStyle::Solid, 1, 8, QRect(15, 11, 1, 8)},
        {"slanted: one pixel a column", {10, 10}, {19, 19}, LineStyle::Solid, 1, 10, QRect(10, 10, 10, 10)},
        {"a point", {15, 15}, {15, 15}, LineStyle::Solid, 1, 1, QRect(15, 15, 1, 1)},
        {"cut at the clip", {0, 15}, {100, 15}, LineStyle::Solid, 1, 20, QRect(10, 15, 20, 1)},
        {"a ray to a time years away", {15, 15}, {1e15, 1e14}, LineStyle::Solid, 1, 15, QRect(15, 15, 15, 2)},
        {"wholly outside", {0, 0}, {5, 30}, LineStyle::Solid, 1, 0, QRect()},
        {"not a number", {kNaN, 15}, {20, 15}, LineStyle::Solid, 1, 0, QRect()},
        {"dashes of 4, 2 apart", {10, 12}, {21, 12}, LineStyle::Dash, 1, 8, QRect(10, 12, 10, 1)},
        {"dots 1, 2 apart", {10, 12}, {18, 12}, LineStyle::Dot, 1, 3, QRect(10, 12, 7, 1)},
        {"one device pixel thick at ratio 2", {12, 15}, {15, 15}, LineStyle::Solid, 2, 7, QRect(24, 30, 7, 1)},
    };
    for (const Case& c : cases) {
        QImage image = Blank(40, 30, c.ratio);
        PixelWriter out(image, clip);
        out.line(c.a, c.b, kInk, c.style);
        const std::vector<QPoint> inked = Inked(image);
        EXPECT_EQ(int(inked.size()), c.count) << c.what;
        EXPECT_EQ(Bounds(inked), c.bounds) << c.what;
        for (const QPoint& p : inked)
            EXPECT_EQ(image.pixel(p), qRgb(255, 255, 0)) << c.what;
    }
}

// A poll redraws the newest columns and the drawings only there: what is written again must
// be what was there, or a line would show a step where the columns meet.
TEST(PixelWriter, APartWrittenAgainMatchesTheWhole)
{
    const QRect clip(0, 0, 200, 100);
    const TextPixels label = textPixels(QStringLiteral("38.2% 95.17"), fonts::label(), 1);
    auto draw = [&](QImage& image, const QRect& writes) {
        PixelWriter out(image, clip);
        out.limitWrites(writes);
        out.line({-50, 90}, {400, 7}, kInk);
        out.line({10, 60}, {190, 60}, kInk, LineStyle::Dash);
        out.line({150, 95}, {180, 3}, kInk, LineStyle::Dot);
        out.text({140, 20}, label, kInk);
    };
    QImage whole = Blank(200, 100);
    draw(whole, clip);
    QImage part = whole.copy();
    const QRect newest(157, 0, 43, 100);
    // What a poll clears.
    for (int y = 0; y < 100; ++y)
        for (int x = newest.left(); x < 200; ++x)
            part.setPixel(x, y, qRgb(0, 0, 0));
    draw(part, newest);
    EXPECT_EQ(part, whole);
    QImage none = Blank(200, 100);
    draw(none, QRect(0, 0, 200, 100).translated(300, 0));
    EXPECT_TRUE(Inked(none).empty());
}

TEST(PixelWriter, FillsOutlinesAndTextStayInsideTheClip)
{
    QImage image = Blank(40, 30);
    PixelWriter out(image, QRect(10, 10, 20, 10));
    out.fill(QRectF(5, 5, 10, 10), kInk);
    EXPECT_EQ(Bounds(Inked(image)), QRect(10, 10, 5, 5));

    image = Blank(40, 30);
    PixelWriter frame(image, QRect(0, 0, 40, 30));
    frame.outline({20, 18}, {12, 11}, kInk, LineStyle::Solid);
    EXPECT_EQ(int(Inked(image).size()), 2 * 9 + 2 * 6);
    EXPECT_EQ(Bounds(Inked(image)), QRect(12, 11, 9, 8));

    // A label laid out once and written at two places; cut where the clip ends.
    const TextPixels label = textPixels(QStringLiteral("61.8% 92.54"), fonts::label(), 1);
    ASSERT_FALSE(label.runs.empty());
    QImage wide = Blank(200, 40);
    PixelWriter whole(wide, QRect(0, 0, 200, 40));
    whole.text({10, 5}, label, kInk);
    const QRect written = Bounds(Inked(wide));
    EXPECT_TRUE(QRect(10, 5, label.width, label.height).contains(written));
    QImage cut = Blank(200, 40);
    PixelWriter half(cut, QRect(0, 0, 10 + written.width() / 2 + written.left() - 10, 40));
    half.text({10, 5}, label, kInk);
    EXPECT_GT(Inked(cut).size(), 0u);
    EXPECT_LT(Inked(cut).size(), Inked(wide).size());
    EXPECT_LE(Bounds(Inked(cut)).right(), written.left() + written.width() / 2);

    // At ratio 2 the same text covers twice the device pixels each way.
    const TextPixels sharp = textPixels(QStringLiteral("61.8% 92.54"), fonts::label(), 2);
    EXPECT_NEAR(sharp.width, 2 * label.width, 4);
    EXPECT_NEAR(sharp.height, 2 * label.height, 4);
}

TEST(PixelWriter, AnImageOfAnotherDepthIsLeftAlone)
{
    QImage image(40, 30, QImage::Format_RGB16);
    image.fill(Qt::black);
    const QImage before = image;
    PixelWriter out(image, QRect(0, 0, 40, 30));
    out.line({0, 0}, {30, 20}, kInk);
    out.fill(QRectF(0, 0, 10, 10), kInk);
    out.text({0, 0}, textPixels(QStringLiteral("8"), fonts::label(), 1), kInk);
    EXPECT_EQ(image, before);
}
