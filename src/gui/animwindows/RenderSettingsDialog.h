#pragma once
// "Render Settings": frame size, frame range, tweening style and frames folder
// for the animation render. It proposes the document's stored settings and the
// whole animation, checks OK's entries in their fixed order, and changes
// nothing in the document: the render stores what it accepted.
#include <QDialog>
#include <cstdint>
#include <string>

#include "anim/RenderSettingsCheck.h"
#include "location/FractalParams.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace velmora {
class Document;
class Host;
}  // namespace velmora

namespace velmora::gui {

class RenderSettingsDialog : public QDialog {
    Q_OBJECT
public:
    RenderSettingsDialog(Document& doc, Host& host, QWidget* parent = nullptr);

    // The accepted values, as the render takes them.
    RenderSettings settings() const;

    // Valid after OK: the folder is absolute and ends with the separator.
    std::int32_t m_from = 1;
    std::int32_t m_to = 0;
    TweenStyle m_tweenStyle = TweenStyle::ConstantSpeed;
    std::string m_destFolder;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    bool m_skipRendered = false;
    bool m_smoothFrames = false;
    Document* m_document;
    // Set only when OK's checks passed and the dialog closed with OK.
    bool m_accepted = false;

public slots:
    void accept() override;

private:
    Host& m_host;
    QLineEdit* m_widthEdit = nullptr;   // id 1030
    QLineEdit* m_heightEdit = nullptr;  // id 1028
    QLineEdit* m_folder = nullptr;  // id 1027
    QLineEdit* m_fromEdit = nullptr;    // id 1031
    QLineEdit* m_toEdit = nullptr;      // id 1029
    QRadioButton* m_slow = nullptr;      // id 1032
    QRadioButton* m_constant = nullptr;  // id 1033
    QCheckBox* m_skip = nullptr;         // "skipRendered"
    QCheckBox* m_smooth = nullptr;       // "smoothFrames"
};

}  // namespace velmora::gui
