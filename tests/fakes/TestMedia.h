// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <functional>

// Media made by the tests themselves: clips, tones, and a real sound server with a null sink whose
// output can be recorded.
namespace TestMedia {

inline bool run(const QString& program, const QStringList& arguments, int timeoutMs = 60000) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A Motion-JPEG clip of `frames` pictures at `fps`, each drawn by `draw(index, picture)`.
inline bool makeClip(const QString& path, int frames, int fps, const std::function<void(int, QImage&)>& draw,
                     QSize size = QSize(320, 240)) {
    QTemporaryDir dir;
    for (int i = 0; i < frames; ++i) {
        QImage picture(size, QImage::Format_RGB32);
        draw(i, picture);
        if (!picture.save(dir.filePath(QStringLiteral("f%1.jpg").arg(i, 5, 10, QLatin1Char('0'))), "jpg",
                          90)) {
            return false;
        }
    }
    return run(QStringLiteral("gst-launch-1.0"),
               {QStringLiteral("-q"), QStringLiteral("multifilesrc"),
                QStringLiteral("location=") + dir.filePath(QStringLiteral("f%05d.jpg")),
                QStringLiteral("index=0"), QStringLiteral("caps=image/jpeg,framerate=%1/1").arg(fps),
                QStringLiteral("!"), QStringLiteral("jpegdec"), QStringLiteral("!"),
                QStringLiteral("videoconvert"), QStringLiteral("!"), QStringLiteral("jpegenc"),
                QStringLiteral("!"), QStringLiteral("avimux"), QStringLiteral("!"),
                QStringLiteral("filesink"), QStringLiteral("location=") + path});
}

// A sine tone as a WAV file.
inline bool makeTone(const QString& path, double seconds, int hz = 880) {
    return run(QStringLiteral("sox"),
               {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
                QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("16"), path,
                QStringLiteral("synth"), QString::number(seconds), QStringLiteral("sine"),
                QString::number(hz), QStringLiteral("vol"), QStringLiteral("0.5")});
}

// Loudness of a 16-bit PCM WAV file in windows of `windowMs` (RMS of the first channel, 0..1).
struct Loudness {
    int windowMs = 50;
    QList<double> rms;
    // Starts of sounds: windows above `threshold` after at least `quietMs` below it.
    QList<int> onsetsMs(double threshold = 0.05, int quietMs = 300) const {
        QList<int> onsets;
        int quiet = quietMs;
        for (int i = 0; i < rms.size(); ++i) {
            if (rms[i] > threshold) {
                if (quiet >= quietMs) {
                    onsets << i * windowMs;
                }
                quiet = 0;
            } else {
                quiet += windowMs;
            }
        }
        return onsets;
    }
};

// Loudness of raw 16-bit little-endian mono samples at 44100 Hz.
inline Loudness loudness(const QByteArray& samples, int windowMs = 50) {
    Loudness result;
    result.windowMs = windowMs;
    const qsizetype count = samples.size() / 2;
    const qsizetype window = 44100 * windowMs / 1000;
    for (qsizetype start = 0; start + window <= count; start += window) {
        double sum = 0;
        for (qsizetype i = start; i < start + window; ++i) {
            const double v = qFromLittleEndian<qint16>(samples.constData() + 2 * i) / 32768.0;
            sum += v * v;
        }
        result.rms << std::sqrt(sum / double(window));
    }
    return result;
}

// A PulseAudio server of the test's own with one null sink, "spk"; its monitor can be recorded.
// Programs started afterwards find it through XDG_RUNTIME_DIR, which this sets for the process.
class PulseNullSink {
public:
    PulseNullSink() {
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_previous = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        m_ok = run(QStringLiteral("pulseaudio"),
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=yes"),
                    QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm=yes"),
                    QStringLiteral("-L"), QStringLiteral("module-native-protocol-unix"), QStringLiteral("-L"),
                    QStringLiteral("module-null-sink sink_name=spk")},
                   20000);
        // The server answers once its socket is there.
        for (int i = 0; m_ok && i < 100 && !run(QStringLiteral("pactl"), {QStringLiteral("info")}, 2000);
             ++i) {
            QThread::msleep(50);
        }
        m_ok =
            m_ok && run(QStringLiteral("pactl"), {QStringLiteral("set-default-sink"), QStringLiteral("spk")});
        if (m_ok) {
            m_recorder.start(QStringLiteral("parec"),
                             {QStringLiteral("-d"), QStringLiteral("spk.monitor"),
                              QStringLiteral("--latency-msec=20"), QStringLiteral("--raw"),
                              QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                              QStringLiteral("--rate=44100")});
            m_ok = m_recorder.waitForStarted(5000);
            // Warm: samples flow in real time.
            for (int i = 0; m_ok && i < 100 && m_recording.size() < 44100; ++i) {
                m_recorder.waitForReadyRead(100);
                m_recording += m_recorder.readAllStandardOutput();
            }
            m_ok = m_ok && m_recording.size() >= 44100;
        }
    }
    // Takes in what the recorder has sent so far (it sends every 20 ms or so).
    void drain() {
        m_recorder.waitForReadyRead(50);
        m_recording += m_recorder.readAllStandardOutput();
    }
    ~PulseNullSink() {
        m_recorder.kill();
        m_recorder.waitForFinished(5000);
        run(QStringLiteral("pulseaudio"), {QStringLiteral("--kill")}, 10000);
        if (m_previous.isNull()) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            qputenv("XDG_RUNTIME_DIR", m_previous);
        }
    }
    bool isRunning() const { return m_ok; }
    QString runtimeFolder() const { return m_runtime.path(); }

    // What the sink plays, as raw 16-bit mono samples at 44100 Hz, from now until stopRecording().
    // The recorder runs from the server's start: a null sink's monitor gives nothing for a second
    // or so at first, and a recorder started late would lose the beginning.
    bool startRecording() {
        if (!m_ok) {
            return false;
        }
        drain();
        m_mark = m_recording.size();
        return true;
    }
    QByteArray stopRecording() {
        drain();
        return m_recording.mid(m_mark);
    }

private:
    QTemporaryDir m_runtime;
    QByteArray m_previous;
    QProcess m_recorder;
    QByteArray m_recording;
    qsizetype m_mark = 0;
    bool m_ok = false;
};

} // namespace TestMedia
