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
    void start();

    const velmora::ScriptPlayback& playback() const { return m_playback; }
    // What is on show: a picture, or the note that replaces it.
    const QImage& shownImage() const { return m_shown.image; }
    QString shownText() const { return m_text; }
    bool timerActive() const { return m_timer.isActive(); }
    // The drawing area for the first frame, within the available screen.
    QSize firstFrameSize() const;

public slots:
    void advanceFrame();
    void togglePause();
    void stepForward();
    void stepBack();
    void faster();
    void slower();
    void restart();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void addMenuAction(const QString& text, void (PlayerWindow::*slot)());
    void showCurrent();
    void refresh();

    QStringList m_paths;
    QString m_scriptName;
    velmora::ScriptPlayback m_playback;
    FrameCache m_cache;
    LoadedFrame m_shown;
    QString m_text;
    QTimer m_timer;
    bool m_started = false;
};
