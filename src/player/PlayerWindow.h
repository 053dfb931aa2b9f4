#pragma once
// The player's window: the script's frames one per timer tick, scaled to fit
// above a row of controls (play/pause, previous/next, position, frame number,
// speed, loop), with a note in place of a frame that cannot be shown. File >
// Open plays another script or a folder of frames; File > Save Video writes
// what it plays, one pass of the script, as a video file.
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "FrameCache.h"
#include "anim/ScriptPlayback.h"
#include "anim/ScriptReader.h"

class FrameView;
class QCheckBox;
class QLabel;
class QSlider;
class QSpinBox;
class QToolButton;

class PlayerWindow : public QWidget {
    Q_OBJECT

public:
    PlayerWindow(const velmora::PlayScript& script, const QString& scriptName, QWidget* parent = nullptr);

    // Sizes the window to the first frame that can be shown and starts the
    // timer. Without it the window only moves when its slots are called.
    void start();

    const velmora::ScriptPlayback& playback() const { return m_playback; }
    // What is on show: a picture, or the note that replaces it.
    const QImage& shownImage() const { return m_shown.image; }
    QString shownText() const { return m_text; }
    bool timerActive() const { return m_timer.isActive(); }
    // The drawing area for the first frame, within the available screen.
    QSize firstFrameSize() const;
    // The picture area, without the menu and the controls.
    QWidget* pictureView() const;

    // Encodes one pass of the script at the current speed; false with the
    // message when a frame cannot be read or the file cannot be written.
    bool saveVideo(const QString& path, QString& error);
    // Asks for the video's file name; empty when cancelled. Tests replace it.
    using VideoPathAsker = std::function<QString(QWidget*)>;
    void setVideoPathAsker(VideoPathAsker asker) { m_askVideoPath = std::move(asker); }
    // Asks for a script (folder false) or a folder of frames; empty when cancelled. Tests replace it.
    using OpenPathAsker = std::function<QString(QWidget*, bool folder)>;
    void setOpenPathAsker(OpenPathAsker asker) { m_askOpenPath = std::move(asker); }
    // Plays a script file or a folder's frames in a new window in place of this one.
    // False with the message when it cannot be read.
    bool openPath(const QString& path, bool folder, QString& error);

public slots:
    void advanceFrame();
    void togglePause();
    void stepForward();
    void stepBack();
    void faster();
    void slower();
    void restart();
    void seek(int entry);
    void setFps(int fps);
    void setLooping(bool looping);
    void saveVideoAs();
    void openScript();
    void openFolder();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void addMenuAction(const QString& text, void (PlayerWindow::*slot)());
    QWidget* buildControls();
    void showCurrent();
    void refresh();

    OpenPathAsker m_askOpenPath;
    QStringList m_paths;
    QString m_scriptName;
    velmora::ScriptPlayback m_playback;
    FrameCache m_cache;
    LoadedFrame m_shown;
    QString m_text;
    QTimer m_timer;
    bool m_started = false;
    VideoPathAsker m_askVideoPath;

    FrameView* m_view = nullptr;
    QWidget* m_controls = nullptr;
    QToolButton* m_playPause = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QSlider* m_position = nullptr;
    QLabel* m_frameLabel = nullptr;
    QSpinBox* m_fps = nullptr;
    QCheckBox* m_loop = nullptr;
};
