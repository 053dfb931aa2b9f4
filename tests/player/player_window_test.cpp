// The player window over real 8-bit frame files, time driven by calling its
// advance slot instead of waiting for the timer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>

#include <array>
#include <vector>

#include "PlayerWindow.h"
#include "TempDir.h"
#include "model/BmpWriter.h"
#include "render/BitmapInfo.h"

namespace {

using velmora::test::TempDir;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

// Writes an 8-bit frame the way the animation render does: file header,
// header block with the palette, bottom-up rows padded to 4 bytes.
// `indices` runs top-down, row by row.
void WriteFrame(const std::string& path, int width, int height, const std::vector<std::uint8_t>& indices) {
    velmora::Palette palette;
    palette.SetEntry(1, {0, 0, 255, 0});  // red
    palette.SetEntry(2, {0, 255, 0, 0});  // green
    palette.SetEntry(3, {255, 0, 0, 0});  // blue
    const auto fileHeader = velmora::BmpFileHeader(width, height);
    velmora::BitmapInfoBlock info{};
    velmora::FillBitmapInfo(info, width, height, palette);
    std::vector<std::uint8_t> bytes(fileHeader.begin(), fileHeader.end());
    bytes.insert(bytes.end(), info.begin(), info.end());
    const int stride = (width + 3) / 4 * 4;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < stride; ++x)
            bytes.push_back(x < width ? indices[static_cast<std::size_t>(y * width + x)] : 0);
    }
    velmora::test::WriteBytes(path, bytes);
}

void WriteSolidFrame(const std::string& path, std::uint8_t index) {
    WriteFrame(path, 200, 150, std::vector<std::uint8_t>(200 * 150, index));
}

QColor CentreOf(const QImage& image) { return image.pixelColor(image.width() / 2, image.height() / 2); }

// What the window paints, as a user would see it.
QImage Screen(PlayerWindow& window) { return window.grab().toImage(); }

// Runs each test in its frames folder, as Velmora starts the player.
class PlayerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(m_dir.Path().string())));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    TempDir m_dir;
    QString m_previous;
};

TEST_F(PlayerWindowTest, PlaysTwoPassesAndNamesTheMissingFrameEachTime) {
    WriteSolidFrame(m_dir.File("frame1.bmp"), 1);
    WriteSolidFrame(m_dir.File("frame3.bmp"), 3);
    const velmora::PlayScript script = velmora::ParseScript("frame1.bmp\nframe2.bmp\nframe3.bmp\nLoop 2");

    PlayerWindow window(script, "script.aas");
    EXPECT_EQ(window.FirstFrameSize(), QSize(200, 150));
    window.resize(window.FirstFrameSize());

    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        EXPECT_EQ(window.Playback().Frame(), 0u);
        EXPECT_TRUE(window.ShownText().isEmpty());
        EXPECT_EQ(CentreOf(Screen(window)), kRed);

        window.AdvanceFrame();
        EXPECT_TRUE(window.ShownImage().isNull());
        EXPECT_TRUE(window.ShownText().contains("frame2.bmp"));
        EXPECT_TRUE(window.ShownText().contains("does not exist"));
        const QImage note = Screen(window);
        EXPECT_EQ(note.pixelColor(1, 1), QColor(Qt::black));
        bool lit = false;  // the note's text was drawn over the black
        for (int y = 0; y < note.height() && !lit; ++y)
            for (int x = 0; x < note.width() && !lit; ++x) lit = note.pixelColor(x, y).lightness() > 128;
        EXPECT_TRUE(lit);

        window.AdvanceFrame();  // goes on past the missing frame
        EXPECT_EQ(window.Playback().Frame(), 2u);
        EXPECT_EQ(CentreOf(Screen(window)), kBlue);
        window.AdvanceFrame();
    }
    // After the second pass it stays on the last frame.
    EXPECT_TRUE(window.Playback().Finished());
    EXPECT_EQ(window.Playback().Frame(), 2u);
    EXPECT_EQ(CentreOf(Screen(window)), kBlue);
    EXPECT_EQ(window.windowTitle(), "script.aas - 3/3, pass 2/2 - 15 fps - Finished - ZEDoz");
    EXPECT_FALSE(window.TimerActive());
}

TEST_F(PlayerWindowTest, AFrameThatAppearsLaterIsShownAndABrokenOneIsNamed) {
    WriteSolidFrame(m_dir.File("frame1.bmp"), 1);
    velmora::test::WriteBytes(m_dir.File("frame2.bmp"), {'B', 'M', 0, 1, 2, 3});
    const velmora::PlayScript script = velmora::ParseScript("\nframe1.bmp\nframe2.bmp\nframe3.bmp");
    PlayerWindow window(script, "script.aas");

    window.StepForward();
    EXPECT_TRUE(window.ShownText().startsWith("Cannot show frame 2:\nframe2.bmp\n"));
    EXPECT_FALSE(window.ShownText().contains("does not exist"));
    window.StepForward();
    EXPECT_TRUE(window.ShownText().contains("frame3.bmp"));

    // The render writes the frame while the player waits on it.
    WriteSolidFrame(m_dir.File("frame3.bmp"), 2);
    window.StepBack();
    window.StepForward();
    EXPECT_TRUE(window.ShownText().isEmpty());
    EXPECT_EQ(CentreOf(window.ShownImage()), kGreen);
}

TEST_F(PlayerWindowTest, StretchesWithoutSmoothing) {
    // Two pixels side by side: stretched, the colours must meet without a blend.
    WriteFrame(m_dir.File("frame1.bmp"), 2, 1, {1, 3});
    PlayerWindow window(velmora::ParseScript("frame1.bmp"), "script.aas");
    window.resize(200, 50);
    const QImage shown = Screen(window);
    ASSERT_EQ(shown.width(), 200);
    for (int x : {0, 50, 99}) EXPECT_EQ(shown.pixelColor(x, 25), kRed) << x;
    for (int x : {100, 150, 199}) EXPECT_EQ(shown.pixelColor(x, 25), kBlue) << x;
}

TEST_F(PlayerWindowTest, KeysPauseStepChangeSpeedAndRestart) {
    for (int i = 1; i <= 3; ++i) WriteSolidFrame(m_dir.File("frame" + std::to_string(i) + ".bmp"), 1);
    PlayerWindow window(velmora::ParseScript("frame1.bmp\nframe2.bmp\nframe3.bmp"), "script.aas");
    window.Start();
    EXPECT_TRUE(window.TimerActive());

    auto press = [&window](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    };
    press(Qt::Key_Space);
    EXPECT_TRUE(window.Playback().Paused());
    EXPECT_FALSE(window.TimerActive());
    window.AdvanceFrame();  // a late tick while paused moves nothing
    EXPECT_EQ(window.Playback().Frame(), 0u);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    EXPECT_EQ(window.Playback().Frame(), 2u);
    press(Qt::Key_Left);
    EXPECT_EQ(window.Playback().Frame(), 1u);
    press(Qt::Key_Plus);
    EXPECT_EQ(window.Playback().Fps(), 20);
    press(Qt::Key_Minus);
    press(Qt::Key_Minus);
    EXPECT_EQ(window.Playback().Fps(), 12);
    press(Qt::Key_Home);
    EXPECT_EQ(window.Playback().Frame(), 0u);
    EXPECT_TRUE(window.TimerActive());

    window.AdvanceFrame();
    window.AdvanceFrame();
    window.AdvanceFrame();
    EXPECT_TRUE(window.Playback().Finished());
    EXPECT_FALSE(window.TimerActive());
    press(Qt::Key_Space);  // plays a finished script again
    EXPECT_EQ(window.Playback().Frame(), 0u);
    EXPECT_TRUE(window.TimerActive());
}

TEST_F(PlayerWindowTest, AScriptWithoutFramesSaysSo) {
    PlayerWindow window(velmora::ParseScript("\nLoop 1000"), "script.aas");
    EXPECT_EQ(window.ShownText(), "The script lists no frames.");
    EXPECT_EQ(window.FirstFrameSize(), QSize(320, 240));
    window.AdvanceFrame();
    window.StepForward();
    EXPECT_EQ(window.ShownText(), "The script lists no frames.");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
