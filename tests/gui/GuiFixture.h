#pragma once
// Shared pieces of the GUI tests: scripted dialogs, an application object on
// the scripted host, and a clean settings store per test.
#include <gtest/gtest.h>

#include <QDialog>
#include <QSettings>
#include <deque>
#include <functional>
#include <memory>
#include <sstream>

#include "FakeHost.h"
#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/DesktopDialogs.h"
#include "model/VelmoraDoc.h"
#include "render/CVelmoraView.h"

namespace velmora::test {

// Answers every modal window from a script; an unscripted one fails the test.
class ScriptedDialogs : public gui::DesktopDialogs {
public:
    // An empty string answers Cancel.
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::vector<gui::SaveFileRequest> saveRequests;
    std::vector<gui::OpenFileRequest> openRequests;
    std::function<int(QDialog&)> modal;
    int printSetups = 0;
    bool printAnswer = true;
    int previews = 0;

    std::optional<QString> GetOpenFileName(QWidget*, const gui::OpenFileRequest& r) override {
        openRequests.push_back(r);
        if (openAnswers.empty()) {
            ADD_FAILURE() << "unexpected open dialog";
            return std::nullopt;
        }
        const QString a = openAnswers.front();
        openAnswers.pop_front();
        if (a.isEmpty()) return std::nullopt;
        return std::make_optional(a);
    }
    std::optional<QString> GetSaveFileName(QWidget*, const gui::SaveFileRequest& r) override {
        saveRequests.push_back(r);
        if (saveAnswers.empty()) {
            ADD_FAILURE() << "unexpected save dialog";
            return std::nullopt;
        }
        const QString a = saveAnswers.front();
        saveAnswers.pop_front();
        if (a.isEmpty()) return std::nullopt;
        return std::make_optional(a);
    }
    std::optional<QColor> GetColor(QWidget*, const QColor&) override {
        ADD_FAILURE() << "unexpected colour dialog";
        return std::nullopt;
    }
    int RunModal(QDialog& d) override {
        if (!modal) {
            ADD_FAILURE() << "unexpected modal dialog " << d.objectName().toStdString();
            return QDialog::Rejected;
        }
        return modal(d);
    }
    bool SetUpPrint(QWidget*, QPrinter&) override {
        ++printSetups;
        return printAnswer;
    }
    bool PageSetup(QWidget*, QPrinter&) override { return true; }
    void ShowPrintPreview(QWidget*, QPrinter& printer, const std::function<void(QPrinter&)>& paint,
                          int& pages) override {
        ++previews;
        (void)printer;
        (void)paint;
        pages = 2;
    }
};

inline void ClearSettings() {
    QSettings s(gui::kSettingsOrganization, gui::kSettingsApplication);
    s.clear();
    s.sync();
}

// A started program on the scripted host and dialogs.
struct AppUnderTest {
    FakeHost host;
    ScriptedDialogs dialogs;
    std::unique_ptr<gui::CVelmoraApp> app;
    std::ostringstream out;
    std::ostringstream err;

    int Start(const std::vector<std::string>& args = {}) {
        app = std::make_unique<gui::CVelmoraApp>(host, dialogs);
        return app->InitInstance(args, out, err);
    }
    gui::CMainFrame& Frame() { return *app->GetMainFrame(); }
    gui::CVelmoraView& View() { return *Frame().GetView(); }
    CVelmoraDoc& Doc() { return app->GetDocument(); }
    ~AppUnderTest() { app.reset(); }
};

}  // namespace velmora::test
