// ZEDoz SCRIPT: plays the frames an animation script lists.
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>
#include <cstring>
#include <system_error>

#include "PlayerWindow.h"
#include "VelmoraVersion.h"
#include "anim/ScriptReader.h"

namespace {

constexpr const char* kUsage =
    "Usage: ZEDoz SCRIPT\n\nPlays the animation frames listed in SCRIPT (script.aas), one file per line.\n"
    "Keys: Space pause, Right/Left step, +/- speed, Home restart, Esc close.\n"
    "The controls under the picture do the same; File > Open plays another script or a\n"
    "folder of frames, File > Save Video writes a video file.";

// Shown in a window, since the player is usually started from the desktop,
// and on the error stream for a terminal.
int fail(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    QMessageBox::critical(nullptr, QStringLiteral("ZEDoz"), text);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Help needs no display.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("%s\n", kUsage);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("ZEDoz %s\n", velmora::kVersion);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZEDoz"));

    const QStringList args = QApplication::arguments();
    if (args.size() != 2) return fail(QString::fromUtf8(kUsage));

    const QString scriptPath = args[1];
    velmora::PlayScript script;
    std::error_code cause;
    if (!velmora::readScriptFile(QFile::encodeName(scriptPath).toStdString(), script, cause))
        return fail(
            QStringLiteral("Cannot read the script %1:\n%2").arg(scriptPath, QString::fromStdString(cause.message())));
    if (script.skippedLines > 0)
        std::fprintf(stderr, "ZEDoz: %zu line(s) of the script name no file and were left out.\n", script.skippedLines);
    if (script.truncated) {
        const std::size_t kept = script.frames.size();
        if (kept == 0)
            std::fprintf(stderr,
                         "ZEDoz: the script is too large, and the part read names no frame; nothing is played.\n");
        else if (kept == 1)
            std::fprintf(stderr, "ZEDoz: the script is too large; only its first frame is played.\n");
        else
            std::fprintf(stderr, "ZEDoz: the script is too large; only its first %zu frames are played.\n", kept);
    }

    PlayerWindow window(script, QFileInfo(scriptPath).fileName());
    window.start();
    window.show();
    return QApplication::exec();
}
