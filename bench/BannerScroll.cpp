// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The banner scrolling on a real display for a while: the process's CPU time and the gaps between
// ticks. Run under an X server: banner_scroll [seconds]
#include "banner/BannerWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 60;

    BannerWindow banner([] { return false; });
    banner.layout().setSpeed(35);
    banner.start(
        QStringLiteral("Bienvenido a nuestra tienda\nPortátiles en oferta\nMonitores de 27 pulgadas\n"
                       "Impresoras láser\nPregunte por los planes de pago\nGarantía de dos años\n"
                       "Envío gratis\nAtención personalizada\nAbierto de lunes a sábado\nGracias"));

    std::vector<qint64> gaps;
    gaps.reserve(size_t(seconds) * 110);
    QElapsedTimer clock;
    qint64 last = -1;
    QObject::connect(&banner.scrollTimer(), &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0) {
            gaps.push_back(now - last);
        }
        last = now;
    });

    // Skip the first second: the window is being mapped and the fonts loaded.
    double cpuStart = 0;
    QTimer::singleShot(1000, [&] {
        cpuStart = cpuSeconds();
        gaps.clear();
        clock.start();
        last = -1;
    });
    QTimer::singleShot(1000 + seconds * 1000,
                       [] { QCoreApplication::exit(0); } /* the banner refuses quit()'s close */);
    app.exec();

    const double cpu = cpuSeconds() - cpuStart;
    std::sort(gaps.begin(), gaps.end());
    const auto ms = [](qint64 ns) { return double(ns) / 1e6; };
    std::printf("banner scroll for %d s: %zu ticks (%.1f per s), CPU %.2f%% of one core\n", seconds,
                gaps.size() + 1, double(gaps.size() + 1) / seconds, 100.0 * cpu / seconds);
    if (!gaps.empty()) {
        std::printf("tick gap: median %.2f ms, 99th percentile %.2f ms, worst %.2f ms\n",
                    ms(gaps[gaps.size() / 2]), ms(gaps[gaps.size() * 99 / 100]), ms(gaps.back()));
    }
    return 0;
}
