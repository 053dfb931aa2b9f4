#include "shell/DocumentCommands.h"

#include "shell/MainWindow.h"
#include "shell/Application.h"
#include "host/DesktopDialogs.h"
#include "host/PathText.h"
#include "shell/RecentFileList.h"
#include "export/BmpWriter.h"
#include "engine/RenderReport.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "base/FileErrors.h"
#include "base/SaveMessages.h"
#include "dialogs/ExportImageDialog.h"
#include "export/PngDocumentChunk.h"
#include "export/PngDocumentOpen.h"
#include "rendering/BackgroundRender.h"
#include "widgets/DialogParts.h"
#include "widgets/ProgressDialog.h"

#include <QFileInfo>
#include <QSettings>
#include <QLabel>
#include <atomic>

namespace velmora::gui {

namespace {
const QString kDocFilter = QStringLiteral("Velmora File (*.vmr);;All Files (*)");
// Open also takes the PNGs Velmora wrote: they carry their document.
const QString kOpenFilter =
    QStringLiteral("Velmora Files (*.vmr *.png);;Velmora File (*.vmr);;PNG Image (*.png);;All Files (*)");
}

bool DocumentCommands::saveModified(const char* untitled) {
    Document& doc = m_frame.app().document();
    if (!doc.isModified()) return true;
    Message m;
    const std::string name = !doc.pathName().empty() ? doc.pathName() : untitled != nullptr ? untitled : doc.title();
    m.text = formatPercent1("Save changes to %1?", name);
    m.caption = kAppTitle;
    m.icon = MsgIcon::Warning;
    m.buttons = MsgButtons::YesNoCancel;
    m.owner = MsgOwner::MainWindow;
    switch (m_frame.app().host().showMessage(m)) {
        case MsgAnswer::Yes: return onFileSave();
        case MsgAnswer::No: return true;
        default: return false;
    }
}

void DocumentCommands::onFileNew() {
    // A save that failed or was cancelled keeps the document: the user asked
    // for the changes to be kept.
    if (!saveModified("this document")) return;
    Document& doc = m_frame.app().document();
    doc.onNewDocument();
    doc.loadDefaultPalette();
    doc.setTitle("Untitled");
}

void DocumentCommands::afterDocumentChanged() {
    m_frame.updateTitle();
    m_frame.rebuildRecentFileMenu();
    m_frame.updateCommandUI();
}

bool DocumentCommands::openDocumentFile(const QString& path, bool ask) {
    if (ask && !saveModified()) return false;
    Application& app = m_frame.app();
    const std::string file = toStdPath(path);
    const bool ok = isPngPath(file) ? openPngDocument(app.document(), file) : app.document().onOpenDocument(file);
    if (ok) app.recentFiles().add(path);
    app.saveRecentFiles();
    afterDocumentChanged();
    // At start the window is not shown yet: the start renders once it is.
    if (ok && m_frame.renderAutomatically() && m_frame.isVisible()) m_frame.controller().render();
    return ok;
}

void DocumentCommands::onFileOpen() {
    OpenFileRequest request;
    request.caption = QStringLiteral("Open");
    request.filter = kOpenFilter;
    const auto path = m_frame.app().dialogs().getOpenFileName(&m_frame, request);
    if (!path) return;
    openDocumentFile(*path);
}

void DocumentCommands::onOpenRecentFile(int index) {
    RecentFileList& recent = m_frame.app().recentFiles();
    if (index < 0 || index >= recent.files().size()) return;
    const QString path = recent.files().at(index);
    if (!saveModified()) return;
    if (!openDocumentFile(path, false)) {
        // A recent file that no longer opens leaves the list.
        const int at = static_cast<int>(recent.files().indexOf(path));
        recent.remove(at);
        m_frame.app().saveRecentFiles();
        m_frame.rebuildRecentFileMenu();
    }
}

bool DocumentCommands::doSave(const QString& path) {
    Application& app = m_frame.app();
    if (!app.document().onSaveDocument(toStdPath(path))) return false;  // reported; stays modified
    app.recentFiles().add(path);
    app.saveRecentFiles();
    afterDocumentChanged();
    return true;
}

bool DocumentCommands::onFileSave() {
    const std::string& path = m_frame.app().document().pathName();
    if (path.empty()) return onFileSaveAs();
    return doSave(fromStdPath(path));
}

bool DocumentCommands::onFileSaveAs() {
    Document& doc = m_frame.app().document();
    SaveFileRequest request;
    request.caption = QStringLiteral("Save As");
    request.filter = kDocFilter;
    request.defaultSuffix = QStringLiteral("vmr");
    request.proposedName = doc.pathName().empty() ? fromStdPath(doc.title()) + QStringLiteral(".vmr")
                                                     : fromStdPath(doc.pathName());
    request.confirmOverwrite = true;
    const auto path = m_frame.app().dialogs().getSaveFileName(&m_frame, request);
    if (!path) return false;
    return doSave(*path);
}

bool DocumentCommands::canExportBmp() const { return m_frame.app().session().isRendered(); }

void DocumentCommands::onExportBmp() {
    Application& app = m_frame.app();
    SaveFileRequest request;
    request.caption = QStringLiteral("Save As");
    request.filter = QStringLiteral("Windows BMP Files (*.bmp);;All Files (*)");
    request.defaultSuffix = QStringLiteral("bmp");
    request.confirmOverwrite = false;
    const auto chosen = app.dialogs().getSaveFileName(&m_frame, request);
    if (!chosen) return;

    Document& doc = app.document();
    FractalEngine* engine = app.session().engine();
    // The header block comes from the last draw; a view that was never shown
    // has not drawn yet, so give it the palette it would have drawn with.
    if (engine && engine->bitmapInfo() == nullptr) buildBitmapOrTell(*engine, doc.palette(), doc.host());

    const std::string path = toStdPath(*chosen);
    std::error_code cause;
    const BmpWriteResult written = writeBmp(engine, path, cause);
    if (written == BmpWriteResult::Ok) return;
    Message m;
    m.text = bmpWriteMessage(written, path, cause);
    if (written == BmpWriteResult::CreateFailed) {
        m.caption = kAppTitle;
        m.icon = MsgIcon::Error;
        m.owner = MsgOwner::MainWindow;
    } else if (written != BmpWriteResult::NoHeader) {
        m.icon = MsgIcon::Warning;
    }
    app.host().showMessage(m);
}

void DocumentCommands::onExportImage() {
    Application& app = m_frame.app();
    Document& doc = app.document();
    std::optional<ExportChoices> last = ExportChoices::load(*Application::openSettings());
    // What is shown is what is exported: a smooth view starts the export smooth.
    if (m_frame.view()->isSmooth()) {
        if (!last) last = ExportChoices{doc.width(), doc.height(), 1, false, true};
        last->smooth = true;
    }
    ExportImageDialog options(doc.width(), doc.height(), last, &m_frame);
    if (app.dialogs().runModal(options) != QDialog::Accepted) return;
    options.choices().save(*Application::openSettings());
    SaveFileRequest request;
    request.caption = QStringLiteral("Export Image");
    request.filter = QStringLiteral("PNG Image (*.png);;All Files (*)");
    request.defaultSuffix = QStringLiteral("png");
    const QString name = doc.pathName().empty() ? fromStdPath(doc.title()) : fromStdPath(doc.pathName());
    request.proposedName = QFileInfo(name).completeBaseName() + QStringLiteral(".png");
    request.confirmOverwrite = true;
    const auto chosen = app.dialogs().getSaveFileName(&m_frame, request);
    if (!chosen) return;

    DocumentContents contents = doc.contents();
    contents.params.width = options.imageWidth();
    contents.params.height = options.imageHeight();
    const std::string path = toStdPath(*chosen);
    std::atomic<bool> cancel{false};
    PngExportOptions how = options.options();
    how.cancel = &cancel;
    PngWriteResult result = PngWriteResult::Ok;
    std::error_code cause;
    {
        ProgressDialog progress(&m_frame);
        progress.setCancelFlag(&cancel);
        progress.statusText()->setText(QStringLiteral("Exporting ") + QFileInfo(*chosen).fileName());
        progress.showCentredOver(m_frame);
        WaitCursor wait;
        ProgressBarSink bar(*progress.progressBar());
        runDocumentWork(app.session(), &bar, [&](Host&, ProgressSink* workerBar) {
            result = exportPng(contents, path, workerBar, cause, how);
            return 0;
        });
    }
    if (result == PngWriteResult::Ok || cancel.load()) return;  // a cancelled export leaves the old file
    Message m;
    m.text = pngWriteMessage(result, path, cause);
    m.caption = kAppTitle;
    m.icon = MsgIcon::Error;
    m.owner = MsgOwner::MainWindow;
    app.host().showMessage(m);
}

}  // namespace velmora::gui
