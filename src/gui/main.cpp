// velmora: the desktop fractal explorer.
#include <QApplication>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "shell/Application.h"
#include "app/CommandLine.h"
#include "host/DesktopDialogs.h"
#include "host/QtHost.h"
#include "VelmoraVersion.h"

int main(int argc, char** argv) {
    // --help works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << velmora::commandLineUsage();
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "velmora " << velmora::kVersion << "\n";
            return 0;
        }
    }
    QApplication qapp(argc, argv);  // takes Qt's own options (-platform...) out of argv
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setOrganizationName(QStringLiteral("Harrowby"));
    QApplication::setApplicationVersion(QString::fromLatin1(velmora::kVersion));
    QApplication::setDesktopFileName(QStringLiteral("io.github.velmora.Velmora"));

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    velmora::gui::QtHost host;
    velmora::gui::QtDesktopDialogs dialogs;
    return velmora::gui::runVelmora(args, host, dialogs, std::cout, std::cerr);
}
