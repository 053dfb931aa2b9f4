#pragma once
// The application: keeps the settings under "Harrowby"/"Velmora", the recent
// files, the printer, the one document and the main frame, and carries out the
// command line at start-up.
#include <QString>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "shell/RecentFileList.h"

class QPrinter;
class QSettings;

namespace velmora {
class Document;
class Host;
class RenderSession;
}  // namespace velmora

namespace velmora::gui {

class MainWindow;
class DesktopDialogs;

inline const QString kSettingsOrganization = QStringLiteral("Harrowby");
inline const QString kSettingsApplication = QStringLiteral("Velmora");

class Application {
public:
    Application(Host& host, DesktopDialogs& dialogs);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static constexpr int kKeepRunning = -1;
    // Carries out the command line (arguments without the program name).
    // kKeepRunning when the main window is up, otherwise the exit code.
    int start(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

    Document& document() { return *m_document; }
    RenderSession& session() { return *m_session; }
    MainWindow* mainFrame() const { return m_frame.get(); }
    Host& host() { return m_host; }
    DesktopDialogs& dialogs() { return m_dialogs; }
    RecentFileList& recentFiles() { return m_recentFiles; }
    QPrinter& printer();

    int previewPages() const { return m_previewPages; }
    void setPreviewPages(int pages);
    void saveRecentFiles();

    // Commands the application answers.
    void onAppAbout();
    void onFilePrintSetup();

    // The program's settings store.
    static std::unique_ptr<QSettings> openSettings();

private:
    void loadSettings();
    int printFromCommandLine(const std::string& file, const std::string& printerName, std::ostream& out);

    Host& m_host;
    DesktopDialogs& m_dialogs;
    std::unique_ptr<Document> m_document;
    std::unique_ptr<RenderSession> m_session;  // made right after the document, which it follows
    std::unique_ptr<MainWindow> m_frame;
    std::unique_ptr<QPrinter> m_printer;
    RecentFileList m_recentFiles;
    int m_previewPages = 1;
};

// The whole program after QApplication exists: start-up, message loop, exit code.
int runVelmora(const std::vector<std::string>& args, Host& host, DesktopDialogs& dialogs, std::ostream& out,
               std::ostream& err);

}  // namespace velmora::gui
