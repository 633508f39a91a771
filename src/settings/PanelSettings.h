// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include "settings/SettingsRecord.h"

// Ranges and design values of the panel's sliders: one table drives the sliders, the defaults and
// the check of stored values.
struct SliderBounds {
    int minimum;
    int maximum;
    int singleStep;
    int pageStep;
    int designValue;
    constexpr bool contains(qint64 v) const { return v >= minimum && v <= maximum; }
};

namespace Sliders {
constexpr SliderBounds Movement{0, 50, 1, 1, 35}; // the sensor sliders(0): threshold = value + 50
constexpr SliderBounds Color{0, 50, 1, 1, 20};    // the sensor sliders(1): distance = 255 - 5 x value
constexpr SliderBounds Interval{100, 5000, 100, 100, 500}; // the sensor sliders(2): tick in ms
constexpr SliderBounds Speed{1, 100, 1, 10, 35};           // the speed slider: twips per 10 ms tick
constexpr SliderBounds Alignment{0, 2, 1, 1, 0};           // the alignment slider: left, centre, right
} // namespace Sliders

// Record 1: the panel's switches and sensor sliders, plus the gallery upload counter.
struct PanelRecord {
    bool detectionOn = false;                     // first character of VarA is "1"
    int uploadCounter = 0;                        // VarA from its second character on
    bool imageOn = false;                         // VarB = 1
    bool soundsOn = false;                        // FlagC
    int movement = Sliders::Movement.designValue; // IntE
    int color = Sliders::Color.designValue;       // IntF
    int interval = Sliders::Interval.designValue; // LongD

    bool operator==(const PanelRecord&) const = default;
};

// Record 7: message, advertising and video switches, the chosen sound and the banner sliders.
struct BannerRecord {
    bool messageOn = false;                         // VarA = 1
    bool advertisingOn = false;                     // VarB = 1
    bool videoOn = false;                           // FlagC
    int soundIndex = -1;                            // LongD, -1 none
    int speed = Sliders::Speed.designValue;         // IntE
    int alignment = Sliders::Alignment.designValue; // IntF

    bool operator==(const BannerRecord&) const = default;
};

SettingsRecord encodePanelRecord(const PanelRecord& panel);
SettingsRecord encodeBannerRecord(const BannerRecord& banner);

// Values that cannot be used (out of a slider's range, a variant of the wrong kind) give the design
// values; a damaged record switches nothing on.
PanelRecord decodePanelRecord(const SettingsRecord& record);
BannerRecord decodeBannerRecord(const SettingsRecord& record);
