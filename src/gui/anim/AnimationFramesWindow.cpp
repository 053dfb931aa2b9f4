#include "anim/AnimationFramesWindow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "anim/AnimDialogParts.h"
#include "anim/AnimMessages.h"
#include "anim/AnimRender.h"
#include "anim/AnimationDoneDialog.h"
#include "anim/RenderSettingsDialog.h"
#include "anim/ScriptDialog.h"
#include "anim/TransitionCountDialog.h"
#include "anim/FramesList.h"
#include "app/MainWindow.h"
#include "app/DesktopDialogs.h"
#include "app/HelpWindow.h"
#include "model/Document.h"
#include "render/BackgroundRender.h"
#include "render/ProgressDialog.h"
#include "render/FractalView.h"

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

// The render's status line and bar, in the progress window over the frames
// window; the render runs on a worker, so the texts travel queued, in order.
class ProgressWindowSink : public AnimRenderSink {
public:
    ProgressWindowSink(QLabel& status, ProgressSink* bar, const std::atomic<bool>* cancel)
        : m_status(status), m_bar(bar), m_cancel(cancel) {}
    void SetStatusText(const std::string& text) override {
        QLabel* status = &m_status;
        QMetaObject::invokeMethod(
            status, [status, t = QString::fromStdString(text)] { status->setText(t); }, Qt::QueuedConnection);
    }
    ProgressSink* ProgressBar() override { return m_bar; }
    const std::atomic<bool>* CancelFlag() const override { return m_cancel; }

private:
    QLabel& m_status;
    ProgressSink* m_bar;
    const std::atomic<bool>* m_cancel;
};

}  // namespace

AnimationFramesWindow::AnimationFramesWindow(Document& doc, Host& host, DesktopDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_host(host), m_dialogs(dialogs) {
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
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &AnimationFramesWindow::UpdateButtons);
    connect(m_list, &QTreeWidget::itemClicked, this, [this] { UpdateButtons(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { OnKeyframeProperties(); });

    m_insert = MakeIdButton(this, QStringLiteral("&Insert Active"), kIdInsertActive);
    m_copyFrom = MakeIdButton(this, QStringLiteral("Copy &From Active"), kIdCopyFromActive);
    m_copyTo = MakeIdButton(this, QStringLiteral("Copy &To Active"), kIdCopyToActive);
    m_properties = MakeIdButton(this, QStringLiteral("Keyframe &Properties"), kIdKeyframeProperties);
    m_delete = MakeIdButton(this, QStringLiteral("&Delete Keyframe"), kIdDeleteKeyframe);
    auto* render = MakeIdButton(this, QStringLiteral("&Render Anim"), kIdRenderAnim);
    render->setDefault(true);
    auto* script = MakeIdButton(this, QStringLiteral("&Script"), kIdScript);
    auto* help = MakeIdButton(this, QStringLiteral("&Help"), kIdHelpButton);
    connect(m_insert, &QPushButton::clicked, this, &AnimationFramesWindow::OnInsertActive);
    connect(m_copyFrom, &QPushButton::clicked, this, &AnimationFramesWindow::OnCopyFromActive);
    connect(m_copyTo, &QPushButton::clicked, this, &AnimationFramesWindow::OnCopyToActive);
    connect(m_properties, &QPushButton::clicked, this, &AnimationFramesWindow::OnKeyframeProperties);
    connect(m_delete, &QPushButton::clicked, this, &AnimationFramesWindow::OnDeleteKeyframe);
    connect(render, &QPushButton::clicked, this, &AnimationFramesWindow::OnRenderAnim);
    connect(script, &QPushButton::clicked, this, &AnimationFramesWindow::OnScript);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, QStringLiteral("animframes")); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_insert, m_copyFrom, m_copyTo, m_properties, m_delete}) buttons->addWidget(b);
    buttons->addSpacing(12);
    for (QPushButton* b : {render, script, help}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(360, 260);

    RefreshList(-1);
    DisableButtons();
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
        UpdateButtons();
    }
    return QDialog::eventFilter(watched, event);
}

bool AnimationFramesWindow::IsActiveWindow() const { return isActiveWindow(); }

void AnimationFramesWindow::Report(const std::string& text, MsgIcon icon) {
    m_host.ShowMessage(WindowMessage(text, icon, kFramesWindowName));
}

// --- the list ------------------------------------------------------------------

void AnimationFramesWindow::RefreshList(std::int32_t marked) {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    for (const FramesListRow& row : FramesListRows(m_doc, marked)) {
        items.append(new QTreeWidgetItem(
            QStringList{QString::fromStdString(row.keyframe), QString::fromStdString(row.transitions)}));
    }
    m_list->addTopLevelItems(items);
}

std::int32_t AnimationFramesWindow::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) return kNoRow;
    return m_list->indexOfTopLevelItem(selected.front());
}

void AnimationFramesWindow::DisableButtons() {
    for (QPushButton* b : {m_insert, m_copyFrom, m_copyTo, m_properties, m_delete}) b->setEnabled(false);
}

void AnimationFramesWindow::UpdateButtons() {
    switch (EditButtonsFor(IsActiveWindow(), SelectedRow(), m_doc.GetKeyframeCount())) {
        case EditButtons::AllDisabled:
            DisableButtons();
            break;
        case EditButtons::InsertOnly:
            DisableButtons();
            m_insert->setEnabled(true);
            break;
        case EditButtons::AllEnabled:
            for (QPushButton* b : {m_insert, m_copyFrom, m_copyTo, m_properties, m_delete}) b->setEnabled(true);
            break;
        case EditButtons::NoSuchRow:
            Report(animtext::kNoSuchRow);
            break;
    }
}

// --- keyframe commands -------------------------------------------------------------

void AnimationFramesWindow::AskCount(const CountRequest& request) {
    if (request.question == CountQuestion::None) return;
    TransitionCountDialog dlg(request.question == CountQuestion::UntilNext, request.initial, request.allowCancel,
                            m_host, this);
    m_dialogs.RunModal(dlg);
    SetTransitionCount(m_doc, request.keyframe, dlg.m_count);
}

void AnimationFramesWindow::OnInsertActive() {
    const InsertResult inserted = InsertActive(m_doc, SelectedRow());
    if (!inserted.message.empty()) {
        Report(inserted.message);
        return;
    }
    AskCount(inserted.count);
    RefreshList(inserted.index + 1);
    UpdateButtons();
}

void AnimationFramesWindow::OnCopyFromActive() {
    Keyframe* keyframe = m_doc.GetKeyframe(SelectedRow());
    if (keyframe != nullptr) CaptureActive(m_doc, *keyframe);
}

void AnimationFramesWindow::OnCopyToActive() {
    const Keyframe* keyframe = m_doc.GetKeyframe(SelectedRow());
    if (keyframe == nullptr) return;
    ApplyToActive(m_doc, *keyframe);
    // The picture no longer shows the active values: blank until rendered.
    m_doc.m_rendered = false;
    if (m_doc.m_engine) m_doc.m_engine->Blank();
    if (m_view != nullptr) {
        m_view->RedrawNow();
        if (MainWindow* frame = m_view->GetFrame()) frame->UpdateCommandUI();
    }
}

void AnimationFramesWindow::OnKeyframeProperties() {
    const std::int32_t row = SelectedRow();
    if (row == kNoRow) {
        DisableButtons();
        return;
    }
    if (m_doc.GetKeyframe(row) == nullptr) return;  // the "<end>" row
    AskCount(PropertiesRequest(m_doc, row));
    RefreshList(-1);
    UpdateButtons();
}

void AnimationFramesWindow::OnDeleteKeyframe() {
    const DeleteResult result = DeleteKeyframe(m_doc, SelectedRow());
    if (!result.message.empty()) {
        Report(result.message);
        return;
    }
    if (!result.deleted) return;
    RefreshList(-1);
    UpdateButtons();
}

// --- render and script ---------------------------------------------------------------

void AnimationFramesWindow::OnRenderAnim() {
    if (!CheckEnoughKeyframes(m_doc, m_host)) return;
    RenderSettingsDialog settings(m_doc, m_host, this);
    m_dialogs.RunModal(settings);
    if (!settings.m_accepted) return;

    AnimRenderResult result;
    {
        ProgressDialog progress(this);
        std::atomic<bool> cancel{false};
        progress.SetCancelFlag(&cancel);
        progress.adjustSize();
        // Centred over the frames window: its outer corner plus half the
        // difference of the two client sizes.
        progress.move(ProgressDialog::CentredPosition(frameGeometry().topLeft(), size(), progress.size()));
        progress.show();
        progress.raise();
        progress.repaint();
        AnimWaitCursor wait;
        ProgressBarSink bar(*progress.ProgressBar());
        QLabel& status = *progress.StatusText();
        RunDocumentWork(m_doc, &bar, [&](ProgressSink* workerBar) {
            ProgressWindowSink sink(status, workerBar, &cancel);
            result = RenderAnimation(m_doc, settings.Settings(), &sink);
            return 0;
        });
    }
    repaint();
    if (!result.Completed()) return;
    AnimationDoneDialog done(result.scriptPath, m_host, this);
    m_dialogs.RunModal(done);
}

void AnimationFramesWindow::OnScript() {
    ScriptDialog dlg(m_doc, m_host, this);
    m_dialogs.RunModal(dlg);
}

void AnimationFramesWindow::accept() { OnRenderAnim(); }

void AnimationFramesWindow::reject() { hide(); }

}  // namespace velmora::gui
