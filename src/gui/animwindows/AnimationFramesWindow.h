#pragma once
// The "Animation Frames Window": a modeless window with the keyframe list and
// the commands that build it, render the animation and choose its playback.
// Escape and the close box only hide it; the keyframes belong to the document.
#include <QDialog>
#include <cstdint>
#include <optional>
#include <utility>

#include "anim/KeyframeEdit.h"
#include "model/DocumentObserver.h"
#include "session/RenderSession.h"
#include "base/Host.h"

class QPushButton;
class QTreeWidget;

namespace velmora::gui {

class DesktopDialogs;

class AnimationFramesWindow : public QDialog, public DocumentObserver {
    Q_OBJECT
public:
    AnimationFramesWindow(RenderSession& session, Host& host, DesktopDialogs& dialogs, QWidget* parent = nullptr);
    ~AnimationFramesWindow() override;

    // Another window changed the document: the list and buttons follow.
    void documentChanged(DocChanges what) override;

    // Rebuilds every row; `marked` is the 1-based keyframe whose row carries
    // " *", or -1. The selection goes with the old rows.
    void refreshList(std::int32_t marked);
    void updateButtons();
    void disableButtons();

    // The selected row, or kNoRow.
    std::int32_t selectedRow() const;
    QTreeWidget* list() const { return m_list; }

    // --- commands ---------------------------------------------------------
    void onInsertActive();
    void onCopyFromActive();
    void onCopyToActive();
    void onKeyframeProperties();
    void onDeleteKeyframe();
    void onRenderAnim();
    void onScript();
    // The frames of the last complete render (else of the whole animation in
    // the document's folder) into a video file.
    void onSaveVideo();

public slots:
    // Enter starts the render; the window stays.
    void accept() override;
    // Escape and the close box hide the window and nothing else.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Whether the window is the active one, as the button rules ask.
    virtual bool windowIsActive() const;

private:
    // Shows the Transition Count dialog when asked and stores its answer.
    void askCount(const CountRequest& request);
    void report(const std::string& text, MsgIcon icon = MsgIcon::None);

    RenderSession& m_session;
    Document& m_doc;
    Host& m_host;
    DesktopDialogs& m_dialogs;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_insert = nullptr;
    QPushButton* m_copyFrom = nullptr;
    QPushButton* m_copyTo = nullptr;
    QPushButton* m_properties = nullptr;
    QPushButton* m_delete = nullptr;
    bool m_columnsSized = false;
    // The range of the last complete render, for Save Video.
    // The frame numbers of the last render here, first and last written.
    std::optional<std::pair<std::int64_t, std::int64_t>> m_rendered;
};

}  // namespace velmora::gui
