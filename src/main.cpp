// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/ControlPanel.h"
#include "app/PictureButton.h"
#include "app/Product.h"
#include "capture/CameraChoice.h"
#include "platform/CurlFtpClient.h"
#include "platform/Dialogs.h"
#include "platform/QtSoundPlayer.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "platform/TrayIcon.h"
#include "platform/UnixSignals.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

namespace {
const char kUsage[] = "Uso: pregonar [opción]\n"
                      "\n"
                      "Pregonar trabaja en la carpeta actual: allí guarda su configuración\n"
                      "(Pregonar.DAT, .LST, .WPR, .VDO) y sus carpetas Sonidos, Fondos y Videos.\n"
                      "\n"
                      "Opciones:\n"
                      "  --camera FUENTE  vigila con otra fuente solo esta vez: el nombre de una\n"
                      "                   cámara, la dirección de una cámara de red (http:// o\n"
                      "                   rtsp://), un archivo de video (se repite sin fin) o \"demo\"\n"
                      "                   (una tienda dibujada, para probar sin cámara)\n"
                      "  --help           muestra esta ayuda\n"
                      "  --version        muestra la versión\n";
} // namespace

int main(int argc, char** argv) {
    QString camera;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--camera") == 0) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "pregonar: --camera necesita una fuente\n\n%s", kUsage);
                return 2;
            }
            camera = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", qPrintable(Product::kNameAndVersion));
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        std::fprintf(stderr, "pregonar: opción desconocida: %s\n\n%s", argv[i], kUsage);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(Product::kName);
    QApplication::setApplicationVersion(Product::kVersion);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(buttonPicture(ControlPanel::Advertising, 64, 1.0)));

    SingleInstance instance;
    if (!instance.acquire()) {
        return 0;
    }

    DesktopDialogs dialogs;
    DesktopShell shell;
    SystemTray tray;
    PanelEnvironment env;
    env.workFolder = QDir::currentPath();
    env.desktopFolder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    env.executable = QCoreApplication::applicationFilePath();
    env.dialogs = &dialogs;
    env.shell = &shell;
    env.tray = &tray;
    QtSoundPlayer sound;
    env.sound = &sound;
    if (!camera.isEmpty()) {
        env.cameraOverride = CameraChoice::fromArgument(camera);
    }

    ControlPanel panel(env);
    UnixSignals signalsIn;
    QObject::connect(&signalsIn, &UnixSignals::terminationRequested, &panel, &ControlPanel::unload);
    // exit(), not quit(): quit() asks every window first, and the banner refuses to close.
    QObject::connect(
        &panel, &ControlPanel::unloaded, &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    // A second start calls the panel back, over the show only for the auto-hide time.
    QObject::connect(&instance, &SingleInstance::activationRequested, &panel, &ControlPanel::bringPanelBack);
    // The desktop session may end the program without closing the panel first.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &panel, &ControlPanel::unload);

    if (!panel.load()) {
        return 1;
    }
    if (panel.isUnloaded()) {
        return 0; // closed (SIGTERM, say) while a start-up message was open
    }
    if (panel.button(ControlPanel::Advertising)->appearance() == 0) {
        panel.show();
    }
    const int status = QApplication::exec();
    // A dropped FTP session's worker closes its sockets within milliseconds; let it finish.
    CurlFtpClient::waitForWorkers(std::chrono::seconds(2));
    return status;
}
