// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// Draws the program's icon, the megaphone of the advertising button, as the PNG files of the
// hicolor icon theme: render-icon OUTPUT_FOLDER writes OUTPUT_FOLDER/<n>x<n>/apps/pregonar.png.
#include "app/ControlPanel.h"
#include "app/PictureButton.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: render-icon OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) || !buttonPicture(ControlPanel::Advertising, size, 1.0)
                                           .save(folder + QStringLiteral("/pregonar.png"))) {
            std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
