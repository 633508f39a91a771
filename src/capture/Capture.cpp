// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "capture/Capture.h"

#include "capture/FrameSource.h"
#include "capture/SnapshotWriter.h"

#include <QDateTime>
#include <QDir>

Capture::Capture(const QString& workFolder, SourceFactory makeSource, QObject* parent)
    : QObject(parent)
    , m_makeSource(std::move(makeSource))
    , m_snapshots(std::make_unique<SnapshotWriter>(workFolder))
    , m_zonesPath(QDir(workFolder).filePath(QStringLiteral("Pregonar.MSK"))) {
    setInterval(100);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &Capture::tick);
    connect(m_snapshots.get(), &SnapshotWriter::saved, this, &Capture::snapshotSaved);
}

Capture::~Capture() = default;

void Capture::setChoice(const CameraChoice& choice) {
    CameraChoice sameLight = m_choice;
    sameLight.ignoreLightChanges = choice.ignoreLightChanges;
    const bool sameSource = sameLight == choice;
    m_choice = choice;
    m_detector.setIgnoreLightChanges(choice.ignoreLightChanges);
    if (m_source && !sameSource)
        start();
}

void Capture::setInterval(int milliseconds) {
    m_tick.setInterval(milliseconds);
    m_detector.setTickInterval(milliseconds);
    if (m_source)
        m_source->setTickInterval(milliseconds);
}

void Capture::readZones() {
    LoadedZones zones = ZoneMask::read(m_zonesPath);
    m_detector.setZones(zones.mask);
    m_zonesProblem = std::move(zones.problem);
}

void Capture::start() {
    if (m_source)
        m_source->stop();
    m_source = m_makeSource ? m_makeSource(m_choice) : nullptr;
    readZones();
    // A camera just switched on is compared with its own first frame, not with an old one.
    m_detector.restart();
    if (m_source) {
        // A source that comes back (a network camera reconnected) starts from a fresh reference too:
        // what changed while it was away is not a customer.
        connect(m_source.get(), &FrameSource::activeChanged, this, [this](bool active) {
            if (active)
                m_detector.restart();
        });
        connect(m_source.get(), &FrameSource::problem, this, &Capture::sourceProblem);
        m_source->setTickInterval(m_tick.interval());
        m_source->start();
    }
    m_tick.start();
}

void Capture::stop() {
    m_tick.stop();
    if (m_source) {
        m_source->stop();
        m_source.reset();
    }
    emit stopped();
}

bool Capture::sourceActive() const {
    return m_source && m_source->isActive();
}

void Capture::tick() {
    if (m_watching && !m_watching())
        return;
    // The frame goes straight from the source's buffer into the detector's 320 x 240 view: no
    // picture copied on the way.
    std::optional<MotionResult> result;
    if (m_source)
        m_source->withNewestFrame(
            [this, &result](const FrameView& frame) { result = m_detector.process(frame); });
    if (!result) {
        // Nothing is compared, drawn or answered.
        emit noFrame();
        return;
    }
    result->notice = m_zonesProblem;
    emit compared(*result);
    // A picture of the customer for the web, at most one a second, written off this tick; not the
    // scene a customer just left, so the newest picture always shows someone.
    if (result->keepsSnapshot()) {
        // In UTC: the check runs at every tick with a customer, and local time reads the zone each time.
        const QDateTime now = QDateTime::currentDateTimeUtc();
        if (m_snapshots->isDue(now))
            m_snapshots->offer(m_detector.reference(), now);
    }
    if (result->triggers)
        emit customerSeen();
}
