#pragma once
// The About box: the icon, the name and version, and one line about the program.
#include <QDialog>

namespace velmora::gui {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);
};

}  // namespace velmora::gui
