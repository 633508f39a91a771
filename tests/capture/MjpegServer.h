// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QProcess>
#include <QString>

// A network camera on loopback (tests/capture/mjpeg_server.py): the pictures of a Motion JPEG clip as
// HTTP Motion JPEG. Stopped and started again, it comes back on the same port.
class MjpegServer {
public:
    ~MjpegServer() { stop(); }

    bool start(const QString& clip, int fps = 10) {
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(PREGONAR_SOURCE_DIR "/tests/capture/mjpeg_server.py"),
                         QString::number(m_port), clip, QString::number(fps)});
        if (!m_process.waitForReadyRead(10000))
            return false;
        m_port = m_process.readLine().trimmed().toInt();
        return m_port > 0;
    }
    void stop() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    QString url(const QString& path = QStringLiteral("/video.mjpg")) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }

private:
    int m_port = 0;
    QProcess m_process;
};
