#pragma once
// "Fractal Image Settings": the region, the fractal type, the Julia constant,
// the Detail Level and the image size of the document, and the way into the
// palette editor. The dialog moves text in and out of its fields; showing,
// reading and checking the values is SettingsCheck's job.
#include <QDialog>

class QDoubleSpinBox;
#include <functional>

#include "model/SettingsCheck.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmora {
class Document;
class Host;
}  // namespace velmora

namespace velmora::gui {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // The controls' object names, by which tests and help find them.
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;
    static constexpr int kIdLeft = 1005;
    static constexpr int kIdRight = 1006;
    static constexpr int kIdTop = 1007;
    static constexpr int kIdBottom = 1008;
    static constexpr int kIdMandelbrot = 1009;
    static constexpr int kIdJulia = 1010;
    static constexpr int kIdCReal = 1011;
    static constexpr int kIdCImag = 1012;
    static constexpr int kIdDetail = 1013;
    static constexpr int kIdXPels = 1014;
    static constexpr int kIdYPels = 1015;
    static constexpr int kIdDensity = 1016;
    static constexpr int kIdOffset = 1017;
    static constexpr int kIdPaletteEditor = 32783;
    static constexpr int kIdHelp = 57670;

    // Runs the palette editor on the document's palette, modally over the
    // given window.
    using PaletteEditorRunner = std::function<void(QWidget& over)>;

    // Without a runner the Palette Editor button is disabled.
    SettingsDialog(Document& doc, Host& host, PaletteEditorRunner runPaletteEditor = {},
                 QWidget* parent = nullptr);

    // The texts the fields hold now, as OK would read them.
    SettingsFields currentFields() const;
    // Fills the fields (what opening the dialog does with the document's values).
    void showFields(const SettingsFields& fields);

    // Set when OK passed every check and the dialog closed with OK.
    bool m_accepted = false;
    // The held zoom's rate, shown and taken beside the document's values.
    void setHeldZoomRate(double perSecond);
    double heldZoomRate() const;
    // Set when the Palette Editor button was used, whatever the editor returned.
    bool m_paletteEdited = false;

public slots:
    // OK: stores and checks; stays open after a refusal.
    void accept() override;

protected:
    // Tabbing into the type buttons lands on the checked one.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showValues();
    void onTypeChanged();
    void onPaletteEditor();
    void onHelp();
    QLineEdit* fieldFor(SettingsResult failed) const;

    Document& m_document;
    Host& m_host;
    PaletteEditorRunner m_runPaletteEditor;

    QLineEdit* m_left = nullptr;
    QLineEdit* m_right = nullptr;
    QLineEdit* m_top = nullptr;
    QLineEdit* m_bottom = nullptr;
    QRadioButton* m_mandelbrot = nullptr;
    QRadioButton* m_julia = nullptr;
    QLineEdit* m_cReal = nullptr;
    QLineEdit* m_cImag = nullptr;
    QLineEdit* m_detail = nullptr;
    QLineEdit* m_xPels = nullptr;
    QLineEdit* m_yPels = nullptr;
    QDoubleSpinBox* m_heldZoom = nullptr;
    QLineEdit* m_density = nullptr;
    QLineEdit* m_offset = nullptr;
    QPushButton* m_paletteEditor = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace velmora::gui
