// The player window over real 8-bit frame files, time driven by calling its
// advance slot instead of waiting for the timer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QDir>
#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

#include <functional>

#include <vector>

#include "PlayerWindow.h"
#include "TempDir.h"
#include "VideoDecode.h"

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

// The centre of the picture area, as a user would see it.
QColor centre(PlayerWindow& window) {
    const QImage shown = window.pictureView()->grab().toImage();
    return shown.pixelColor(shown.width() / 2, shown.height() / 2);
}

// File > Open Folder plays the folder's frames in a window of its own, in
// place of this one.
TEST_F(PlayerWindowTest, OpenFolderPlaysItsFramesInANewWindow) {
    WriteFrame(2, 2);
    WriteFrame(10, 3);
    auto* window = new PlayerWindow(velmora::parseScript(""), "empty.aas");
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->setOpenPathAsker([this](QWidget*, bool folder) { return folder ? QString::fromStdString(m_dir.path().string()) : QString(); });
    const QPointer<PlayerWindow> old = window;
    window->findChild<QAction*>(QStringLiteral("openFolder"))->trigger();
    PlayerWindow* opened = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<PlayerWindow*>(w); p != nullptr && p->isVisible()) opened = p;
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(std::tuple(opened->playback().frameCount(), centre(*opened), old.isNull() || !old->isVisible()),
              std::tuple(std::size_t{2}, kGreen, true));
    opened->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // both windows go
    EXPECT_TRUE(old.isNull());
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
        QImage note = window.pictureView()->grab().toImage();
        EXPECT_EQ(note.pixelColor(1, 1), kBlack);
        note.fill(kBlack);
        EXPECT_NE(window.pictureView()->grab().toImage(), note);  // the note's text is drawn over the black
        window.advanceFrame();  // goes on past the missing frame
        EXPECT_EQ(centre(window), kBlue) << pass;
        window.advanceFrame();
    }
    // After the second pass it stays on the last frame.
    EXPECT_EQ(std::tuple(centre(window), window.windowTitle(), window.timerActive()),
              std::tuple(kBlue, QString("script.aas - 3/3, pass 2/2 - 15 fps - Finished - ZEDoz"), false));
}

TEST_F(PlayerWindowTest, BrokenLateAndStretchedFrames) {
    WriteFrame(1, 0, 2, 1, {1, 3});  // enlarged, the two colours must meet without a blend
    velmora::test::writeBytes(m_dir.file("frame2.bmp"), {'B', 'M', 0, 1, 2, 3});
    PlayerWindow window(velmora::parseScript("\nframe1.bmp\nframe2.bmp\nframe3.bmp"), "script.aas");
    // A view wider than twice its height and one taller: the 2:1 picture keeps
    // its shape, centred on black.
    for (const QSize size : {QSize(700, 300), QSize(500, 600)}) {
        window.resize(size);
        const QImage shown = window.pictureView()->grab().toImage();
        const int w = shown.width(), h = shown.height();
        const int pw = std::min(w, 2 * h), ph = pw / 2, x0 = (w - pw) / 2, y0 = (h - ph) / 2;
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        for (int x : {x0, x0 + pw / 2 - 1}) EXPECT_EQ(shown.pixelColor(x, h / 2), kRed) << x;
        for (int x : {x0 + pw / 2, x0 + pw - 1}) EXPECT_EQ(shown.pixelColor(x, h / 2), kBlue) << x;
        // The black beside the picture, on the side where there is room for it.
        const QPoint before = x0 > 1 ? QPoint(x0 - 2, h / 2) : QPoint(w / 2, y0 - 2);
        const QPoint after = x0 > 1 ? QPoint(x0 + pw + 1, h / 2) : QPoint(w / 2, y0 + ph + 1);
        EXPECT_EQ(std::pair(shown.pixelColor(before), shown.pixelColor(after)), std::pair(kBlack, kBlack));
    }
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

// The keys and the controls under the picture drive the playback and the
// timer, and show where it stands; File > Save Video writes one pass of the script.
TEST_F(PlayerWindowTest, ControlsDriveAndShowThePlayback) {
    for (int i = 1; i <= 4; ++i) WriteFrame(i, 1 + i % 3, 31, 17);
    PlayerWindow window(velmora::parseScript("frame1.bmp\nframe2.bmp\nframe3.bmp\nframe4.bmp"), "script.aas");
    window.start();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* play = window.findChild<QToolButton*>("playPause");
    auto* next = window.findChild<QToolButton*>("nextFrame");
    auto* previous = window.findChild<QToolButton*>("previousFrame");
    auto* slider = window.findChild<QSlider*>("position");
    auto* label = window.findChild<QLabel*>("frameLabel");
    auto* fps = window.findChild<QSpinBox*>("fps");
    auto* loop = window.findChild<QCheckBox*>("loop");
    ASSERT_TRUE(play && next && previous && slider && label && fps && loop);
    EXPECT_GE(window.width(), window.findChild<QWidget*>("position")->parentWidget()->minimumSizeHint().width());

    const auto key = [&](int k) {
        return [&window, k] { QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier); QApplication::sendEvent(&window, &e); };
    };
    struct Step { std::function<void()> act; std::size_t frame; bool timer; QString text; int fps; };
    const QString first = "Frame 1 / 4";
    const Step steps[] = {
        {[] {}, 0, true, first, 15}, {key(Qt::Key_Space), 0, false, first, 15},
        {key(Qt::Key_Right), 1, false, "Frame 2 / 4", 15}, {key(Qt::Key_Left), 0, false, first, 15},
        {key(Qt::Key_Plus), 0, false, first, 20}, {key(Qt::Key_Equal), 0, false, first, 24},
        {key(Qt::Key_Minus), 0, false, first, 20}, {key(Qt::Key_Underscore), 0, false, first, 15},
        {key(Qt::Key_Home), 0, true, first, 15},
        {[&] { play->click(); }, 0, false, "Frame 1 / 4", 15},
        {[&] { next->click(); }, 1, false, "Frame 2 / 4", 15},
        {[&] { slider->setValue(3); }, 3, false, "Frame 4 / 4", 15},
        {[&] { previous->click(); }, 2, false, "Frame 3 / 4", 15},
        {[&] {  // typed where a click put the focus; Enter gives the keys back to the player
             QTest::mouseClick(fps, Qt::LeftButton, {}, QPoint(4, fps->height() / 2));
             QWidget* typed = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &window;
             QTest::keyClick(typed, Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(typed, "42");
             QTest::keyClick(typed, Qt::Key_Return);
         },
         2, false, "Frame 3 / 4", 42},
        {key(Qt::Key_Plus), 2, false, "Frame 3 / 4", 50},
        {[&] { play->click(); window.advanceFrame(); }, 3, true, "Frame 4 / 4", 50},
        {[&] { loop->click(); window.advanceFrame(); }, 0, true, "Frame 1 / 4", 50},  // wraps instead of finishing
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(std::tuple(window.playback().frame(), window.timerActive(), label->text(), fps->value(),
                             slider->value()),
                  std::tuple(s.frame, s.timer, s.text, s.fps, static_cast<int>(s.frame)))
            << s.text.toStdString();
        if (!s.timer) window.advanceFrame();  // a late tick while paused moves nothing
    }
    EXPECT_TRUE(loop->isChecked() && window.playback().looping());

    const QString video = QString::fromStdString(m_dir.file("out.webm"));
    window.setVideoPathAsker([&](QWidget*) { return video; });
    window.findChild<QAction*>("saveVideo")->trigger();
    EXPECT_FALSE(window.timerActive());  // saving pauses
    const auto decoded = velmora::test::decodeVideo(video.toStdString());
    EXPECT_EQ(std::tuple(decoded.luma.size(), decoded.width, decoded.height), std::tuple(std::size_t{4}, 32, 18));
}

}  // namespace
