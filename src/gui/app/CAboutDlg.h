#pragma once
// The About box: the icon, the name and version, and one line about the program.
#include <QDialog>

namespace velmora::gui {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
};

}  // namespace velmora::gui
