// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
//
// Cost of one detector tick on camera-sized frames, raw and Motion JPEG, and of Qt's own
// QVideoFrame::toImage() + scaled() for the same frames. Run as: bench_detector [--benchmark_filter=...]
#include "capture/MotionDetector.h"
#include "platform/ScaledJpeg.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
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

// A webcam's Motion JPEG frame: a textured scene with sensor noise, and a person in the second phase.
QByteArray makeJpeg(int w, int h, int phase) {
    QImage picture(w, h, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int v = 40 + (x + y) * 160 / (w + h) + int(noise.bounded(5));
            line[x] = qRgb(v, 255 - v, (x / (w / 8)) * 30);
        }
    }
    if (phase)
        QPainter(&picture).fillRect(w / 4, h / 3, w / 8, h / 2, QColor(0x6a, 0x4a, 0x3a));
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    picture.save(&out, "jpg", 85);
    return jpeg;
}

// Pictures of a real Motion JPEG clip (PREGONAR_MJPEG_CLIP, e.g. one of the anchor clips): the first,
// and one 5.5 s in (someone there).
std::vector<QByteArray> clipPictures() {
    QFile clip(qEnvironmentVariable("PREGONAR_MJPEG_CLIP"));
    if (!clip.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = clip.readAll();
    std::vector<QByteArray> pictures;
    for (qsizetype at = data.indexOf("\xff\xd8\xff"); at >= 0 && pictures.size() < 166;) {
        const qsizetype next = data.indexOf("\xff\xd8\xff", at + 3);
        pictures.push_back(data.mid(at, (next < 0 ? data.size() : next) - at));
        at = next;
    }
    return pictures.size() < 166 ? std::vector<QByteArray>{} : std::vector{pictures.front(), pictures.back()};
}

// A Motion JPEG camera's tick: the newest frame decoded at the view's size, sampled and compared. On
// synthetic pictures of each size, or with PREGONAR_MJPEG_CLIP set, on that clip's.
void BM_JpegTick(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    std::vector<QByteArray> jpegs = clipPictures();
    if (jpegs.empty())
        jpegs = {makeJpeg(w, h, 0), makeJpeg(w, h, 1)};
    state.SetLabel(jpegs.size() == 2 && qEnvironmentVariableIsSet("PREGONAR_MJPEG_CLIP") ? "clip"
                                                                                         : "synthetic");
    ScaledJpegDecoder decoder;
    MotionDetector detector;
    int i = 0;
    for (auto _ : state) {
        const QByteArray& jpeg = jpegs[i++ & 1];
        FrameView view;
        decoder.decode(reinterpret_cast<const uchar*>(jpeg.constData()), size_t(jpeg.size()), view);
        benchmark::DoNotOptimize(detector.process(view));
    }
    state.counters["kB"] = double(jpegs[0].size()) / 1000;
}
BENCHMARK(BM_JpegTick)
    ->Args({640, 480})
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

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
