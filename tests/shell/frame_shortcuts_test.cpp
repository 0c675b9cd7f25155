#include "shell/frame_shortcuts.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {
// Every row the backdrop may leave uncovered must still be drawn, in every video mode's height
// and at every place the console's edge can stand; and the limit must never reach past the view.
TEST(FrameShortcutsTest, RowsLeftByTheConsole)
{
    for (const int32_t height : {480, 600, 720, 768, 864, 1024, 1200, 1536}) {
        for (int32_t step = -10; step <= 3100; ++step) {
            const double coversFrom = step / 1000.0;
            const double edge = (coversFrom + 3.0) / 6.0 * height;
            const int32_t rows = RowsLeftByConsole(height, coversFrom);
            SCOPED_TRACE(testing::Message() << height << " rows, edge at " << coversFrom);
            ASSERT_GE(rows, 0);
            ASSERT_LE(rows, height);
            // Row j's centre is j + 0.5: on or below the edge, the backdrop may miss it.
            for (int32_t row = 0; row < height && row + 0.5 <= edge; ++row) {
                ASSERT_LT(row, rows);
            }
            if (rows < height) {
                ASSERT_LE(rows, int32_t(ceil(edge)) + 2) << "draws far more than it must";
            }
        }
    }
    EXPECT_EQ(RowsLeftByConsole(600, 0.0), 301);
    EXPECT_EQ(RowsLeftByConsole(600, 3.0), 600);
    EXPECT_EQ(RowsLeftByConsole(600, -3.0), 1);
}
}  // namespace
