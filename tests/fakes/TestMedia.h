// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QFile>
#include <QPainter> // clips are drawn
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <functional>

// Media made by the tests themselves: clips, tones, and a real sound server with a null sink whose
// output can be recorded.
namespace TestMedia {

// Runs `command` (words split at spaces) plus `extra` arguments; true when it ends well.
inline bool run(const QString& command, const QStringList& extra = {}, int timeoutMs = 60000) {
    QStringList arguments = command.split(u' ') + extra;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(arguments.takeFirst(), arguments);
    return process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A Motion-JPEG clip of `frames` 320x240 pictures at `fps`, each drawn by `draw(index, picture)`.
inline bool makeClip(const QString& path, int frames, int fps,
                     const std::function<void(int, QImage&)>& draw) {
    QTemporaryDir dir;
    for (int i = 0; i < frames; ++i) {
        QImage picture(320, 240, QImage::Format_RGB32);
        draw(i, picture);
        if (!picture.save(dir.filePath(QStringLiteral("f%1.jpg").arg(i, 5, 10, QLatin1Char('0'))), "jpg", 90))
            return false;
    }
    return run("gst-launch-1.0 -q multifilesrc",
               {"location=" + dir.filePath("f%05d.jpg"), "index=0",
                QStringLiteral("caps=image/jpeg,framerate=%1/1").arg(fps), "!", "jpegdec", "!",
                "videoconvert", "!", "jpegenc", "!", "avimux", "!", "filesink", "location=" + path});
}

// A sine tone as a 44.1 kHz 16-bit mono WAV file.
// `format`: sox's options for the file written (16-bit mono at 44100 Hz unless told).
inline bool makeTone(const QString& path, double seconds, int hz = 880,
                     const QString& format = QStringLiteral("-r 44100 -c 1 -b 16")) {
    return run("sox -n " + format,
               {path, "synth", QString::number(seconds), "sine", QString::number(hz), "vol", "0.5"});
}

// Loudness of raw 16-bit little-endian mono samples at 44100 Hz, in windows of 50 ms (RMS, 0..1).
struct Loudness {
    static constexpr int windowMs = 50, window = 44100 * windowMs / 1000;
    QList<double> rms;
    explicit Loudness(const QByteArray& samples) {
        for (qsizetype start = 0; start + window <= samples.size() / 2; start += window) {
            double sum = 0;
            for (qsizetype i = start; i < start + window; ++i)
                sum += std::pow(qFromLittleEndian<qint16>(samples.constData() + 2 * i) / 32768.0, 2);
            rms << std::sqrt(sum / window);
        }
    }
    // Starts of sounds: windows above `threshold` after at least `quietMs` below it.
    QList<int> onsetsMs(double threshold = 0.05, int quietMs = 300) const {
        QList<int> onsets;
        for (int i = 0, quiet = quietMs; i < rms.size(); ++i) {
            if (rms[i] > threshold && quiet >= quietMs)
                onsets << i * windowMs;
            quiet = rms[i] > threshold ? 0 : quiet + windowMs;
        }
        return onsets;
    }
};

// A PulseAudio server of the test's own with one null sink, "spk", whose monitor is recorded from the
// start (a null sink's monitor gives nothing for a second or so at first). Programs started afterwards
// find it through XDG_RUNTIME_DIR, which this sets for the process.
class PulseNullSink {
public:
    PulseNullSink() {
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_previous = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        m_ok = run("pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disable-shm=yes -L "
                   "module-native-protocol-unix -L",
                   {"module-null-sink sink_name=spk"}, 20000);
        // The server answers once its socket is there.
        for (int i = 0; m_ok && i < 100 && !run("pactl info", {}, 2000); ++i)
            QThread::msleep(50);
        if (m_ok && run("pactl set-default-sink spk"))
            m_recorder.startCommand(
                "parec -d spk.monitor --latency-msec=20 --raw --format=s16le --channels=1 "
                "--rate=44100");
        m_ok = m_recorder.waitForStarted(5000);
        for (int i = 0; m_ok && i < 100 && m_recording.size() < 44100; ++i) // warm: samples flow
            drain();
        m_ok = m_ok && m_recording.size() >= 44100;
    }
    ~PulseNullSink() {
        m_recorder.kill();
        m_recorder.waitForFinished(5000);
        run("pulseaudio --kill", {}, 10000);
        m_previous.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", m_previous);
    }
    bool isRunning() const { return m_ok; }

    // What the sink plays, as raw 16-bit mono samples at 44100 Hz, from now until stopRecording().
    bool startRecording() {
        drain();
        m_mark = m_recording.size();
        return m_ok;
    }
    QByteArray stopRecording() {
        drain();
        return m_recording.mid(m_mark);
    }

private:
    void drain() { // takes in what the recorder has sent so far (every 20 ms or so)
        m_recorder.waitForReadyRead(m_ok ? 100 : 0);
        m_recording += m_recorder.readAllStandardOutput();
    }
    QTemporaryDir m_runtime;
    QByteArray m_previous;
    QProcess m_recorder;
    QByteArray m_recording;
    qsizetype m_mark = 0;
    bool m_ok = false;
};

} // namespace TestMedia
