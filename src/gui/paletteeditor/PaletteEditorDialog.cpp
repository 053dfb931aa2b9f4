#include "paletteeditor/PaletteEditorDialog.h"

#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPushButton>
#include <filesystem>

#include "widgets/DialogParts.h"
#include "host/DesktopDialogs.h"
#include "widgets/HelpWindow.h"
#include "model/Document.h"
#include "paletteeditor/PaletteGrid.h"
#include "palette/PaletteDialogText.h"
#include "palette/PaletteFiles.h"
#include "paletteeditor/TargetCursor.h"
#include "base/Host.h"

namespace velmora::gui {
namespace {


std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

PaletteEditorDialog::PaletteEditorDialog(Palette& palette, Host& host, DesktopDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_palette(palette), m_host(host), m_dialogs(dialogs) {
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(QStringLiteral("Palette Editor"));
    setProperty("helpTopic", QStringLiteral("palette"));
    if (const std::optional<QCursor> target = makeTargetCursor()) {
        m_target = *target;
    } else {
        Message m;
        m.text = "Could not load mouse pointer. You must reinstall the Velmora software.";
        m.caption = kAppTitle;
        m.owner = MsgOwner::MainWindow;
        m_host.showMessage(m);
    }
    showValues();
}

PaletteEditorDialog::~PaletteEditorDialog() = default;

void PaletteEditorDialog::showValues() {
    struct ButtonSpec {
        int id;
        const char* text;
        int y;
    };
    // Template order, which is also the tab order.
    const ButtonSpec buttons[] = {{kIdOk, "&OK", 115},    {kIdCancel, "Cancel", 133}, {kIdCopy, "&Copy", 7},
                                  {kIdSwap, "S&wap", 24}, {kIdSpread, "&Spread", 41}, {kIdLoad, "&Load", 69},
                                  {kIdSave, "S&ave", 87}};
    QWidget* previous = nullptr;
    QPushButton* made[std::size(buttons)] = {};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        auto* b = new QPushButton(QString::fromLatin1(buttons[i].text), this);
        b->setObjectName(QString::number(buttons[i].id));
        b->setGeometry(dialogUnits(*this, 214, buttons[i].y, 50, 14));
        if (previous != nullptr) setTabOrder(previous, b);
        previous = b;
        made[i] = b;
    }
    made[0]->setDefault(true);

    // The grid takes the place the template keeps for it.
    m_grid = new PaletteGrid(m_palette, m_host, m_dialogs, this);
    m_grid->setGeometry(dialogUnits(*this, 7, 7, 200, 158));

    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QString::number(kIdHelp));
    help->setGeometry(dialogUnits(*this, 214, 151, 50, 14));
    setTabOrder(previous, help);

    setFixedSize(dialogUnits(*this, 0, 0, 275, 172).size());

    connect(made[0], &QPushButton::clicked, this, &PaletteEditorDialog::accept);
    connect(made[1], &QPushButton::clicked, this, &QDialog::reject);
    connect(made[2], &QPushButton::clicked, this, &PaletteEditorDialog::onCopy);
    connect(made[3], &QPushButton::clicked, this, &PaletteEditorDialog::onSwap);
    connect(made[4], &QPushButton::clicked, this, &PaletteEditorDialog::onSpread);
    connect(made[5], &QPushButton::clicked, this, &PaletteEditorDialog::onLoad);
    connect(made[6], &QPushButton::clicked, this, &PaletteEditorDialog::onSave);
    connect(help, &QPushButton::clicked, this, [this] { showHelpTopic(this, QStringLiteral("palette")); });
    connect(m_grid, &PaletteGrid::modeChanged, this, &PaletteEditorDialog::updateCursor);
    updateCursor();
}

void PaletteEditorDialog::updateCursor() {
    // Set on the dialog, the cursor holds over its buttons and the grid too.
    setCursor(m_grid->mode() != PaletteEditMode::None ? m_target : m_arrow);
}

void PaletteEditorDialog::accept() {
    m_palette = m_grid->working();
    QDialog::accept();
}

void PaletteEditorDialog::onCopy() { m_grid->setEditMode(PaletteEditMode::Copy); }
void PaletteEditorDialog::onSwap() { m_grid->setEditMode(PaletteEditMode::Swap); }
void PaletteEditorDialog::onSpread() { m_grid->setEditMode(PaletteEditMode::Spread); }

void PaletteEditorDialog::onLoad() {
    OpenFileRequest request;
    request.caption = QStringLiteral("Open");
    request.filter = QString::fromStdString(dialogFilterList(kPaletteLoadFilter));
    request.mustExist = false;  // a missing file is the reader's to report
    const std::optional<QString> chosen = m_dialogs.getOpenFileName(this, request);
    if (!chosen || chosen->isEmpty()) return;
    std::string path = localPath(*chosen);
    // A name typed without an extension means the .rgb file of that name,
    // unless a file of exactly that name exists.
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) path = withDefaultExtension(path, kPaletteDefaultExt);
    const PaletteFileContext ctx{m_host, kName, [this] { m_grid->redrawNow(); }};
    loadPaletteFromPath(path, m_grid->working(), ctx);
}

void PaletteEditorDialog::onSave() {
    SaveFileRequest request;
    request.caption = QStringLiteral("Save As");
    request.filter = QString::fromStdString(dialogFilterList(kPaletteSaveFilter));
    request.defaultSuffix = QString::fromLatin1(kPaletteDefaultExt);
    request.confirmOverwrite = false;
    const std::optional<QString> chosen = m_dialogs.getSaveFileName(this, request);
    if (!chosen || chosen->isEmpty()) return;
    const std::string path = withDefaultExtension(localPath(*chosen), kPaletteDefaultExt);
    savePaletteToPath(path, m_grid->working(), PaletteFileContext{m_host, kName, {}});
}

std::optional<QPoint> PaletteEditorDialog::onGrid(const QPoint& dialogPoint) const {
    if (m_grid == nullptr || !m_grid->geometry().contains(dialogPoint)) return std::nullopt;
    return dialogPoint - m_grid->pos();
}

void PaletteEditorDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<QPoint> p = onGrid(event->position().toPoint())) {
            m_grid->onLButtonDown(*p);
            return;
        }
    }
    QDialog::mousePressEvent(event);
}

void PaletteEditorDialog::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<QPoint> p = onGrid(event->position().toPoint())) {
            m_grid->onLButtonDblClk(*p);
            return;
        }
    }
    QDialog::mouseDoubleClickEvent(event);
}

int runPaletteEditor(Palette& palette, Host& host, DesktopDialogs& dialogs, QWidget* parent) {
    PaletteEditorDialog dlg(palette, host, dialogs, parent);
    return dialogs.runModal(dlg);
}

void editDocumentPalette(Document& doc, Host& host, DesktopDialogs& dialogs, QWidget* parent) {
    Palette palette = doc.palette();
    runPaletteEditor(palette, host, dialogs, parent);
    doc.setPalette(palette);
    // Whatever closed the editor.
    doc.setModifiedFlag(true);
}

}  // namespace velmora::gui
