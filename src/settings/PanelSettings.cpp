// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "settings/PanelSettings.h"

#include <algorithm>
#include <limits>

namespace {

// The gallery counter is a 16-bit integer in the upload scheduler.
constexpr qint64 kMaxUploadCounter = std::numeric_limits<qint16>::max();
// The sound list index is read back into a 16-bit list index.
constexpr qint64 kMaxSoundIndex = std::numeric_limits<qint16>::max();

constexpr qint16 kTrue = -1;

qint16 toInt16(int value) {
    return qint16(
        std::clamp<int>(value, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

int sliderValue(const SliderBounds& bounds, qint64 stored) {
    return bounds.contains(stored) ? int(stored) : bounds.designValue;
}

// The switches are stored as integers: only exactly 1 means on.
bool isOne(const RecordVariant& v) {
    return v.type() == RecordVariant::Type::Integer && v.integerValue() == 1;
}

// A slot that was never written (missing from a short file, zero-filled, or damaged) reads as the
// empty record: it holds no stored value at all, so everything keeps its design value.
bool neverWritten(const SettingsRecord& record) {
    return record == SettingsRecord{};
}

} // namespace

SettingsRecord encodePanelRecord(const PanelRecord& panel) {
    SettingsRecord record;
    record.varA = RecordVariant::string(QByteArray(panel.detectionOn ? "1" : "0") +
                                        QByteArray::number(panel.uploadCounter));
    record.varB = RecordVariant::integer(panel.imageOn ? 1 : 0);
    record.flagC = panel.soundsOn ? kTrue : 0;
    record.longD = panel.interval;
    record.intE = toInt16(panel.movement);
    record.intF = toInt16(panel.color);
    return record;
}

SettingsRecord encodeBannerRecord(const BannerRecord& banner) {
    SettingsRecord record;
    record.varA = RecordVariant::integer(banner.messageOn ? 1 : 0);
    record.varB = RecordVariant::integer(banner.advertisingOn ? 1 : 0);
    record.flagC = banner.videoOn ? kTrue : 0;
    record.longD = banner.soundIndex;
    record.intE = toInt16(banner.speed);
    record.intF = toInt16(banner.alignment);
    return record;
}

PanelRecord decodePanelRecord(const SettingsRecord& record) {
    PanelRecord panel;
    if (neverWritten(record))
        return panel;

    // VarA is "<detection digit><counter>", e.g. "112": detection on, counter 12.
    if (record.varA.type() == RecordVariant::Type::String) {
        const QByteArray& text = record.varA.bytes();
        panel.detectionOn = text.startsWith('1');
        const qint32 counter = RecordVariant::string(text.mid(1)).numericValue();
        panel.uploadCounter = (counter >= 0 && counter <= kMaxUploadCounter) ? counter : 0;
    }
    panel.imageOn = isOne(record.varB);
    panel.soundsOn = record.flagC != 0;
    panel.movement = sliderValue(Sliders::Movement, record.intE);
    panel.color = sliderValue(Sliders::Color, record.intF);
    panel.interval = sliderValue(Sliders::Interval, record.longD);
    return panel;
}

BannerRecord decodeBannerRecord(const SettingsRecord& record) {
    BannerRecord banner;
    if (neverWritten(record))
        return banner;

    banner.messageOn = isOne(record.varA);
    banner.advertisingOn = isOne(record.varB);
    banner.videoOn = record.flagC != 0;
    banner.soundIndex = (record.longD >= 0 && record.longD <= kMaxSoundIndex) ? int(record.longD) : -1;
    banner.speed = sliderValue(Sliders::Speed, record.intE);
    banner.alignment = sliderValue(Sliders::Alignment, record.intF);
    return banner;
}
