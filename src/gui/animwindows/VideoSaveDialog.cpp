#include "animwindows/VideoSaveDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <atomic>
#include <climits>

#include "anim/AnimMessages.h"
#include "base/Host.h"
#include "host/DesktopDialogs.h"
#include "widgets/DialogParts.h"
#include "widgets/ProgressDialog.h"
#include "video/FrameFilesVideo.h"

namespace velmora::gui {

VideoSaveDialog::VideoSaveDialog(DesktopDialogs& dialogs, Host& host, const QString& proposedPath, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_host(host) {
    setObjectName(QString::fromLatin1(kVideoSaveName));
    setWindowTitle(QString::fromLatin1(kVideoSaveName));

    m_fps = new QSpinBox(this);
    m_fps->setObjectName(QStringLiteral("videoFps"));
    m_fps->setRange(kMinVideoFps, kMaxVideoFps);
    m_fps->setValue(kDefaultVideoFps);
    m_fps->setSuffix(QStringLiteral(" frames per second"));
    m_quality = new QComboBox(this);
    m_quality->setObjectName(QStringLiteral("videoQuality"));
    m_quality->addItem(QStringLiteral("High"), static_cast<int>(VideoQuality::High));
    m_quality->addItem(QStringLiteral("Medium"), static_cast<int>(VideoQuality::Medium));
    m_quality->addItem(QStringLiteral("Small file"), static_cast<int>(VideoQuality::Small));
    m_file = new QLineEdit(proposedPath, this);
    m_file->setObjectName(QStringLiteral("videoFile"));
    m_file->setMinimumWidth(dialogUnitsX(*this, 180));
    auto* browseButton = new QPushButton(QStringLiteral("&Browse..."), this);
    browseButton->setObjectName(QStringLiteral("videoBrowse"));
    connect(browseButton, &QPushButton::clicked, this, &VideoSaveDialog::browse);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browseButton);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Speed:"), m_fps);
    form->addRow(QStringLiteral("&Quality:"), m_quality);
    // A row of two widgets gets no buddy from the form: the label names the name field.
    auto* fileLabel = new QLabel(QStringLiteral("&File:"), this);
    fileLabel->setBuddy(m_file);
    form->addRow(fileLabel, fileRow);

    layOutWithOkCancel(*this, form, QStringLiteral("&Save"), QStringLiteral("Cancel"));
}

VideoOptions VideoSaveDialog::options() const {
    VideoOptions o;
    o.path = QFile::encodeName(m_file->text()).toStdString();
    o.fps = m_fps->value();
    o.quality = static_cast<VideoQuality>(m_quality->currentData().toInt());
    return o;
}

void VideoSaveDialog::browse() {
    SaveFileRequest request;
    request.caption = QString::fromLatin1(kVideoSaveName);
    request.filter = QStringLiteral("MP4 video (*.mp4);;WebM video (*.webm);;Matroska video (*.mkv)");
    request.defaultSuffix = QStringLiteral("mp4");
    request.proposedName = m_file->text();
    if (const auto path = m_dialogs.getSaveFileName(this, request)) m_file->setText(*path);
}

void VideoSaveDialog::accept() {
    const std::string path = options().path;
    if (!containerForPath(path)) {
        m_host.showMessage(windowMessage(unknownVideoExtensionText(path), MsgIcon::Warning, kVideoSaveName));
        return;
    }
    QDialog::accept();
}

bool saveFramesAsVideo(const std::vector<std::string>& frames, const std::string& proposedPath,
                       DesktopDialogs& dialogs, Host& host, QWidget* parent, const char* ownerName) {
    VideoSaveDialog dialog(dialogs, host, QFile::decodeName(QByteArray::fromStdString(proposedPath)), parent);
    if (dialogs.runModal(dialog) != QDialog::Accepted) return false;
    std::string error;
    bool saved = false;
    std::atomic<bool> cancel{false};
    {
        // The frames are encoded here on the interface's thread; the progress
        // window lets Escape through between frames.
        ProgressDialog progress(parent);
        progress.setCancelFlag(&cancel);
        progress.progressBar()->setRange(0, static_cast<int>(std::min<std::size_t>(frames.size(), INT_MAX)));
        if (parent != nullptr) progress.showCentredOver(*parent);
        WaitCursor wait;
        saved = encodeFrameFiles(frames, dialog.options(), error, [&](std::size_t done) {
            progress.statusText()->setText(QStringLiteral("Encoding frame %1 of %2").arg(done).arg(frames.size()));
            progress.progressBar()->setValue(static_cast<int>(std::min<std::size_t>(done, INT_MAX)));
            QCoreApplication::processEvents();
            return !cancel.load();
        });
    }
    // A cancelled save needs no message: the user knows, and no file was left.
    if (!saved && !cancel.load()) host.showMessage(windowMessage(error, MsgIcon::Error, ownerName));
    return saved;
}

}  // namespace velmora::gui
