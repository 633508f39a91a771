// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QProcess>

// A network camera on loopback (tests/capture/mjpeg_server.py): the pictures of a Motion JPEG clip as
// HTTP Motion JPEG, 10 a second. Stopped and started again, it comes back on the same port.
struct MjpegServer {
    int port = 0;
    QProcess process;

    ~MjpegServer() { stop(); }

    bool start(const QString& clip) {
        process.start("/usr/bin/python3", {PREGONAR_SOURCE_DIR "/tests/capture/mjpeg_server.py",
                                           QString::number(port), clip, "10"});
        if (process.waitForReadyRead(10000))
            port = process.readLine().trimmed().toInt();
        return port > 0;
    }
    void stop() {
        process.kill();
        process.waitForFinished(5000);
    }
    QString url(const QString& path = "/video.mjpg") const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
    }
};
