#pragma once
// "Script": the playback style of the animation. Ok and Play store it in the
// document and write the script; Play also starts the player and stays open.
#include <QDialog>

namespace velmora {
class CVelmoraDoc;
class Host;
}  // namespace velmora

class QCheckBox;
class QRadioButton;

namespace velmora::gui {

inline constexpr const char* kScriptDlgName = "Script";

class CScriptDlg : public QDialog {
    Q_OBJECT
public:
    CScriptDlg(CVelmoraDoc& doc, Host& host, QWidget* parent = nullptr);

    // The document's style byte from the buttons: 1, 2 or 4, plus 8 for looping.
    void StorePlaybackStyle();
    void OnOk();
    void OnPlay();

private:
    CVelmoraDoc& m_doc;
    Host& m_host;
    QRadioButton* m_pForwards = nullptr;  // id 1034
    QRadioButton* m_pReverse = nullptr;   // id 1035
    QRadioButton* m_pPingPong = nullptr;  // id 1036
    QCheckBox* m_pLooping = nullptr;      // id 1037
};

}  // namespace velmora::gui
