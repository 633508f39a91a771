// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The banner's cost per 10 ms tick: moving the text and painting the visible lines of a 900 x 306
// text area.
#include "banner/BannerWindow.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {
const QString kMessage = QStringLiteral("Bienvenido a nuestra tienda\nPortátiles desde 999.000\n"
                                        "Monitores de 27 pulgadas\nImpresoras láser a color\n"
                                        "Pregunte por los planes de pago\nGarantía de dos años\n"
                                        "Envío gratis en la ciudad\nAtención personalizada\n"
                                        "Abierto de lunes a sábado\nGracias por su visita");

void BM_BannerTickAndPaint(benchmark::State& state) {
    BannerWindow banner([] { return false; });
    banner.layout().setSpeed(35);
    banner.start(kMessage);
    banner.scrollTimer().stop();
    QImage target(900, 306, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        banner.tick();
        QPainter painter(&target);
        banner.paintCredits(painter);
    }
    state.counters["visible_lines"] = banner.layout().visibleLines();
    banner.stop();
}
BENCHMARK(BM_BannerTickAndPaint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
