// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QProcess>

// A network camera on loopback: the pictures of a Motion JPEG clip, 10 a second, as HTTP Motion JPEG
// (tests/capture/mjpeg_server.py) or as RTP over RTSP (rtsp_server.py). Stopped and started again, it
// comes back on the same port.
struct MjpegServer {
    int port = 0;
    bool rtsp = false;
    QProcess process;

    ~MjpegServer() { stop(); }

    bool start(const QString& clip) {
        const QString script = rtsp ? "rtsp_server.py" : "mjpeg_server.py";
        process.start("/usr/bin/python3",
                      {PREGONAR_SOURCE_DIR "/tests/capture/" + script, QString::number(port), clip, "10"});
        if (process.waitForReadyRead(10000))
            port = process.readLine().trimmed().toInt();
        return port > 0;
    }
    void stop() {
        process.kill();
        process.waitForFinished(5000);
    }
    QString url(const QString& path = "/video.mjpg") const {
        return QStringLiteral("%1://127.0.0.1:%2%3").arg(rtsp ? "rtsp" : "http").arg(port).arg(path);
    }
};
