#pragma once
// The application: keeps the settings under "Harrowby"/"Velmora", the recent
// files, the printer, the one document and the main frame, and carries out the
// command line at start-up.
#include <QString>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/RecentFileList.h"

class QPrinter;
class QSettings;

namespace velmora {
class CVelmoraDoc;
class Host;
}  // namespace velmora

namespace velmora::gui {

class CMainFrame;
class DesktopDialogs;

inline const QString kSettingsOrganization = QStringLiteral("Harrowby");
inline const QString kSettingsApplication = QStringLiteral("Velmora");

class CVelmoraApp {
public:
    CVelmoraApp(Host& host, DesktopDialogs& dialogs);
    ~CVelmoraApp();
    CVelmoraApp(const CVelmoraApp&) = delete;
    CVelmoraApp& operator=(const CVelmoraApp&) = delete;

    static constexpr int kKeepRunning = -1;
    // Carries out the command line (arguments without the program name).
    // kKeepRunning when the main window is up, otherwise the exit code.
    int InitInstance(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

    CVelmoraDoc& GetDocument() { return *m_pDoc; }
    CMainFrame* GetMainFrame() const { return m_pFrame.get(); }
    Host& GetHost() { return m_host; }
    DesktopDialogs& GetDialogs() { return m_dialogs; }
    RecentFileList& GetRecentFiles() { return m_recentFiles; }
    QPrinter& GetPrinter();

    int GetPreviewPages() const { return m_nPreviewPages; }
    void SetPreviewPages(int pages);
    void SaveRecentFiles();

    // Commands the application answers.
    void OnAppAbout();
    void OnFilePrintSetup();

    // The program's settings store.
    static std::unique_ptr<QSettings> OpenSettings();

private:
    void LoadStdProfileSettings();
    int PrintFromCommandLine(const std::string& file, const std::string& printerName, std::ostream& out);

    Host& m_host;
    DesktopDialogs& m_dialogs;
    std::unique_ptr<CVelmoraDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    std::unique_ptr<QPrinter> m_pPrinter;
    RecentFileList m_recentFiles;
    int m_nPreviewPages = 1;
};

// The whole program after QApplication exists: start-up, message loop, exit code.
int RunVelmora(const std::vector<std::string>& args, Host& host, DesktopDialogs& dialogs, std::ostream& out,
               std::ostream& err);

}  // namespace velmora::gui
