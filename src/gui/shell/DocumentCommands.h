#pragma once
// The document's file commands: New, Open, Save, Save As, the recent files,
// Export BMP, Export Image and the one "Save changes?" question asked before
// the document is replaced.
#include <QString>

namespace velmora::gui {

class MainWindow;

class DocumentCommands {
public:
    explicit DocumentCommands(MainWindow& frame) : m_frame(frame) {}

    void onFileNew();
    void onFileOpen();
    // Both false when the document was not saved (cancelled or failed).
    bool onFileSave();
    bool onFileSaveAs();
    void onOpenRecentFile(int index);
    void onExportBmp();
    bool canExportBmp() const;
    // Asks for the size and options, then the file, and writes a PNG in strips
    // on a worker thread with a progress window (Escape stops it).
    void onExportImage();

    // Asks "Save changes to %1?" for a modified document, %1 its path or, for
    // one without a file, `untitled` (its title when not given); false when the
    // user cancelled or the save failed, so the document must stay.
    bool saveModified(const char* untitled = nullptr);
    // Opens a document in place of the current one, asking first. False when
    // nothing was opened.
    bool openDocumentFile(const QString& path, bool ask = true);

private:
    bool doSave(const QString& path);
    void afterDocumentChanged();

    MainWindow& m_frame;
};

}  // namespace velmora::gui
