#pragma once
// "Save Video": the frame rate, quality and file name for a video made from
// the frame files of the last animation render, and the encoding itself.
#include <QDialog>
#include <string>
#include <vector>

#include "video/VideoOptions.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace velmora {
class Host;
}  // namespace velmora

namespace velmora::gui {

class DesktopDialogs;

inline constexpr const char* kVideoSaveName = "Save Video";

class VideoSaveDialog : public QDialog {
    Q_OBJECT
public:
    VideoSaveDialog(DesktopDialogs& dialogs, Host& host, const QString& proposedPath, QWidget* parent = nullptr);

    // What was chosen; the path is checked by OK.
    VideoOptions options() const;

public slots:
    // Refuses a file name that names no video format, with a message.
    void accept() override;

private:
    void browse();

    DesktopDialogs& m_dialogs;
    Host& m_host;
    QSpinBox* m_fps = nullptr;
    QComboBox* m_quality = nullptr;
    QLineEdit* m_file = nullptr;
};

// Asks for the options (through the dialogs, so tests answer it) and encodes
// the frame files in order. Failures are shown in a box owned by `ownerName`.
// True when a video was written.
bool saveFramesAsVideo(const std::vector<std::string>& frames, const std::string& proposedPath,
                       DesktopDialogs& dialogs, Host& host, QWidget* parent, const char* ownerName);

}  // namespace velmora::gui
