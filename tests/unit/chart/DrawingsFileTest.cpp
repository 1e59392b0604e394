// The "drawings" file: what the terminal writes reads back whole; anything else reads as none.
#include <gtest/gtest.h>

#include "chart/Drawings.h"

using namespace chart;

TEST(DrawingsFile, WrittenDrawingsReadBackAndForeignContentIsRefused)
{
    Drawing fib{drawing::Shape::Fibonacci, {{1700000000, 12.5}, {1700086400, 9.75}}, Rgb(0, 220, 255), LineStyle::Dot, ""};
    Drawing note{drawing::Shape::Text, {{-86400, 1e6}}, Rgb(255, 255, 0), LineStyle::Solid, "支撑 \"位\""};
    const DrawingBook::Items items{{9160001, {fib, note}}, {9160002, {fib}}};
    EXPECT_EQ(parseDrawings(drawingsText(items)), items);
    EXPECT_EQ(parseDrawings(drawingsText({{9160003, {}}})), DrawingBook::Items{});

    for (const char* bad : {"", "[]", "{}", "{\"items\":[]}", "{\"items\":{\"x1\":[]}}",
                            "{\"items\":{\"1\":[{\"shape\":\"circle\",\"points\":[[1,2]]}]}}",
                            "{\"items\":{\"1\":[{\"shape\":\"segment\",\"points\":[[1,2]]}]}}", // one point short
                            "{\"items\":{\"1\":[{\"shape\":\"horizontal\",\"points\":[[1e40,2]]}]}}",
                            "{\"items\":{\"1\":[{\"shape\":\"horizontal\",\"points\":[[1,\"2\"]]}]}}",
                            "{\"items\":{\"99999999999\":[]}}"})
        EXPECT_FALSE(parseDrawings(bad)) << bad;
}

TEST(DrawingsFile, UndoTakesBackAddMoveAndDeletePerItem)
{
    DrawingBook book;
    Drawing a{drawing::Shape::Horizontal, {{1, 10}}, Rgb(255, 255, 0), LineStyle::Solid, ""};
    Drawing b = a;
    b.points[0].price = 11;
    book.add(1, a);
    book.add(2, a);
    EXPECT_TRUE(book.change(1, 0, b));
    EXPECT_FALSE(book.change(1, 0, b)); // no change, no step
    EXPECT_TRUE(book.remove(1, 0));
    EXPECT_FALSE(book.remove(1, 0));
    EXPECT_TRUE(book.undo(1));
    EXPECT_EQ(book.of(1), std::vector<Drawing>{b});
    EXPECT_TRUE(book.undo(1));
    EXPECT_EQ(book.of(1), std::vector<Drawing>{a});
    EXPECT_TRUE(book.undo(1));
    EXPECT_TRUE(book.of(1).empty());
    EXPECT_FALSE(book.undo(1));
    EXPECT_EQ(book.of(2).size(), 1u); // the other item's untouched
    EXPECT_TRUE(book.removeAll(2));
    EXPECT_TRUE(book.undo(2));
    EXPECT_EQ(book.of(2).size(), 1u);
}
