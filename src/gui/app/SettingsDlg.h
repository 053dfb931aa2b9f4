#pragma once
// "Fractal Image Settings": the region, the fractal type, the Julia constant,
// the Detail Level and the image size of the document, and the way into the
// palette editor. The dialog moves text in and out of its fields; showing,
// reading and checking the values is SettingsCheck's job.
#include <QDialog>
#include <functional>

#include "model/SettingsCheck.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmora {
class CVelmoraDoc;
class Host;
}  // namespace velmora

namespace velmora::gui {

class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // Runs the palette editor on the document's palette, modally over the
    // given window.
    using PaletteEditorRunner = std::function<void(QWidget& over)>;

    // Without a runner the Palette Editor button is disabled.
    CSettingsDlg(CVelmoraDoc& doc, Host& host, PaletteEditorRunner runPaletteEditor = {},
                 QWidget* parent = nullptr);

    // The texts the fields hold now, as OK would read them.
    SettingsFields CurrentFields() const;
    // Fills the fields (what opening the dialog does with the document's values).
    void ShowFields(const SettingsFields& fields);

    // Set when OK passed every check and the dialog closed with OK.
    bool m_bAccepted = false;
    // Set when the Palette Editor button was used, whatever the editor returned.
    bool m_bPaletteEdited = false;

public slots:
    // OK: stores and checks; stays open after a refusal.
    void accept() override;

protected:
    // Tabbing into the type buttons lands on the checked one.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    void OnTypeChanged();
    void OnPaletteEditor();
    void OnHelp();
    QLineEdit* FieldFor(SettingsResult failed) const;

    CVelmoraDoc& m_pDoc;
    Host& m_host;
    PaletteEditorRunner m_runPaletteEditor;

    QLineEdit* m_pLeft = nullptr;
    QLineEdit* m_pRight = nullptr;
    QLineEdit* m_pTop = nullptr;
    QLineEdit* m_pBottom = nullptr;
    QRadioButton* m_pMandelbrot = nullptr;
    QRadioButton* m_pJulia = nullptr;
    QLineEdit* m_pCReal = nullptr;
    QLineEdit* m_pCImag = nullptr;
    QLineEdit* m_pDetail = nullptr;
    QLineEdit* m_pXPels = nullptr;
    QLineEdit* m_pYPels = nullptr;
    QPushButton* m_pPaletteEditor = nullptr;
    QPushButton* m_pOk = nullptr;
};

}  // namespace velmora::gui
