// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
//
// Cost of one detector tick on camera-sized frames, and of Qt's own QVideoFrame::toImage() + scaled()
// for the same frames. Run as: bench_detector [--benchmark_filter=...]
#include "capture/MotionDetector.h"

#include <QGuiApplication>
#include <QVideoFrame>
#include <QVideoFrameFormat>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

enum Kind { I420, NV12, YUYV };

PixelFormat pixelFormat(Kind kind) {
    return kind == I420 ? PixelFormat::I420 : kind == NV12 ? PixelFormat::NV12 : PixelFormat::YUYV;
}

QVideoFrameFormat::PixelFormat qtFormat(Kind kind) {
    return kind == I420   ? QVideoFrameFormat::Format_YUV420P
           : kind == NV12 ? QVideoFrameFormat::Format_NV12
                          : QVideoFrameFormat::Format_YUYV;
}

// A camera frame in plain memory: a gradient, with a bright square that moves between the two phases
// so that each tick finds some change and draws dots. `lift` brightens the gradient, as a lamp would.
struct Frame {
    std::vector<uchar> planes[3];
    FrameView view;
};

Frame makeFrame(Kind kind, int w, int h, int phase, int lift = 0) {
    Frame f;
    f.view.format = pixelFormat(kind);
    f.view.width = w;
    f.view.height = h;
    auto luma = [&](int x, int y) {
        const int square = phase * w / 4;
        const bool inSquare = x >= square && x < square + w / 4 && y >= h / 4 && y < h / 2;
        return uchar(inSquare ? 235 : 16 + lift + (x + y) % 200);
    };
    auto plane = [&](int i, int stride, int rows, uchar fill) {
        f.planes[i].assign(size_t(stride) * size_t(rows), fill);
        f.view.planes[i] = f.planes[i].data();
        f.view.strides[i] = stride;
    };
    if (kind == YUYV) {
        plane(0, w * 2, h, 128);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                f.planes[0][size_t(y * w * 2 + x * 2)] = luma(x, y);
        return f;
    }
    plane(0, w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.planes[0][size_t(y * w + x)] = luma(x, y);
    if (kind == I420) {
        plane(1, w / 2, h / 2, 100);
        plane(2, w / 2, h / 2, 150);
    } else {
        plane(1, w, h / 2, 120);
    }
    return f;
}

QVideoFrame toVideoFrame(const Frame& f, Kind kind) {
    QVideoFrame frame(QVideoFrameFormat(QSize(f.view.width, f.view.height), qtFormat(kind)));
    frame.map(QVideoFrame::WriteOnly);
    for (int i = 0; i < frame.planeCount(); ++i) {
        const int rows = i == 0 ? f.view.height : f.view.height / 2;
        for (int y = 0; y < rows; ++y)
            std::memcpy(frame.bits(i) + y * frame.bytesPerLine(i), f.view.planes[i] + y * f.view.strides[i],
                        size_t(f.view.strides[i]));
    }
    frame.unmap();
    return frame;
}

void BM_Convert(benchmark::State& state) {
    const Kind kind = Kind(state.range(0));
    const Frame frame = makeFrame(kind, int(state.range(1)), int(state.range(2)), 0);
    FrameConverter converter;
    QImage view;
    for (auto _ : state) {
        converter.convert(frame.view, view);
        benchmark::DoNotOptimize(view.constBits());
    }
}

// Frame to view, comparison, level and status text: everything a tick does before it answers.
void BM_Tick(benchmark::State& state) {
    const Kind kind = Kind(state.range(0));
    const Frame frames[2] = {makeFrame(kind, int(state.range(1)), int(state.range(2)), 0),
                             makeFrame(kind, int(state.range(1)), int(state.range(2)), 1)};
    MotionDetector detector;
    int i = 0;
    int changed = 0;
    for (auto _ : state) {
        const auto result = detector.process(frames[i++ & 1].view);
        changed = result->changedPoints;
        benchmark::DoNotOptimize(changed);
    }
    state.counters["changed"] = changed;
}

// The same with a quarter of the grid ignored and the light of the whole scene going up and down on
// every tick: each tick looks at the light change in full, and finds one.
void BM_TickZonesAndLight(benchmark::State& state) {
    const Kind kind = Kind(state.range(0));
    const Frame frames[2] = {makeFrame(kind, int(state.range(1)), int(state.range(2)), 0),
                             makeFrame(kind, int(state.range(1)), int(state.range(2)), 0, 35)};
    MotionDetector detector(Sliders::Movement.designValue, 40);
    ZoneMask zones;
    zones.setIgnored(QRect(0, 0, ZoneMask::Columns / 2, ZoneMask::Rows / 2), true);
    detector.setZones(zones);
    int i = 0;
    int lightChanges = 0;
    for (auto _ : state) {
        const auto result = detector.process(frames[i++ & 1].view);
        lightChanges += result->lightChange;
        benchmark::DoNotOptimize(result->level);
    }
    state.counters["light"] = benchmark::Counter(lightChanges, benchmark::Counter::kAvgIterations);
}

// What the view would cost through Qt. A QVideoFrame keeps the image it converted, so every iteration
// gets a fresh frame; making it is not timed.
void BM_QtToImageScaled(benchmark::State& state) {
    const Kind kind = Kind(state.range(0));
    const Frame frame = makeFrame(kind, int(state.range(1)), int(state.range(2)), 0);
    for (auto _ : state) {
        state.PauseTiming();
        QVideoFrame video = toVideoFrame(frame, kind);
        state.ResumeTiming();
        const QImage view = video.toImage().scaled(320, 240);
        benchmark::DoNotOptimize(view.constBits());
    }
}

void cases(benchmark::internal::Benchmark* b) {
    b->ArgNames({"fmt", "w", "h"});
    for (int kind : {I420, NV12, YUYV})
        for (auto [w, h] : {std::pair{640, 480}, std::pair{1280, 720}})
            b->Args({kind, w, h});
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_Convert)->Apply(cases);
BENCHMARK(BM_Tick)->Apply(cases);
BENCHMARK(BM_TickZonesAndLight)->Apply(cases);
BENCHMARK(BM_QtToImageScaled)->Apply(cases);

int main(int argc, char** argv) {
    // toImage() needs a GUI application (it crashes under a bare QCoreApplication); no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
