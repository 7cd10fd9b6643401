// Filtering the channel catalogue at a keystroke: the segment's owner rule, then the search over
// name, description and category. The plain filter folds every field each time, for catalogues of
// 100 to 100,000 channels and queries that match often, rarely or never; the screen's filtered
// model (its folded texts made once, on the first search) is measured at 1,000 and 100,000
// channels, loaded by the channels model from a loopback responder.
#include "ChannelFilter.h"
#include "ChannelJson.h"
#include "ChannelsViewModel.h"
#include "FilteredChannelsModel.h"
#include "NetworkManager.h"
#include "ScriptedResponder.h"

#include <QTest>
#include <benchmark/benchmark.h>

namespace {

QList<Channel> catalogue(int count)
{
    static const QString names[] = {QStringLiteral("Закаты и города"), QStringLiteral("Daily news"),
                                    QStringLiteral("Джаз по вечерам"), QStringLiteral("Кухня без спешки")};
    static const QString categories[] = {QStringLiteral("Фото"), QStringLiteral("Новости"), QStringLiteral("Музыка"),
                                         QStringLiteral("Еда")};
    QList<Channel> list;
    list.reserve(count);
    for (int i = 0; i < count; ++i) {
        list.append(Channel{.id = i,
                            .userId = i % 10,
                            .name = names[i % 4] + QStringLiteral(" %1").arg(i),
                            .description = QStringLiteral("Подборки и заметки канала номер %1, каждый день.").arg(i),
                            .category = categories[i % 4]});
    }
    return list;
}

void filterCatalogue(benchmark::State &state, const QString &query, int segment)
{
    const QList<Channel> channels = catalogue(int(state.range(0)));
    const std::optional<User> user = User{.id = 1};
    qsizetype kept = 0;
    for (auto _ : state) {
        const QList<Channel> shown = ChannelFilter::filtered(channels, segment, user, query);
        kept = shown.size();
        benchmark::DoNotOptimize(kept);
    }
    state.counters["kept"] = double(kept);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_NoSearch(benchmark::State &state)
{
    filterCatalogue(state, QString(), 0);
}
void BM_CommonWordInName(benchmark::State &state)
{
    filterCatalogue(state, QStringLiteral("ЗАКАТЫ"), 0);
}
void BM_OnlyInCategory(benchmark::State &state)
{
    filterCatalogue(state, QStringLiteral("музыка"), 0);
}
void BM_NoMatch(benchmark::State &state)
{
    filterCatalogue(state, QStringLiteral("нет такого"), 0);
}
void BM_OwnChannelsWithSearch(benchmark::State &state)
{
    filterCatalogue(state, QStringLiteral("news"), 1);
}

// Alternates two texts, so that every keystroke filters the whole catalogue and updates the rows.
void BM_ScreenModelKeystroke(benchmark::State &state)
{
    QList<ChannelJson::Spec> specs;
    for (const Channel &channel : catalogue(int(state.range(0))))
        specs.append({.id = channel.id, .owner = channel.userId, .name = channel.name,
                      .description = channel.description, .category = channel.category});
    ScriptedResponder responder;
    responder.reply(200, ChannelJson::list(specs));
    NetworkManager::shared().setBaseURL(responder.baseUrl());
    ChannelsViewModel channels;
    if (!QTest::qWaitFor([&] { return channels.channels().size() == specs.size(); }, 120000)) {
        state.SkipWithError("the catalogue did not load");
        return;
    }
    FilteredChannelsModel filtered;
    filtered.setViewModel(&channels);
    const QString texts[] = {QStringLiteral("закаты"), QStringLiteral("закаты 1")};
    int turn = 0;
    filtered.setSearchText(texts[turn++ % 2]);
    for (auto _ : state) {
        filtered.setSearchText(texts[turn++ % 2]);
        benchmark::DoNotOptimize(filtered.rowCount());
    }
    state.counters["shown"] = filtered.rowCount();
}

} // namespace

BENCHMARK(BM_NoSearch)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(BM_CommonWordInName)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_OnlyInCategory)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(BM_NoMatch)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_OwnChannelsWithSearch)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(BM_ScreenModelKeystroke)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
