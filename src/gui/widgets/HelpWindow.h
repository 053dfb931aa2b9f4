#pragma once
// The built-in help: HTML pages in the program's resources, one topic for the
// main window and one for each dialog. A dialog's Help button calls
// showHelpTopic with its topic and sets the same name as its "helpTopic"
// property, so Help > Index finds it while the dialog is in front.
//
// Topics: index (contents), main, render, zoom, about, settings, palette,
// animframes, transitions, rendersettings, script, animation, printing.
#include <QDialog>
#include <QString>

class QTextBrowser;

namespace velmora::gui {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent);
    void showTopic(const QString& topic);
    QString currentTopic() const;
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

// Opens (or raises) the help window at a topic; an unknown topic opens the contents.
HelpWindow* showHelpTopic(QWidget* parent, const QString& topic);
bool helpTopicExists(const QString& topic);

}  // namespace velmora::gui
