#include <vector>

#include "host/capture/capture_readback.h"
#include "platform/window.h"
#include "support/gl_fixture.h"

namespace {

// Keeps every frame handed on.
class RecordingSink : public FrameSink {
public:
    uint8_t* NextPicture() override
    {
        next_.assign(static_cast<size_t>(GlTest::kWidth) * GlTest::kHeight * 4, 0xab);
        return next_.data();
    }
    void SubmitNext() override { frames.push_back(next_); }

    std::vector<std::vector<uint8_t>> frames;

private:
    std::vector<uint8_t> next_;
};

struct Colour {
    int r, g, b;
};

// Frame k has a lower and an upper half of colours of its own.
Colour Lower(int k)
{
    return {40 * k, 60, 200 - 30 * k};
}
Colour Upper(int k)
{
    return {220, 30 + 50 * k, 10};
}

void FillRows(int from, int to, Colour c)
{
    glScissor(0, from, GlTest::kWidth, to - from);
    glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

void DrawFrame(int k)
{
    glEnable(GL_SCISSOR_TEST);
    FillRows(0, GlTest::kHeight / 2, Lower(k));
    FillRows(GlTest::kHeight / 2, GlTest::kHeight, Upper(k));
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
}

// Rows of the given order, the bottom row first.
void ExpectFrame(const std::vector<uint8_t>& frame, int k, PixelOrder order)
{
    const int blue = order == PixelOrder::Bgra ? 0 : 2;
    ASSERT_EQ(frame.size(), static_cast<size_t>(GlTest::kWidth) * GlTest::kHeight * 4);
    for (int row : {0, GlTest::kHeight / 2 - 1, GlTest::kHeight / 2, GlTest::kHeight - 1}) {
        const Colour c = row < GlTest::kHeight / 2 ? Lower(k) : Upper(k);
        for (int x : {0, GlTest::kWidth - 1}) {
            const uint8_t* p = &frame[(static_cast<size_t>(row) * GlTest::kWidth + x) * 4];
            EXPECT_NEAR(p[blue], c.b, 1) << "frame " << k << " row " << row;
            EXPECT_NEAR(p[1], c.g, 1) << "frame " << k << " row " << row;
            EXPECT_NEAR(p[2 - blue], c.r, 1) << "frame " << k << " row " << row;
        }
    }
}

void ExpectNoBufferBound()
{
    GLint bound = -1;
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
}

class FrameReadbackTest : public GlTest {};

TEST_F(FrameReadbackTest, StraightHandsOnEachFrameAsItIsDrawnInEitherOrder)
{
    for (PixelOrder order : {PixelOrder::Bgra, PixelOrder::Rgba}) {
        RecordingSink sink;
        FrameReadback readback(kWidth, kHeight, TestWindow().ReadBuffer(), order, false);
        for (int k = 0; k < 4; ++k) {
            DrawFrame(k);
            EXPECT_TRUE(readback.Queue(sink));
            ASSERT_EQ(sink.frames.size(), static_cast<size_t>(k + 1));
            ExpectFrame(sink.frames[k], k, order);
            ExpectNoBufferBound();
        }
        EXPECT_FALSE(readback.QueueLast(sink));
        EXPECT_EQ(sink.frames.size(), 4u);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FrameReadbackTest, ThroughBuffersHandsOnTheFrameBeforeAndTheLastAtTheEnd)
{
    RecordingSink sink;
    // The order the capture reads in; asking for it leaves no error behind.
    const PixelOrder order = FrameReadback::FastestOrder();
    {
        FrameReadback readback(kWidth, kHeight, TestWindow().ReadBuffer(), order, true);
        DrawFrame(0);
        EXPECT_FALSE(readback.Queue(sink));
        EXPECT_TRUE(sink.frames.empty());
        for (int k = 1; k < 4; ++k) {
            DrawFrame(k);
            EXPECT_TRUE(readback.Queue(sink));
            ASSERT_EQ(sink.frames.size(), static_cast<size_t>(k));
            ExpectFrame(sink.frames[k - 1], k - 1, order);
            ExpectNoBufferBound();
        }
        EXPECT_TRUE(readback.QueueLast(sink));
        EXPECT_FALSE(readback.QueueLast(sink));
        ASSERT_EQ(sink.frames.size(), 4u);
        ExpectFrame(sink.frames[3], 3, order);
        // A frame drawn after the last one starts over.
        DrawFrame(1);
        EXPECT_FALSE(readback.Queue(sink));
    }
    ExpectNoBufferBound();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
