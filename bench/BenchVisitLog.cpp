// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// Reading the audience log of a busy shop's year (100,000 visits) into today's and the month's counts,
// as the Visitas window and the published page do.
#include "audience/VisitLog.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_CountAYear(benchmark::State& state) {
    QTemporaryDir dir;
    const VisitLog log(dir.filePath(VisitLog::kFileName));
    const QDate today(2026, 12, 6);
    const int visits = int(state.range(0));
    QByteArray content = VisitLog::kHeader + '\n';
    for (int i = 0; i < visits; ++i) {
        // Spread over 365 days, from 09:00 to 20:59.
        const QDateTime when(today.addDays(-364 + i * 365LL / visits),
                             QTime(9 + i % 12, i % 60, (i * 7) % 60));
        content += when.toString(QStringLiteral("yyyy-MM-dd,HH:mm:ss,")).toLatin1() + "mensaje," +
                   QByteArray::number(i % 40) + '\n';
    }
    QFile file(log.path());
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        state.SkipWithError("cannot write the log");
    file.close();
    int counted = 0;
    for (auto _ : state) {
        const VisitCounts counts = log.count(today);
        counted = counts.daysTotal();
        benchmark::DoNotOptimize(counted);
    }
    state.counters["last_30_days"] = counted;
    state.counters["bytes"] = double(content.size());
}
BENCHMARK(BM_CountAYear)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
