#pragma once
// "Render Settings": frame size, frame range, tweening style and frames folder
// for the animation render. It proposes the document's stored settings and the
// whole animation, checks OK's entries in their fixed order, and changes
// nothing in the document: the render stores what it accepted.
#include <QDialog>
#include <cstdint>
#include <string>

#include "anim/RenderSettingsCheck.h"
#include "model/FractalParams.h"

class QLineEdit;
class QRadioButton;

namespace velmora {
class CVelmoraDoc;
class Host;
}  // namespace velmora

namespace velmora::gui {

class CRenderSettingsDlg : public QDialog {
    Q_OBJECT
public:
    CRenderSettingsDlg(CVelmoraDoc& doc, Host& host, QWidget* parent = nullptr);

    // The accepted values, as the render takes them.
    RenderSettings Settings() const;

    // Valid after OK: the folder is absolute and ends with the separator.
    std::int32_t m_nFrom = 1;
    std::int32_t m_nTo = 0;
    TweenStyle m_tweenStyle = TweenStyle::ConstantSpeed;
    std::string m_destFolder;
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    CVelmoraDoc* m_pDoc;
    // Set only when OK's checks passed and the dialog closed with OK.
    bool m_bAccepted = false;

public slots:
    void accept() override;

private:
    Host& m_host;
    QLineEdit* m_pWidth = nullptr;   // id 1030
    QLineEdit* m_pHeight = nullptr;  // id 1028
    QLineEdit* m_pFolder = nullptr;  // id 1027
    QLineEdit* m_pFrom = nullptr;    // id 1031
    QLineEdit* m_pTo = nullptr;      // id 1029
    QRadioButton* m_pSlow = nullptr;      // id 1032
    QRadioButton* m_pConstant = nullptr;  // id 1033
};

}  // namespace velmora::gui
