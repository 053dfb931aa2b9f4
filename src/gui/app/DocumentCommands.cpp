#include "app/DocumentCommands.h"

#include "app/MainWindow.h"
#include "app/Application.h"
#include "app/DesktopDialogs.h"
#include "app/PathText.h"
#include "app/RecentFileList.h"
#include "model/BmpWriter.h"
#include "model/Document.h"
#include "platform/FileErrors.h"
#include "render/FractalView.h"

namespace velmora::gui {

namespace {
const QString kDocFilter = QStringLiteral("Velmora File (*.vmr);;All Files (*)");
}

bool DocumentCommands::SaveModified() {
    Document& doc = m_frame.App().GetDocument();
    if (!doc.IsModified()) return true;
    Message m;
    const std::string& name = doc.GetPathName().empty() ? doc.GetTitle() : doc.GetPathName();
    m.text = FormatPercent1("Save changes to %1?", name);
    m.caption = kAppTitle;
    m.icon = MsgIcon::Warning;
    m.buttons = MsgButtons::YesNoCancel;
    m.owner = MsgOwner::MainWindow;
    switch (m_frame.App().GetHost().ShowMessage(m)) {
        case MsgAnswer::Yes: return OnFileSave();
        case MsgAnswer::No: return true;
        default: return false;
    }
}

void DocumentCommands::AfterDocumentChanged() {
    m_frame.UpdateTitle();
    m_frame.RebuildRecentFileMenu();
    if (FractalView* view = m_frame.GetView()) view->RedrawNow();
    m_frame.UpdateCommandUI();
}

bool DocumentCommands::OpenDocumentFile(const QString& path, bool ask) {
    if (ask && !SaveModified()) return false;
    Application& app = m_frame.App();
    const bool ok = app.GetDocument().OnOpenDocument(ToStdPath(path));
    if (ok) app.GetRecentFiles().Add(path);
    app.SaveRecentFiles();
    AfterDocumentChanged();
    return ok;
}

void DocumentCommands::OnFileOpen() {
    OpenFileRequest request;
    request.caption = QStringLiteral("Open");
    request.filter = kDocFilter;
    const auto path = m_frame.App().GetDialogs().GetOpenFileName(&m_frame, request);
    if (!path) return;
    OpenDocumentFile(*path);
}

void DocumentCommands::OnOpenRecentFile(int index) {
    RecentFileList& recent = m_frame.App().GetRecentFiles();
    if (index < 0 || index >= recent.Files().size()) return;
    const QString path = recent.Files().at(index);
    if (!SaveModified()) return;
    if (!OpenDocumentFile(path, false)) {
        // A recent file that no longer opens leaves the list.
        const int at = static_cast<int>(recent.Files().indexOf(path));
        recent.Remove(at);
        m_frame.App().SaveRecentFiles();
        m_frame.RebuildRecentFileMenu();
    }
}

bool DocumentCommands::DoSave(const QString& path) {
    Application& app = m_frame.App();
    if (!app.GetDocument().OnSaveDocument(ToStdPath(path))) return false;  // reported; stays modified
    app.GetRecentFiles().Add(path);
    app.SaveRecentFiles();
    AfterDocumentChanged();
    return true;
}

bool DocumentCommands::OnFileSave() {
    const std::string& path = m_frame.App().GetDocument().GetPathName();
    if (path.empty()) return OnFileSaveAs();
    return DoSave(FromStdPath(path));
}

bool DocumentCommands::OnFileSaveAs() {
    Document& doc = m_frame.App().GetDocument();
    SaveFileRequest request;
    request.caption = QStringLiteral("Save As");
    request.filter = kDocFilter;
    request.defaultSuffix = QStringLiteral("vmr");
    request.proposedName = doc.GetPathName().empty() ? FromStdPath(doc.GetTitle()) + QStringLiteral(".vmr")
                                                     : FromStdPath(doc.GetPathName());
    request.confirmOverwrite = true;
    const auto path = m_frame.App().GetDialogs().GetSaveFileName(&m_frame, request);
    if (!path) return false;
    return DoSave(*path);
}

bool DocumentCommands::CanExportBmp() const { return m_frame.App().GetDocument().m_rendered; }

void DocumentCommands::OnExportBmp() {
    Application& app = m_frame.App();
    SaveFileRequest request;
    request.caption = QStringLiteral("Save As");
    request.filter = QStringLiteral("Windows BMP Files (*.bmp);;All Files (*)");
    request.defaultSuffix = QStringLiteral("bmp");
    request.confirmOverwrite = false;
    const auto chosen = app.GetDialogs().GetSaveFileName(&m_frame, request);
    if (!chosen) return;

    Document& doc = app.GetDocument();
    // The header block comes from the last draw; a view that was never shown
    // has not drawn yet, so give it the palette it would have drawn with.
    if (doc.m_engine && doc.m_engine->GetBitmapInfo() == nullptr) doc.m_engine->BuildBitmap(doc.m_palette);

    const std::string path = ToStdPath(*chosen);
    std::error_code cause;
    Message m;
    switch (doc.WriteBmp(path, cause)) {
        case BmpWriteResult::Ok:
            return;
        case BmpWriteResult::CreateFailed:
            m.text = FileErrorMessage(path, cause, FileOp::Write);
            m.caption = kAppTitle;
            m.icon = MsgIcon::Error;
            m.owner = MsgOwner::MainWindow;
            break;
        case BmpWriteResult::WriteFailed:
            m.text = kBmpWriteFailedMessage;
            m.icon = MsgIcon::Warning;
            break;
        case BmpWriteResult::TooLarge:
            m.text = "The picture is too large for a BMP file.";
            m.icon = MsgIcon::Warning;
            break;
        case BmpWriteResult::NoHeader:
            m.text = "Windows reported 'Out of Memory'";
            break;
    }
    app.GetHost().ShowMessage(m);
}

}  // namespace velmora::gui
