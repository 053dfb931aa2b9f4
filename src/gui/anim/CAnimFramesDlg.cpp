#include "anim/CAnimFramesDlg.h"

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
#include "anim/CAnimDoneDlg.h"
#include "anim/CRenderSettingsDlg.h"
#include "anim/CScriptDlg.h"
#include "anim/CTransitionCountDlg.h"
#include "anim/FramesList.h"
#include "app/CMainFrame.h"
#include "app/DesktopDialogs.h"
#include "app/HelpWindow.h"
#include "model/VelmoraDoc.h"
#include "render/BackgroundRender.h"
#include "render/CProgressDlg.h"
#include "render/CVelmoraView.h"

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

CAnimFramesDlg::CAnimFramesDlg(CVelmoraDoc& doc, Host& host, DesktopDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_host(host), m_dialogs(dialogs) {
    // The name lets the Host find this window as the owner of its messages.
    setObjectName(QString::fromLatin1(kFramesWindowName));
    setWindowTitle(QString::fromLatin1(kFramesWindowName));
    setProperty("helpTopic", QStringLiteral("animframes"));
    setModal(false);

    m_pList = new QTreeWidget(this);
    m_pList->setObjectName(QString::number(kIdList));
    m_pList->setColumnCount(2);
    m_pList->setHeaderLabels({QStringLiteral("Keyframe"), QStringLiteral("Transition Count")});
    m_pList->setRootIsDecorated(false);
    m_pList->setItemsExpandable(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setAllColumnsShowFocus(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->header()->setSectionsMovable(false);
    m_pList->installEventFilter(this);
    connect(m_pList, &QTreeWidget::itemSelectionChanged, this, &CAnimFramesDlg::UpdateButtons);
    connect(m_pList, &QTreeWidget::itemClicked, this, [this] { UpdateButtons(); });
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, [this] { OnKeyframeProperties(); });

    m_pInsert = MakeIdButton(this, QStringLiteral("&Insert Active"), kIdInsertActive);
    m_pCopyFrom = MakeIdButton(this, QStringLiteral("Copy &From Active"), kIdCopyFromActive);
    m_pCopyTo = MakeIdButton(this, QStringLiteral("Copy &To Active"), kIdCopyToActive);
    m_pProperties = MakeIdButton(this, QStringLiteral("Keyframe &Properties"), kIdKeyframeProperties);
    m_pDelete = MakeIdButton(this, QStringLiteral("&Delete Keyframe"), kIdDeleteKeyframe);
    auto* render = MakeIdButton(this, QStringLiteral("&Render Anim"), kIdRenderAnim);
    render->setDefault(true);
    auto* script = MakeIdButton(this, QStringLiteral("&Script"), kIdScript);
    auto* help = MakeIdButton(this, QStringLiteral("&Help"), kIdHelpButton);
    connect(m_pInsert, &QPushButton::clicked, this, &CAnimFramesDlg::OnInsertActive);
    connect(m_pCopyFrom, &QPushButton::clicked, this, &CAnimFramesDlg::OnCopyFromActive);
    connect(m_pCopyTo, &QPushButton::clicked, this, &CAnimFramesDlg::OnCopyToActive);
    connect(m_pProperties, &QPushButton::clicked, this, &CAnimFramesDlg::OnKeyframeProperties);
    connect(m_pDelete, &QPushButton::clicked, this, &CAnimFramesDlg::OnDeleteKeyframe);
    connect(render, &QPushButton::clicked, this, &CAnimFramesDlg::OnRenderAnim);
    connect(script, &QPushButton::clicked, this, &CAnimFramesDlg::OnScript);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, QStringLiteral("animframes")); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_pInsert, m_pCopyFrom, m_pCopyTo, m_pProperties, m_pDelete}) buttons->addWidget(b);
    buttons->addSpacing(12);
    for (QPushButton* b : {render, script, help}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(360, 260);

    RefreshList(-1);
    DisableButtons();
}

void CAnimFramesDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_bColumnsSized) return;
    // A third of the list's width for the number, the rest for the count.
    const int w = m_pList->viewport()->width();
    m_pList->setColumnWidth(0, w / 3);
    m_pList->setColumnWidth(1, (2 * w) / 3 + 1);
    m_bColumnsSized = true;
}

bool CAnimFramesDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pList && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        UpdateButtons();
    }
    return QDialog::eventFilter(watched, event);
}

bool CAnimFramesDlg::IsActiveWindow() const { return isActiveWindow(); }

void CAnimFramesDlg::Report(const std::string& text, MsgIcon icon) {
    m_host.ShowMessage(WindowMessage(text, icon, kFramesWindowName));
}

// --- the list ------------------------------------------------------------------

void CAnimFramesDlg::RefreshList(std::int32_t marked) {
    const QSignalBlocker quiet(m_pList);
    m_pList->clear();
    QList<QTreeWidgetItem*> items;
    for (const FramesListRow& row : FramesListRows(m_doc, marked)) {
        items.append(new QTreeWidgetItem(
            QStringList{QString::fromStdString(row.keyframe), QString::fromStdString(row.transitions)}));
    }
    m_pList->addTopLevelItems(items);
}

std::int32_t CAnimFramesDlg::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_pList->selectedItems();
    if (selected.isEmpty()) return kNoRow;
    return m_pList->indexOfTopLevelItem(selected.front());
}

void CAnimFramesDlg::DisableButtons() {
    for (QPushButton* b : {m_pInsert, m_pCopyFrom, m_pCopyTo, m_pProperties, m_pDelete}) b->setEnabled(false);
}

void CAnimFramesDlg::UpdateButtons() {
    switch (EditButtonsFor(IsActiveWindow(), SelectedRow(), m_doc.GetKeyframeCount())) {
        case EditButtons::AllDisabled:
            DisableButtons();
            break;
        case EditButtons::InsertOnly:
            DisableButtons();
            m_pInsert->setEnabled(true);
            break;
        case EditButtons::AllEnabled:
            for (QPushButton* b : {m_pInsert, m_pCopyFrom, m_pCopyTo, m_pProperties, m_pDelete}) b->setEnabled(true);
            break;
        case EditButtons::NoSuchRow:
            Report(animtext::kNoSuchRow);
            break;
    }
}

// --- keyframe commands -------------------------------------------------------------

void CAnimFramesDlg::AskCount(const CountRequest& request) {
    if (request.question == CountQuestion::None) return;
    CTransitionCountDlg dlg(request.question == CountQuestion::UntilNext, request.initial, request.allowCancel,
                            m_host, this);
    m_dialogs.RunModal(dlg);
    SetTransitionCount(m_doc, request.keyframe, dlg.m_nCount);
}

void CAnimFramesDlg::OnInsertActive() {
    const InsertResult inserted = InsertActive(m_doc, SelectedRow());
    if (!inserted.message.empty()) {
        Report(inserted.message);
        return;
    }
    AskCount(inserted.count);
    RefreshList(inserted.index + 1);
    UpdateButtons();
}

void CAnimFramesDlg::OnCopyFromActive() {
    Keyframe* keyframe = m_doc.GetKeyframe(SelectedRow());
    if (keyframe != nullptr) CaptureActive(m_doc, *keyframe);
}

void CAnimFramesDlg::OnCopyToActive() {
    const Keyframe* keyframe = m_doc.GetKeyframe(SelectedRow());
    if (keyframe == nullptr) return;
    ApplyToActive(m_doc, *keyframe);
    // The picture no longer shows the active values: blank until rendered.
    m_doc.m_bRendered = false;
    if (m_doc.m_pEngine) m_doc.m_pEngine->Blank();
    if (m_pView != nullptr) {
        m_pView->RedrawNow();
        if (CMainFrame* frame = m_pView->GetFrame()) frame->UpdateCommandUI();
    }
}

void CAnimFramesDlg::OnKeyframeProperties() {
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

void CAnimFramesDlg::OnDeleteKeyframe() {
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

void CAnimFramesDlg::OnRenderAnim() {
    if (!CheckEnoughKeyframes(m_doc, m_host)) return;
    CRenderSettingsDlg settings(m_doc, m_host, this);
    m_dialogs.RunModal(settings);
    if (!settings.m_bAccepted) return;

    AnimRenderResult result;
    {
        CProgressDlg progress(this);
        std::atomic<bool> cancel{false};
        progress.SetCancelFlag(&cancel);
        progress.adjustSize();
        // Centred over the frames window: its outer corner plus half the
        // difference of the two client sizes.
        progress.move(CProgressDlg::CentredPosition(frameGeometry().topLeft(), size(), progress.size()));
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
    CAnimDoneDlg done(result.scriptPath, m_host, this);
    m_dialogs.RunModal(done);
}

void CAnimFramesDlg::OnScript() {
    CScriptDlg dlg(m_doc, m_host, this);
    m_dialogs.RunModal(dlg);
}

void CAnimFramesDlg::accept() { OnRenderAnim(); }

void CAnimFramesDlg::reject() { hide(); }

}  // namespace velmora::gui
