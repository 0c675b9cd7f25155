#include "platform/scaling.h"

#include <gtest/gtest.h>

namespace {
constexpr int32_t PICTURE_WIDTH = 800;
constexpr int32_t PICTURE_HEIGHT = 600;

P_Scaling Scaling(int32_t windowWidth, int32_t windowHeight, int32_t drawableWidth,
                  int32_t drawableHeight)
{
    return P_Scaling{windowWidth,    windowHeight,  drawableWidth,
                     drawableHeight, PICTURE_WIDTH, PICTURE_HEIGHT};
}

// Wide screens get bars left and right, tall ones above and below; an odd pixel left over goes to
// the right or bottom bar, and the picture never leaves the area or loses its shape by more than
// the rounding of one side.
TEST(FitPictureTest, LargestCentredRectangleOfThePicturesShape)
{
    const struct {
        int32_t width;
        int32_t height;
        P_Rect expected;
    } cases[] = {
        {1920, 1080, {240, 0, 1440, 1080}}, {1366, 768, {171, 0, 1024, 768}},
        {1280, 1024, {0, 32, 1280, 960}},   {1921, 1081, {240, 0, 1441, 1081}},
        {799, 599, {0, 0, 798, 599}},       {600, 1000, {0, 275, 600, 450}},
        {-800, 600, {0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const P_Rect rect = P_FitPicture(c.width, c.height, PICTURE_WIDTH, PICTURE_HEIGHT);
        EXPECT_EQ(rect.x, c.expected.x);
        EXPECT_EQ(rect.y, c.expected.y);
        EXPECT_EQ(rect.width, c.expected.width);
        EXPECT_EQ(rect.height, c.expected.height);
    }
}

// Window points to picture pixels, on bars and beyond the window too, with and without a
// high-density drawable.
TEST(PointerMappingTest, WindowPointsToPicturePixelsClampedToThePicture)
{
    const struct {
        const char *what;
        P_Scaling scaling;
        int32_t x;
        int32_t y;
        int32_t expectedX;
        int32_t expectedY;
    } cases[] = {
        {"full HD, picture's right edge", Scaling(1920, 1080, 1920, 1080), 1679, 1079, 799, 599},
        {"full HD, left bar", Scaling(1920, 1080, 1920, 1080), 10, 540, 0, 300},
        {"full HD, right bar", Scaling(1920, 1080, 1920, 1080), 1680, 540, 799, 300},
        {"beyond the window", Scaling(1920, 1080, 1920, 1080), -50, 5000, 0, 599},
        {"tall window, top bar", Scaling(1280, 1024, 1280, 1024), 640, 5, 400, 0},
        {"high density, left edge", Scaling(960, 540, 1920, 1080), 120, 0, 0, 0},
        {"high density, last point", Scaling(960, 540, 1920, 1080), 839, 539, 799, 599},
        {"odd drawable", Scaling(1921, 1081, 1921, 1081), 1680, 1080, 799, 599},
        {"no window", Scaling(0, 0, 0, 0), 10, 10, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        int32_t x = -1;
        int32_t y = -1;
        P_PictureFromWindow(c.scaling, c.x, c.y, &x, &y);
        EXPECT_EQ(x, c.expectedX);
        EXPECT_EQ(y, c.expectedY);
    }
}

// Mouse look puts the pointer at a picture pixel and takes any other reading as movement: every
// pixel must read back as itself wherever a window point is no larger than a picture pixel. Its
// re-centring point, the picture's middle, is the window's.
TEST(PointerMappingTest, EveryPicturePixelReadsBackAsItself)
{
    const struct {
        const char *what;
        P_Scaling scaling;
        int32_t centreX;
        int32_t centreY;
    } cases[] = {
        {"1:1", Scaling(800, 600, 800, 600), 400, 300},
        {"laptop", Scaling(1366, 768, 1366, 768), 683, 384},
        {"tall", Scaling(1280, 1024, 1280, 1024), 640, 512},
        {"odd", Scaling(1921, 1081, 1921, 1081), 961, 541},
        {"high density, wide", Scaling(1920, 1080, 3840, 2160), 960, 540},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        int32_t centreX = 0;
        int32_t centreY = 0;
        P_WindowFromPicture(c.scaling, 400, 300, &centreX, &centreY);
        EXPECT_EQ(centreX, c.centreX);
        EXPECT_EQ(centreY, c.centreY);
        for (int32_t p = 0; p < PICTURE_WIDTH; ++p) {
            const int32_t q = p * PICTURE_HEIGHT / PICTURE_WIDTH;
            int32_t windowX = 0;
            int32_t windowY = 0;
            P_WindowFromPicture(c.scaling, p, q, &windowX, &windowY);
            ASSERT_GE(windowX, 0);
            ASSERT_LT(windowX, c.scaling.windowWidth);
            ASSERT_GE(windowY, 0);
            ASSERT_LT(windowY, c.scaling.windowHeight);
            int32_t x = -1;
            int32_t y = -1;
            P_PictureFromWindow(c.scaling, windowX, windowY, &x, &y);
            ASSERT_EQ(x, p) << "window x " << windowX;
            ASSERT_EQ(y, q) << "window y " << windowY;
        }
    }
}

// In a window smaller than the picture one point spans two pixels, so the point the pointer was
// put at reads as a neighbour of the pixel asked for; the remembered warp reads as the pixel
// itself, until the pointer moves or the window changes size.
TEST(PointerMappingTest, PointerPutAtAPixelReadsAsThatPixelInASmallWindow)
{
    const P_Scaling small = Scaling(400, 300, 400, 300);
    const P_Warp warp = P_MakeWarp(small, 400, 300);
    int32_t plainX = 0;
    int32_t plainY = 0;
    P_PictureFromWindow(small, warp.x, warp.y, &plainX, &plainY);
    ASSERT_FALSE(plainX == 400 && plainY == 300) << "the case no longer needs the warp";

    int32_t x = 0;
    int32_t y = 0;
    P_PointerToPicture(small, &warp, warp.x, warp.y, &x, &y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);

    const struct {
        const char *what;
        P_Scaling scaling;
        int32_t x;
        int32_t y;
    } moved[] = {
        {"pointer moved", small, warp.x + 1, warp.y},
        {"window resized", Scaling(402, 300, 402, 300), warp.x, warp.y},
        {"drawable changed", Scaling(400, 300, 800, 600), warp.x, warp.y},
    };
    for (const auto &c : moved) {
        SCOPED_TRACE(c.what);
        int32_t expectedX = 0;
        int32_t expectedY = 0;
        P_PictureFromWindow(c.scaling, c.x, c.y, &expectedX, &expectedY);
        P_PointerToPicture(c.scaling, &warp, c.x, c.y, &x, &y);
        EXPECT_EQ(x, expectedX);
        EXPECT_EQ(y, expectedY);
    }
    P_PointerToPicture(small, nullptr, warp.x, warp.y, &x, &y);
    EXPECT_EQ(x, plainX);
    EXPECT_EQ(y, plainY);
}

// Whole multiples only, within 90 % of the desktop, never below the picture itself.
TEST(WindowedSizeTest, LargestWholeMultipleWithinNinetyPercent)
{
    const struct {
        int32_t desktopWidth;
        int32_t desktopHeight;
        int32_t width;
        int32_t height;
    } cases[] = {
        {3840, 2160, 2400, 1800}, {640, 480, 800, 600},     {1778, 1334, 1600, 1200},
        {1777, 1334, 800, 600},   {5120, 1440, 1600, 1200}, {0, 0, 800, 600},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.desktopWidth << "x" << c.desktopHeight);
        int32_t width = 0;
        int32_t height = 0;
        P_WindowedSize(c.desktopWidth, c.desktopHeight, PICTURE_WIDTH, PICTURE_HEIGHT, &width,
                       &height);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
    }
}
}  // namespace
