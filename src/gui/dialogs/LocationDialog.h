#pragma once
// "Location": the picture's centre and width as decimal text of any length,
// to copy, paste and share. OK with edited text gives the new location (the
// height from the picture's aspect); the view renders it like any other
// change, so Back returns.
#include <QDialog>
#include <optional>

#include "location/CentreWidth.h"
#include "location/FractalParams.h"
#include "widgets/DialogParts.h"

class QLineEdit;

namespace velmora {
class Host;
}  // namespace velmora

namespace velmora::gui {

class LocationDialog : public QDialog {
    Q_OBJECT
public:
    // The controls' object names, by which tests and help find them.
    static constexpr int kIdOk = kIdOkButton;
    static constexpr int kIdCancel = kIdCancelButton;
    static constexpr int kIdCentreRe = 1101;
    static constexpr int kIdCentreIm = 1102;
    static constexpr int kIdWidth = 1103;

    LocationDialog(const FractalParams& current, Host& host, QWidget* parent = nullptr);

    // Set when OK took edited text: the values to show.
    std::optional<FractalParams> m_location;

public slots:
    // OK: takes the text; stays open on a number it cannot take.
    void accept() override;

private:
    void refuse(QLineEdit* field, const char* text);

    FractalParams m_current;
    CentreWidth m_shown;
    Host& m_host;
    QLineEdit* m_re = nullptr;
    QLineEdit* m_im = nullptr;
    QLineEdit* m_width = nullptr;
};

}  // namespace velmora::gui
