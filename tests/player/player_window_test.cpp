// The player window over real 8-bit frame files, time driven by calling its
// advance slot instead of waiting for the timer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>

#include <vector>

#include "PlayerWindow.h"
#include "TempDir.h"

namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kBlack(0, 0, 0);

// Runs each test in its frames folder, as Velmora starts the player.
class PlayerWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(m_dir.path().string()))); }
    void TearDown() override { QDir::setCurrent(m_previous); }

    // Writes frameN.bmp as an 8-bit BMP in colour 1 (red), 2 (green) or 3 (blue),
    // one colour per column when `columns` is given.
    void WriteFrame(int n, int colour, int width = 200, int height = 150, std::vector<int> columns = {}) {
        QImage image(width, height, QImage::Format_Indexed8);
        image.setColorTable({qRgb(0, 0, 0), kRed.rgb(), kGreen.rgb(), kBlue.rgb()});
        for (int i = 0; i < width * height; ++i)
            image.setPixel(i % width, i / width, columns.empty() ? colour : columns[i % width]);
        ASSERT_TRUE(image.save(QString::fromStdString(m_dir.file("frame" + std::to_string(n) + ".bmp")), "BMP"));
    }

    QString m_previous = QDir::currentPath();
    velmora::test::TempDir m_dir;
};

// The centre of what the window paints, as a user would see it.
QColor centre(PlayerWindow& window) {
    const QImage shown = window.grab().toImage();
    return shown.pixelColor(shown.width() / 2, shown.height() / 2);
}

TEST_F(PlayerWindowTest, PlaysTwoPassesAndNotesTheMissingFrameEachTime) {
    WriteFrame(1, 1);
    WriteFrame(3, 3);
    PlayerWindow window(velmora::parseScript("frame1.bmp\nframe2.bmp\nframe3.bmp\nLoop 2"), "script.aas");
    EXPECT_EQ(window.firstFrameSize(), QSize(200, 150));
    window.resize(window.firstFrameSize());
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(std::pair(window.shownText(), centre(window)), std::pair(QString(), kRed)) << pass;
        window.advanceFrame();
        EXPECT_TRUE(window.shownImage().isNull() && window.shownText().contains("frame2.bmp\nThe file does not exist"));
        QImage note = window.grab().toImage();
        EXPECT_EQ(note.pixelColor(1, 1), kBlack);
        note.fill(kBlack);
        EXPECT_NE(window.grab().toImage(), note);  // the note's text is drawn over the black
        window.advanceFrame();  // goes on past the missing frame
        EXPECT_EQ(centre(window), kBlue) << pass;
        window.advanceFrame();
    }
    // After the second pass it stays on the last frame.
    EXPECT_EQ(std::tuple(centre(window), window.windowTitle(), window.timerActive()),
              std::tuple(kBlue, QString("script.aas - 3/3, pass 2/2 - 15 fps - Finished - ZEDoz"), false));
}

TEST_F(PlayerWindowTest, BrokenLateAndStretchedFrames) {
    WriteFrame(1, 0, 2, 1, {1, 3});  // stretched, the two colours must meet without a blend
    velmora::test::writeBytes(m_dir.file("frame2.bmp"), {'B', 'M', 0, 1, 2, 3});
    PlayerWindow window(velmora::parseScript("\nframe1.bmp\nframe2.bmp\nframe3.bmp"), "script.aas");
    window.resize(200, 50);
    const QImage shown = window.grab().toImage();
    for (int x : {0, 50, 99, 100, 150, 199}) EXPECT_EQ(shown.pixelColor(x, 25), x < 100 ? kRed : kBlue) << x;
    window.stepForward();
    EXPECT_TRUE(window.shownText().startsWith("Cannot show frame 2:\nframe2.bmp\n") &&
                !window.shownText().contains("does not exist"));
    window.stepForward();
    EXPECT_TRUE(window.shownText().contains("frame3.bmp"));
    WriteFrame(3, 2);  // the render writes the frame while the player waits on it
    window.stepBack();
    window.stepForward();
    EXPECT_EQ(std::pair(window.shownText(), window.shownImage().pixelColor(100, 75)), std::pair(QString(), kGreen));

    PlayerWindow empty(velmora::parseScript("\nLoop 1000"), "script.aas");
    empty.advanceFrame();
    empty.stepForward();
    EXPECT_EQ(std::pair(empty.firstFrameSize(), empty.shownText()),
              std::pair(QSize(320, 240), QString("The script lists no frames.")));
}

TEST_F(PlayerWindowTest, KeysReachThePlaybackAndTheTimer) {
    for (int i = 1; i <= 3; ++i) WriteFrame(i, 1);
    PlayerWindow window(velmora::parseScript("frame1.bmp\nframe2.bmp\nframe3.bmp"), "script.aas");
    window.start();
    struct Press { int key; std::size_t frame; int fps; bool timer; };
    const Press presses[] = {
        {0, 0, 15, true}, {Qt::Key_Space, 0, 15, false}, {Qt::Key_Right, 1, 15, false},
        {Qt::Key_Right, 2, 15, false}, {Qt::Key_Left, 1, 15, false}, {Qt::Key_Plus, 1, 20, false},
        {Qt::Key_Equal, 1, 24, false}, {Qt::Key_Minus, 1, 20, false}, {Qt::Key_Underscore, 1, 15, false},
        {Qt::Key_Home, 0, 15, true}};
    for (const Press& p : presses) {
        QKeyEvent event(QEvent::KeyPress, p.key, Qt::NoModifier);
        if (p.key != 0) QApplication::sendEvent(&window, &event);
        EXPECT_EQ(std::tuple(window.playback().frame(), window.playback().fps(), window.timerActive()),
                  std::tuple(p.frame, p.fps, p.timer)) << "key " << p.key;
        if (!p.timer) window.advanceFrame();  // a late tick while paused moves nothing
    }
    for (int i = 0; i < 3; ++i) window.advanceFrame();
    EXPECT_FALSE(window.timerActive());  // finished
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
