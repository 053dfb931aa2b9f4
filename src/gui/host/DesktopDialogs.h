#pragma once
// Every modal window the program opens goes through this seam: the file
// dialogs, the colour chooser, the print dialogs and any dialog run modally.
// The program uses QtDesktopDialogs; tests install a scripted one, so no test
// ever waits on a modal window.
#include <QColor>
#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace velmora::gui {

struct SaveFileRequest {
    QString caption;
    QString filter;          // Qt filter string, e.g. "Velmora File (*.vmr)"
    QString defaultSuffix;   // without the dot
    QString proposedName;    // file name or path shown at first; may be empty
    bool confirmOverwrite = true;
};

struct OpenFileRequest {
    QString caption;
    QString filter;
    // False: a typed name of a file that does not exist is accepted too.
    bool mustExist = true;
};

class DesktopDialogs {
public:
    virtual ~DesktopDialogs() = default;

    // A path, or nothing when the user cancelled.
    virtual std::optional<QString> getOpenFileName(QWidget* parent, const OpenFileRequest& request) = 0;
    virtual std::optional<QString> getSaveFileName(QWidget* parent, const SaveFileRequest& request) = 0;
    virtual std::optional<QColor> getColor(QWidget* parent, const QColor& initial) = 0;

    // Runs a dialog modally and returns its result code (QDialog::Accepted...).
    virtual int runModal(QDialog& dialog) = 0;

    // The printer dialogs; false when the user cancelled.
    virtual bool setUpPrint(QWidget* parent, QPrinter& printer) = 0;
    virtual bool pageSetup(QWidget* parent, QPrinter& printer) = 0;
    // Shows the preview; paint draws the document's one page on the printer.
    // pages is the number of pages shown side by side, read and written back.
    virtual void showPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paint,
                                  int& pages) = 0;
};

// The real dialogs of the desktop.
class QtDesktopDialogs : public DesktopDialogs {
public:
    std::optional<QString> getOpenFileName(QWidget* parent, const OpenFileRequest& request) override;
    std::optional<QString> getSaveFileName(QWidget* parent, const SaveFileRequest& request) override;
    std::optional<QColor> getColor(QWidget* parent, const QColor& initial) override;
    int runModal(QDialog& dialog) override;
    bool setUpPrint(QWidget* parent, QPrinter& printer) override;
    bool pageSetup(QWidget* parent, QPrinter& printer) override;
    void showPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paint,
                          int& pages) override;
};

}  // namespace velmora::gui
