#pragma once
// The player's window: shows the script's frames stretched over it, one per
// timer tick, and draws a note in place of a frame that cannot be shown.
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "FrameCache.h"
#include "anim/ScriptPlayback.h"
#include "anim/ScriptReader.h"

class PlayerWindow : public QWidget {
    Q_OBJECT

public:
    PlayerWindow(const velmora::PlayScript& script, const QString& scriptName, QWidget* parent = nullptr);

    // Sizes the window to the first frame that can be shown and starts the
    // timer. Without it the window only moves when its slots are called.
    void Start();

    const velmora::ScriptPlayback& Playback() const { return m_playback; }
    // What is on show: a picture, or the note that replaces it.
    const QImage& ShownImage() const { return m_shown.image; }
    QString ShownText() const { return m_text; }
    bool TimerActive() const { return m_timer.isActive(); }
    // The drawing area for the first frame, within the available screen.
    QSize FirstFrameSize() const;

public slots:
    void AdvanceFrame();
    void TogglePause();
    void StepForward();
    void StepBack();
    void Faster();
    void Slower();
    void Restart();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AddMenuAction(const QString& text, void (PlayerWindow::*slot)());
    void ShowCurrent();
    void Refresh();

    QStringList m_paths;
    QString m_scriptName;
    velmora::ScriptPlayback m_playback;
    FrameCache m_cache;
    LoadedFrame m_shown;
    QString m_text;
    QTimer m_timer;
    bool m_started = false;
};
