#include "shell/Application.h"

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QTimer>
#include <ostream>

#include "dialogs/AboutDialog.h"
#include "shell/MainWindow.h"
#include "commands/CommandIds.h"
#include "app/CommandLine.h"
#include "host/DesktopDialogs.h"
#include "host/PathText.h"
#include "widgets/Resources.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "rendering/BackgroundRender.h"
#include "view/FractalView.h"

namespace velmora::gui {

namespace {
const QString kPreviewPages = QStringLiteral("Settings/PreviewPages");
}

Application::Application(Host& host, DesktopDialogs& dialogs)
    : m_host(host), m_dialogs(dialogs), m_document(std::make_unique<Document>(host)),
      m_session(std::make_unique<RenderSession>(*m_document)), m_recentFiles(kRecentFileCount) {
    initResources();
}

Application::~Application() {
    m_frame.reset();  // the view goes before the document it shows
}

std::unique_ptr<QSettings> Application::openSettings() {
    return std::make_unique<QSettings>(kSettingsOrganization, kSettingsApplication);
}

void Application::loadSettings() {
    auto settings = openSettings();
    m_recentFiles.load(*settings);
    const int pages = settings->value(kPreviewPages, 1).toInt();
    m_previewPages = pages == 2 ? 2 : 1;
}

void Application::saveRecentFiles() {
    auto settings = openSettings();
    m_recentFiles.save(*settings);
}

void Application::setPreviewPages(int pages) {
    m_previewPages = pages == 2 ? 2 : 1;
    openSettings()->setValue(kPreviewPages, m_previewPages);
}

QPrinter& Application::printer() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void Application::onAppAbout() {
    AboutDialog dlg(m_frame.get());
    m_dialogs.runModal(dlg);
}

void Application::onFilePrintSetup() { m_dialogs.pageSetup(m_frame.get(), printer()); }

int Application::start(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLineInfo cmd = parseCommandLine(args);
    switch (cmd.action) {
        case CommandLineInfo::Action::Help:
            out << commandLineUsage();
            return 0;
        case CommandLineInfo::Action::Error:
            err << cmd.error << "\n\n" << commandLineUsage();
            return 2;
        case CommandLineInfo::Action::Unregister: {
            auto settings = openSettings();
            settings->clear();
            settings->sync();
            Message m;
            m.text = "System registry entries have been removed and the INI file (if any) was deleted.";
            m.caption = kAppTitle;
            m.icon = MsgIcon::Information;
            m_host.showMessage(m);
            return 0;
        }
        default:
            break;
    }

    loadSettings();
    m_frame = std::make_unique<MainWindow>(*this);
    {
        auto settings = openSettings();
        m_frame->loadBarState(*settings);
    }

    if (cmd.file.empty()) {
        m_document->onNewDocument();
        m_frame->updateTitle();
    } else if (!m_frame->documents().openDocumentFile(fromStdPath(cmd.file), false)) {
        m_frame.reset();  // reported already; the start-up ends
        return 1;
    }

    if (cmd.action == CommandLineInfo::Action::Print) return printFromCommandLine(cmd.file, {}, out);
    if (cmd.action == CommandLineInfo::Action::PrintTo) return printFromCommandLine(cmd.file, cmd.printer, out);

    m_frame->show();
    m_frame->repaint();
    m_frame->updateCommandUI();
    if (m_frame->renderAutomatically()) {
        // Once the event loop runs, so the window is up before the render's progress.
        QTimer::singleShot(0, m_frame.get(), [frame = m_frame.get()] { frame->controller().render(); });
    }
    return kKeepRunning;
}

int Application::printFromCommandLine(const std::string& file, const std::string& printerName, std::ostream& out) {
    QPrinter& printer = this->printer();
    const QString name = fromStdPath(printerName);
    const bool toPdf = name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    if (toPdf) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(name);
    } else if (!name.isEmpty()) {
        if (!QPrinterInfo::availablePrinterNames().contains(name)) {
            Message m;
            m.text = "The printer " + printerName + " is not available.";
            m.caption = kAppTitle;
            m.icon = MsgIcon::Warning;
            m_host.showMessage(m);
            return 1;
        }
        printer.setPrinterName(name);
    } else if (QPrinterInfo::defaultPrinterName().isEmpty()) {
        // No printer on this machine: a PDF beside the document is the next best page.
        const QFileInfo doc(fromStdPath(file));
        const QString pdf = doc.absolutePath() + QLatin1Char('/') + doc.completeBaseName() + QStringLiteral(".pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        out << "No printer is set up; printed to " << toStdPath(pdf) << '\n';
    }
    printer.setDocName(QString::fromStdString(m_document->title()));
    // A document holds no pixels: compute the picture that is to go on paper,
    // the same way as the Render command does.
    renderDocumentInBackground(*m_session, nullptr, nullptr);
    return m_frame->controller().printDocument(printer) ? 0 : 1;
}

int runVelmora(const std::vector<std::string>& args, Host& host, DesktopDialogs& dialogs, std::ostream& out,
               std::ostream& err) {
    Application app(host, dialogs);
    const int started = app.start(args, out, err);
    if (started != Application::kKeepRunning) return started;
    return QApplication::exec();
}

}  // namespace velmora::gui
