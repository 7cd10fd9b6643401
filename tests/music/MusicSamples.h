#pragma once

#include "JsonCoding.h"
#include "MusicViewModel.h"
#include "NetworkManager.h"
#include "RandomDraw.h"
#include "ScriptedResponder.h"
#include "Track.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <deque>
#include <memory>

// Tracks, track lists and models for the music model's tests.
namespace MusicSamples {

inline Track track(qint64 id, const QString &title, const QString &artist, std::optional<QString> album = {},
                   std::optional<QString> cover = {}, bool liked = false)
{
    return Track{.id = id,
                 .title = title,
                 .artist = artist,
                 .durationSeconds = 60,
                 .coverUrl = std::move(cover),
                 .audioUrl = QStringLiteral("http://127.0.0.1/a.wav"),
                 .isLiked = liked,
                 .albumName = std::move(album)};
}

inline QByteArray listJson(const QList<Track> &tracks)
{
    QByteArray out = "[";
    for (const Track &t : tracks)
        out += (out.size() > 1 ? "," : "") + t.toJson();
    return out + "]";
}

inline QList<qint64> idsOf(const QList<Track> &tracks)
{
    QList<qint64> ids;
    for (const Track &t : tracks)
        ids << t.id;
    return ids;
}

// Playlist ids come from this script in turn; every other draw (the link's characters) gives
// the low end of its range.
inline RandomDraw scriptedIds(std::deque<qint64> ids)
{
    return RandomDraw([ids = std::move(ids)](qint64 low, qint64 high) mutable {
        if (high != 9999 || ids.empty())
            return low;
        const qint64 next = ids.front();
        ids.pop_front();
        return next;
    });
}

inline void sweep(QAbstractItemModel *model)
{
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto roles = model->roleNames();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (auto role = roles.cbegin(); role != roles.cend(); ++role)
            (void)model->data(model->index(row, 0), role.key());
    }
}

// A model whose track list is exactly `tracks`, from a scripted peer that answers nothing more.
inline std::unique_ptr<MusicViewModel> loadedModel(ScriptedResponder &responder, const QList<Track> &tracks)
{
    responder.reply(200, listJson(tracks));
    NetworkManager::shared().setBaseURL(responder.baseUrl());
    auto model = std::make_unique<MusicViewModel>();
    if (!QTest::qWaitFor([&] { return !model->isLoading(); }, VORLANE_PATIENT_WAIT_MS))
        return nullptr;
    return model;
}

} // namespace MusicSamples
