// How long one keystroke of the track search takes over libraries of 1,000 to 100,000 tracks,
// through the filtered list model the screen shows (its folded texts made once, on the first
// search) and through the plain filter alone, which folds every field each time.
#include "MusicRows.h"
#include "RecordListModel.h"
#include "TrackSearch.h"
#include "TrackSearchModel.h"

#include <benchmark/benchmark.h>

namespace {

QList<Track> library(int count)
{
    static const QStringList words{"Утренний", "ритм", "Night", "Drive", "Акварель", "Спуск", "Громко", "Тишина"};
    QList<Track> tracks;
    tracks.reserve(count);
    for (int i = 0; i < count; ++i) {
        tracks.append(Track{.id = i + 1,
                            .title = words.at(i % words.size()) + QLatin1Char(' ') + words.at((i / 8) % words.size()) +
                                     QLatin1Char(' ') + QString::number(i),
                            .artist = QStringLiteral("Исполнитель %1").arg(i % 300),
                            .audioUrl = QStringLiteral("https://example.org/media/%1.mp3").arg(i)});
    }
    return tracks;
}

void filterAlone(benchmark::State &state)
{
    const QList<Track> tracks = library(int(state.range(0)));
    const QString query = QStringLiteral("РиТм");
    for (auto _ : state)
        benchmark::DoNotOptimize(TrackSearch::filtered(tracks, query));
}

// Alternates two texts, so that every iteration filters the whole list and updates the rows.
void filteredModel(benchmark::State &state)
{
    RecordListModel<Track> source(MusicRows::trackRoles());
    source.setRows(library(int(state.range(0))));
    TrackSearchModel search;
    search.setSourceModel(&source);
    const QString texts[] = {QStringLiteral("ритм"), QStringLiteral("ритм 1")};
    int turn = 0;
    search.setSearchText(texts[turn++ % 2]);
    for (auto _ : state) {
        search.setSearchText(texts[turn++ % 2]);
        benchmark::DoNotOptimize(search.rowCount());
    }
}

} // namespace

BENCHMARK(filterAlone)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(filteredModel)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
