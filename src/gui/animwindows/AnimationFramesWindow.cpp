#include "animwindows/AnimationFramesWindow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>

#include "animwindows/PlayerStart.h"
#include "widgets/DialogParts.h"
#include "anim/AnimMessages.h"
#include "anim/AnimRender.h"
#include "animwindows/AnimationDoneDialog.h"
#include "animwindows/RenderSettingsDialog.h"
#include "animwindows/VideoSaveDialog.h"
#include "anim/PlaybackScript.h"
#include "animwindows/ScriptDialog.h"
#include "animwindows/TransitionCountDialog.h"
#include "anim/FramesList.h"
#include "host/DesktopDialogs.h"
#include "widgets/HelpWindow.h"
#include "model/Document.h"
#include "rendering/BackgroundRender.h"
#include "widgets/ProgressDialog.h"

namespace velmora::gui {

namespace {

constexpr int kIdRenderAnim = 1;
constexpr int kIdInsertActive = 3;
constexpr int kIdCopyFromActive = 4;
constexpr int kIdDeleteKeyframe = 7;
constexpr int kIdCopyToActive = 8;
constexpr int kIdKeyframeProperties = 11;
constexpr int kIdList = 1023;
constexpr int kIdScript = 1033;
constexpr int kIdSaveVideo = 1040;

// The render's status line and bar, in the progress window over the frames
// window; the render runs on a worker, so the texts travel queued, in order.
class ProgressWindowSink : public AnimRenderSink {
public:
    ProgressWindowSink(QLabel& status, ProgressSink* bar, const std::atomic<bool>* cancel)
        : m_status(status), m_bar(bar), m_cancel(cancel) {}
    void setStatusText(const std::string& text) override {
        QLabel* status = &m_status;
        QMetaObject::invokeMethod(
            status, [status, t = QString::fromStdString(text)] { status->setText(t); }, Qt::QueuedConnection);
    }
    ProgressSink* progressBar() override { return m_bar; }
    const std::atomic<bool>* cancelFlag() const override { return m_cancel; }

private:
    QLabel& m_status;
    ProgressSink* m_bar;
    const std::atomic<bool>* m_cancel;
};

}  // namespace

AnimationFramesWindow::AnimationFramesWindow(RenderSession& session, Host& host, DesktopDialogs& dialogs,
                                             QWidget* parent)
    : QDialog(parent), m_session(session), m_doc(session.document()), m_host(host), m_dialogs(dialogs) {
    // The name lets the Host find this window as the owner of its messages.
    setObjectName(QString::fromLatin1(kFramesWindowName));
    setWindowTitle(QString::fromLatin1(kFramesWindowName));
    setProperty("helpTopic", QStringLiteral("animframes"));
    setModal(false);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QString::number(kIdList));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Keyframe"), QStringLiteral("Transition Count")});
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->header()->setSectionsMovable(false);
    m_list->installEventFilter(this);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &AnimationFramesWindow::updateButtons);
    connect(m_list, &QTreeWidget::itemClicked, this, [this] { updateButtons(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { onKeyframeProperties(); });

    m_insert = makeIdButton(this, QStringLiteral("&Insert Active"), kIdInsertActive);
    m_copyFrom = makeIdButton(this, QStringLiteral("Copy &From Active"), kIdCopyFromActive);
    m_copyTo = makeIdButton(this, QStringLiteral("Copy &To Active"), kIdCopyToActive);
    m_properties = makeIdButton(this, QStringLiteral("Keyframe &Properties"), kIdKeyframeProperties);
    m_delete = makeIdButton(this, QStringLiteral("&Delete Keyframe"), kIdDeleteKeyframe);
    auto* render = makeIdButton(this, QStringLiteral("&Render Anim"), kIdRenderAnim);
    render->setDefault(true);
    auto* script = makeIdButton(this, QStringLiteral("&Script"), kIdScript);
    auto* video = makeIdButton(this, QStringLiteral("Save &Video..."), kIdSaveVideo);
    auto* help = makeIdButton(this, QStringLiteral("&Help"), kIdHelpButton);
    connect(m_insert, &QPushButton::clicked, this, &AnimationFramesWindow::onInsertActive);
    connect(m_copyFrom, &QPushButton::clicked, this, &AnimationFramesWindow::onCopyFromActive);
    connect(m_copyTo, &QPushButton::clicked, this, &AnimationFramesWindow::onCopyToActive);
    connect(m_properties, &QPushButton::clicked, this, &AnimationFramesWindow::onKeyframeProperties);
    connect(m_delete, &QPushButton::clicked, this, &AnimationFramesWindow::onDeleteKeyframe);
    connect(render, &QPushButton::clicked, this, &AnimationFramesWindow::onRenderAnim);
    connect(script, &QPushButton::clicked, this, &AnimationFramesWindow::onScript);
    connect(video, &QPushButton::clicked, this, &AnimationFramesWindow::onSaveVideo);
    connect(help, &QPushButton::clicked, this, [this] { showHelpTopic(this, QStringLiteral("animframes")); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_insert, m_copyFrom, m_copyTo, m_properties, m_delete}) buttons->addWidget(b);
    buttons->addSpacing(12);
    for (QPushButton* b : {render, script, video, help}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(360, 260);

    refreshList(-1);
    disableButtons();
    m_doc.addObserver(*this);
}

AnimationFramesWindow::~AnimationFramesWindow() { m_doc.removeObserver(*this); }

void AnimationFramesWindow::documentChanged(DocChanges what) {
    // The window's own edits keep their marker; what others change does not.
    if ((what & (doc_change::kValues | doc_change::kPalette | doc_change::kPicture | doc_change::kKeyframes)) == 0)
        return;
    refreshList(-1);
    updateButtons();
}

void AnimationFramesWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_columnsSized) return;
    // A third of the list's width for the number, the rest for the count.
    const int w = m_list->viewport()->width();
    m_list->setColumnWidth(0, w / 3);
    m_list->setColumnWidth(1, (2 * w) / 3 + 1);
    m_columnsSized = true;
}

bool AnimationFramesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        updateButtons();
    }
    return QDialog::eventFilter(watched, event);
}

bool AnimationFramesWindow::windowIsActive() const { return isActiveWindow(); }

void AnimationFramesWindow::report(const std::string& text, MsgIcon icon) {
    m_host.showMessage(windowMessage(text, icon, kFramesWindowName));
}

// --- the list ------------------------------------------------------------------

void AnimationFramesWindow::refreshList(std::int32_t marked) {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    for (const FramesListRow& row : framesListRows(m_doc, marked)) {
        items.append(new QTreeWidgetItem(
            QStringList{QString::fromStdString(row.keyframe), QString::fromStdString(row.transitions)}));
    }
    m_list->addTopLevelItems(items);
}

std::int32_t AnimationFramesWindow::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) return kNoRow;
    return m_list->indexOfTopLevelItem(selected.front());
}

void AnimationFramesWindow::disableButtons() {
    for (QPushButton* b : {m_insert, m_copyFrom, m_copyTo, m_properties, m_delete}) b->setEnabled(false);
}

void AnimationFramesWindow::updateButtons() {
    switch (editButtonsFor(windowIsActive(), selectedRow(), m_doc.keyframeCount())) {
        case EditButtons::AllDisabled:
            disableButtons();
            break;
        case EditButtons::InsertOnly:
            disableButtons();
            m_insert->setEnabled(true);
            break;
        case EditButtons::AllEnabled:
            for (QPushButton* b : {m_insert, m_copyFrom, m_copyTo, m_properties, m_delete}) b->setEnabled(true);
            break;
        case EditButtons::NoSuchRow:
            report(animtext::kNoSuchRow);
            break;
    }
}

// --- keyframe commands -------------------------------------------------------------

void AnimationFramesWindow::askCount(const CountRequest& request) {
    if (request.question == CountQuestion::None) return;
    TransitionCountDialog dlg(request.question == CountQuestion::UntilNext, request.initial, request.allowCancel,
                            m_host, this);
    m_dialogs.runModal(dlg);
    setTransitionCount(m_doc, request.keyframe, dlg.m_count);
}

void AnimationFramesWindow::onInsertActive() {
    const InsertResult inserted = insertActive(m_doc, selectedRow());
    if (!inserted.message.empty()) {
        report(inserted.message);
        return;
    }
    askCount(inserted.count);
    refreshList(inserted.index + 1);
    updateButtons();
}

void AnimationFramesWindow::onCopyFromActive() {
    const std::int32_t row = selectedRow();
    if (m_doc.keyframe(row) == nullptr) return;
    m_doc.editKeyframes([&](std::vector<Keyframe>& k) { captureActive(m_doc, k[static_cast<std::size_t>(row)]); });
}

void AnimationFramesWindow::onCopyToActive() {
    const Keyframe* keyframe = m_doc.keyframe(selectedRow());
    if (keyframe == nullptr) return;
    applyToActive(m_doc, *keyframe);
    // The picture no longer shows the active values: blank until rendered.
    m_session.forgetRendered();
}

void AnimationFramesWindow::onKeyframeProperties() {
    const std::int32_t row = selectedRow();
    if (row == kNoRow) {
        disableButtons();
        return;
    }
    if (m_doc.keyframe(row) == nullptr) return;  // the "<end>" row
    askCount(propertiesRequest(m_doc, row));
    refreshList(-1);
    updateButtons();
}

void AnimationFramesWindow::onDeleteKeyframe() {
    const DeleteResult result = deleteKeyframe(m_doc, selectedRow());
    if (!result.message.empty()) {
        report(result.message);
        return;
    }
    if (!result.deleted) return;
    refreshList(-1);
    updateButtons();
}

// --- render and script ---------------------------------------------------------------

void AnimationFramesWindow::onRenderAnim() {
    if (!checkEnoughKeyframes(m_doc, m_host)) return;
    RenderSettingsDialog settings(m_doc, m_host, this);
    m_dialogs.runModal(settings);
    if (!settings.m_accepted) return;

    AnimRenderResult result;
    {
        ProgressDialog progress(this);
        std::atomic<bool> cancel{false};
        progress.setCancelFlag(&cancel);
        progress.adjustSize();
        // Centred over the frames window: its outer corner plus half the
        // difference of the two client sizes.
        progress.move(ProgressDialog::centredPosition(frameGeometry().topLeft(), size(), progress.size()));
        progress.show();
        progress.raise();
        progress.repaint();
        WaitCursor wait;
        ProgressBarSink bar(*progress.progressBar());
        QLabel& status = *progress.statusText();
        const RenderSettings accepted = settings.settings();
        storeRenderSettings(m_doc, accepted);
        runDocumentWork(m_session, &bar, [&](Host& workerHost, ProgressSink* workerBar) {
            ProgressWindowSink sink(status, workerBar, &cancel);
            result = renderAnimation(m_doc, workerHost, accepted, &sink);
            return 0;
        });
    }
    // The frames were drawn elsewhere, but the picture is blanked as after any
    // change that its values no longer show.
    if (m_session.engine()) m_session.engine()->blank();
    m_doc.notifyChanged(doc_change::kPicture | doc_change::kKeyframes);
    // Save Video takes the frames of this render, complete or stopped; a
    // stopped one ends before the frame it stopped in.
    if (result.outcome != AnimRenderOutcome::TooFewKeyframes) {
        const std::int32_t last = result.completed() ? result.lastFrame : result.lastFrame - 1;
        m_rendered = {settings.m_from, result.framesBegun > 0 ? last : settings.m_from - 1};
    }
    if (!result.completed()) return;
    AnimationDoneDialog done(result.scriptPath, m_host, this, [this] { onSaveVideo(); });
    m_dialogs.runModal(done);
}

void AnimationFramesWindow::onSaveVideo() {
    // Before any render here, the whole animation's files (from an earlier session).
    const auto [from, to] = m_rendered.value_or(std::pair<std::int64_t, std::int64_t>{1, m_doc.totalFrames()});
    std::vector<std::string> frames;
    std::int64_t missing = 0;
    for (std::int64_t n = from; n <= to; ++n) {
        std::string path = framePath(m_doc.animation().destFolder, n, m_doc.animation().smooth);
        std::error_code ec;
        if (std::filesystem::exists(path, ec)) {
            frames.push_back(std::move(path));
        } else {
            ++missing;
        }
    }
    if (missing > 0) {
        const std::int64_t planned = to - from + 1;
        report(frames.empty() ? "None of the " + std::to_string(planned) + " frames is in the folder."
                              : std::to_string(missing) + " of the " + std::to_string(planned) +
                                    " frames are missing; the video holds the other " +
                                    std::to_string(frames.size()) + ".",
               MsgIcon::Information);
        if (frames.empty()) return;
    }
    saveFramesAsVideo(frames, m_doc.animation().destFolder + "animation.mp4", m_dialogs, m_host, this, kFramesWindowName);
}

void AnimationFramesWindow::onScript() {
    ScriptDialog dlg(m_doc, m_host, this);
    m_dialogs.runModal(dlg);
}

void AnimationFramesWindow::accept() { onRenderAnim(); }

void AnimationFramesWindow::reject() { hide(); }

}  // namespace velmora::gui
