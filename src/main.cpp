// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "app/ControlPanel.h"
#include "app/PictureButton.h"
#include "app/Product.h"
#include "capture/CameraChoice.h"
#include "platform/Autostart.h"
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
                      "Pregonar trabaja en la carpeta actual, o en la que indique --folder: allí\n"
                      "guarda su configuración (Pregonar.DAT, .LST, .WPR, .VDO) y sus carpetas\n"
                      "Sonidos, Fondos y Videos.\n"
                      "\n"
                      "Opciones:\n"
                      "  --folder CARPETA trabaja en esa carpeta (la crea si falta)\n"
                      "  --home-folder    trabaja en la carpeta Pregonar de su carpeta personal\n"
                      "                   (~/Pregonar, la crea si falta); así lo inicia el menú\n"
                      "                   de aplicaciones\n"
                      "  --camera FUENTE  vigila con otra fuente solo esta vez: el nombre de una\n"
                      "                   cámara, la dirección de una cámara de red (http:// o\n"
                      "                   rtsp://), un archivo de video (se repite sin fin) o \"demo\"\n"
                      "                   (una tienda dibujada, para probar sin cámara)\n"
                      "  --help           muestra esta ayuda\n"
                      "  --version        muestra la versión\n";
} // namespace

int main(int argc, char** argv) {
    QString camera;
    QString folder;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--folder") == 0) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "pregonar: --folder necesita una carpeta\n\n%s", kUsage);
                return 2;
            }
            folder = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        if (std::strcmp(argv[i], "--home-folder") == 0) {
            // Launchers do not expand "~": the program finds the home folder itself.
            folder = QDir::home().filePath(QStringLiteral("Pregonar"));
            continue;
        }
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
    if (!folder.isEmpty()) {
        // Created on first use. A folder that cannot be made or entered is reported by the start-up,
        // as a write-protected one is.
        folder = QDir(folder).absolutePath();
        QDir().mkpath(folder);
        QDir::setCurrent(folder);
    }
    env.workFolder = folder.isEmpty() ? QDir::currentPath() : folder;
    env.desktopFolder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    env.executable = QCoreApplication::applicationFilePath();
    env.configFolder = Autostart::userConfigFolder();
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
    if (!panel.shop().advertising()) {
        panel.show();
    }
    const int status = QApplication::exec();
    // A dropped FTP session's worker closes its sockets within milliseconds; let it finish.
    CurlFtpClient::waitForWorkers(std::chrono::seconds(2));
    return status;
}
