#pragma once
// The dialog after a complete animation render: play the animation now, save
// it as a video, or be done.
#include <QDialog>
#include <functional>
#include <string>

namespace velmora {
class Host;
}  // namespace velmora

namespace velmora::gui {

inline constexpr const char* kAnimDoneName = "AnimationDoneDialog";

class AnimationDoneDialog : public QDialog {
    Q_OBJECT
public:
    // saveVideo runs "Save &Video..."; without it the button is not shown.
    AnimationDoneDialog(std::string scriptPath, Host& host, QWidget* parent = nullptr,
                        std::function<void()> saveVideo = {});

    // "&Play": starts the player on the script; the dialog stays open.
    void onPlay();

    std::string m_scriptPath;

private:
    Host& m_host;
};

}  // namespace velmora::gui
