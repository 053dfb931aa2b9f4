#pragma once
// Shared pieces of the GUI tests: scripted dialogs, an application object on
// the scripted host, a clean settings store, and quick access to controls.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QSettings>
#include <deque>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "FakeHost.h"
#include "shell/MainWindow.h"
#include "shell/Application.h"
#include "host/DesktopDialogs.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "view/FractalView.h"

namespace velmora::test {

// Answers every modal window from a script; an unscripted one fails the test.
class ScriptedDialogs : public gui::DesktopDialogs {
public:
    // An empty string (or nullopt colour) answers Cancel.
    std::deque<QString> openAnswers, saveAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    std::vector<gui::SaveFileRequest> saveRequests;
    std::vector<gui::OpenFileRequest> openRequests;
    std::vector<QColor> colorPresets;
    std::function<int(QDialog&)> modal;

    template <typename T>
    static T next(std::deque<T>& answers, const char* what) {
        if (answers.empty()) ADD_FAILURE() << "unexpected " << what << " dialog";
        if (answers.empty()) return T{};
        T a = answers.front();
        answers.pop_front();
        return a;
    }
    static std::optional<QString> path(const QString& a) { return a.isEmpty() ? std::nullopt : std::make_optional(a); }
    std::optional<QString> getOpenFileName(QWidget*, const gui::OpenFileRequest& r) override {
        openRequests.push_back(r);
        return path(next(openAnswers, "open"));
    }
    std::optional<QString> getSaveFileName(QWidget*, const gui::SaveFileRequest& r) override {
        saveRequests.push_back(r);
        return path(next(saveAnswers, "save"));
    }
    std::optional<QColor> getColor(QWidget*, const QColor& initial) override {
        colorPresets.push_back(initial);
        return next(colorAnswers, "colour");
    }
    int runModal(QDialog& d) override {
        if (!modal) ADD_FAILURE() << "unexpected modal dialog " << d.objectName().toStdString();
        return modal ? modal(d) : int(QDialog::Rejected);
    }
    bool setUpPrint(QWidget*, QPrinter&) override { return true; }
    bool pageSetup(QWidget*, QPrinter&) override { return true; }
    void showPrintPreview(QWidget*, QPrinter&, const std::function<void(QPrinter&)>&, int& pages) override {
        pages = 2;
    }
};

inline void clearSettings() { QSettings(gui::kSettingsOrganization, gui::kSettingsApplication).clear(); }

// A started program on the scripted host and dialogs.
struct AppUnderTest {
    FakeHost host;
    ScriptedDialogs dialogs;
    std::unique_ptr<gui::Application> app;
    std::ostringstream out, err;

    int start(const std::vector<std::string>& args = {}) {
        app = std::make_unique<gui::Application>(host, dialogs);
        return app->start(args, out, err);
    }
    gui::MainWindow& frame() { return *app->mainFrame(); }
    gui::FractalView& view() { return *frame().view(); }
    Document& makeDoc() { return app->document(); }
    RenderSession& session() { return app->session(); }
    bool enabled(int id) {
        frame().updateCommandUI();
        return frame().action(id)->isEnabled();
    }
};

// The program started afresh on a clean settings store; a failed start ends the test.
struct StartedApp : AppUnderTest {
    StartedApp() {
        clearSettings();
        if (start() != gui::Application::kKeepRunning) throw std::runtime_error("the program did not start");
    }
};

template <typename T = QWidget>
T* control(const QWidget& parent, int id) {
    T* w = parent.findChild<T*>(QString::number(id));
    EXPECT_NE(w, nullptr) << "no control " << id;
    return w;
}
inline void setText(const QWidget& parent, int id, const QString& text) {
    control<QLineEdit>(parent, id)->setText(text);
}
inline void Press(const QWidget& parent, int id) { control<QAbstractButton>(parent, id)->click(); }

}  // namespace velmora::test
