// The pattern matcher of the finds over a ham list of 100,000 records, without the database:
// each iteration evaluates one criterion against 100,000 stored field texts, as a contains
// search over the whole list does. Ordinary searches beside the worst the search box accepts.
//
//   bench_search --benchmark_min_time=0.2

#include "storage/Criterion.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kHams = 100000;

// 64 different texts of the given length, cycled over the 100,000 records.
std::vector<std::string> texts(size_t length, char fill) {
    std::vector<std::string> result;
    for (int i = 0; i < 64; ++i) {
        std::string text(length, fill);
        text[size_t(i) % length] = char('b' + i % 20);
        result.push_back(std::move(text));
    }
    return result;
}

void walk(benchmark::State &state, const QString &criterionText, size_t length, char fill) {
    const auto criterion = storage::Criterion::parse(criterionText);
    if (!criterion) {
        state.SkipWithError("criterion");
        return;
    }
    const std::vector<std::string> fields = texts(length, fill);
    for (auto _ : state) {
        int hits = 0;
        for (int i = 0; i < kHams; ++i) {
            hits += criterion->matchesUtf8(fields[size_t(i) % fields.size()]) ? 1 : 0;
        }
        benchmark::DoNotOptimize(hits);
    }
}

QString repeated(const QString &piece, int times) {
    QString text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// A short contains search on names of 12 characters.
void BM_OrdinarySearch(benchmark::State &state) {
    walk(state, QStringLiteral("naam LIKE'*an*'"), 12, 'j');
}
BENCHMARK(BM_OrdinarySearch)->Unit(benchmark::kMillisecond);

// A 1,000-character pattern on fields of the window's 50 characters.
void BM_LongPatternShortFields(benchmark::State &state) {
    walk(state,
         QStringLiteral("naam LIKE'*") + repeated(QStringLiteral("a?"), 500) + QStringLiteral("*'"),
         50, 'a');
}
BENCHMARK(BM_LongPatternShortFields)->Unit(benchmark::kMillisecond);

// The worst case of the old matcher: a 1,000-character pattern that almost matches at every
// place of a long field of the same letter.
void BM_LongPatternLongFields(benchmark::State &state) {
    walk(
        state,
        QStringLiteral("adres LIKE'*") + repeated(QStringLiteral("a"), 999) + QStringLiteral("z*'"),
        size_t(state.range(0)), 'a');
}
BENCHMARK(BM_LongPatternLongFields)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

// Stars and wildcards all through the pattern.
void BM_ManyStars(benchmark::State &state) {
    walk(state,
         QStringLiteral("adres LIKE'*") + repeated(QStringLiteral("a*"), 499) +
             QStringLiteral("z*'"),
         size_t(state.range(0)), 'a');
}
BENCHMARK(BM_ManyStars)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
