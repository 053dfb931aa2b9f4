#pragma once
// "Script": the playback style of the animation. Ok and Play store it in the
// document and write the script; Play also starts the player and stays open.
#include <QDialog>

namespace velmora {
class Document;
class Host;
}  // namespace velmora

class QCheckBox;
class QRadioButton;

namespace velmora::gui {

inline constexpr const char* kScriptDlgName = "Script";

class ScriptDialog : public QDialog {
    Q_OBJECT
public:
    ScriptDialog(Document& doc, Host& host, QWidget* parent = nullptr);

    // The document's style byte from the buttons: 1, 2 or 4, plus 8 for looping.
    void storePlaybackStyle();
    void onOk();
    void onPlay();

private:
    Document& m_doc;
    Host& m_host;
    QRadioButton* m_forwards = nullptr;  // id 1034
    QRadioButton* m_reverse = nullptr;   // id 1035
    QRadioButton* m_pingPong = nullptr;  // id 1036
    QCheckBox* m_looping = nullptr;      // id 1037
};

}  // namespace velmora::gui
