#include "host/DesktopDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace velmora::gui {

std::optional<QString> QtDesktopDialogs::getOpenFileName(QWidget* parent, const OpenFileRequest& request) {
    if (!request.mustExist) {
        QFileDialog dlg(parent, request.caption, QString(), request.filter);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::AnyFile);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
        return dlg.selectedFiles().constFirst();
    }
    const QString path = QFileDialog::getOpenFileName(parent, request.caption, QString(), request.filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> QtDesktopDialogs::getSaveFileName(QWidget* parent, const SaveFileRequest& request) {
    QFileDialog dlg(parent, request.caption, QString(), request.filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(request.defaultSuffix);
    if (!request.confirmOverwrite) dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.proposedName.isEmpty()) dlg.selectFile(request.proposedName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return dlg.selectedFiles().constFirst();
}

std::optional<QColor> QtDesktopDialogs::getColor(QWidget* parent, const QColor& initial) {
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

int QtDesktopDialogs::runModal(QDialog& dialog) { return dialog.exec(); }

bool QtDesktopDialogs::setUpPrint(QWidget* parent, QPrinter& printer) {
    QPrintDialog dlg(&printer, parent);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dlg.exec() == QDialog::Accepted;
}

namespace {

// Qt's page setup warns about any printer that is not the system's, yet on
// Linux its page widget serves the PDF printer (all there is without CUPS)
// fully; only that one line is kept off the terminal.
QtMessageHandler g_previousHandler = nullptr;
void dropNonNativePrinterWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.contains(QLatin1String("Cannot be used on non-native printers"))) return;
    if (g_previousHandler != nullptr) g_previousHandler(type, context, text);
}

}  // namespace

bool QtDesktopDialogs::pageSetup(QWidget* parent, QPrinter& printer) {
    g_previousHandler = qInstallMessageHandler(dropNonNativePrinterWarning);
    QPageSetupDialog dlg(&printer, parent);
    qInstallMessageHandler(g_previousHandler);
    return dlg.exec() == QDialog::Accepted;
}

void QtDesktopDialogs::showPrintPreview(QWidget* parent, QPrinter& printer,
                                        const std::function<void(QPrinter&)>& paint, int& pages) {
    QPrintPreviewDialog dlg(&printer, parent);
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&paint](QPrinter* p) { paint(*p); });
    // The preview widget is the dialog's only one; its view mode stands for the page count.
    auto* preview = dlg.findChild<QPrintPreviewWidget*>();
    if (preview != nullptr && pages >= 2) preview->setViewMode(QPrintPreviewWidget::FacingPagesView);
    dlg.exec();
    if (preview != nullptr) pages = preview->viewMode() == QPrintPreviewWidget::SinglePageView ? 1 : 2;
}

}  // namespace velmora::gui
