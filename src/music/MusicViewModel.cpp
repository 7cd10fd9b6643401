#include "MusicViewModel.h"

#include "APIResponse.h"
#include "MusicRows.h"
#include "NetworkManager.h"
#include "SiteAddress.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonObject>
#include <QPointer>

#include <exception>

MusicViewModel::MusicViewModel(QObject *parent)
    : LoadingModel(parent), m_tracks(MusicRows::trackRoles(), this), m_albums(MusicRows::albumRoles(), this),
      m_playlists(MusicRows::playlistRoles(), this), m_draw(RandomDraw::shared())
{
    loadTracks();
}

void MusicViewModel::loadTracks()
{
    loadList(QStringLiteral("music.php"), m_tracks, [this] {
        Q_EMIT tracksChanged();
        extractAlbums();
    });
}

QList<Album> MusicViewModel::albumsOf(const QList<Track> &tracks)
{
    QList<Album> albums;
    QHash<QString, qsizetype> positions;
    for (const Track &track : tracks) {
        if (!track.albumName || track.albumName->trimmed().isEmpty())
            continue;
        const auto found = positions.constFind(*track.albumName);
        if (found != positions.cend()) {
            albums[*found].tracks.append(track);
            continue;
        }
        positions.insert(*track.albumName, albums.size());
        albums.append(Album{.id = albums.size() + 1,
                            .title = *track.albumName,
                            .artist = track.artist,
                            .coverUrl = track.coverUrl,
                            .tracks = {track}});
    }
    return albums;
}

void MusicViewModel::extractAlbums()
{
    m_albums.setRows(albumsOf(m_tracks.rows()));
    Q_EMIT albumsChanged();
}

QCoro::Task<bool> MusicViewModel::uploadNewTrack(QString title, QString artist, QString album, QString audioUrl,
                                                 QString coverUrl)
{
    const QJsonObject body{{QStringLiteral("title"), title},
                           {QStringLiteral("artist"), artist},
                           {QStringLiteral("album_name"), album},
                           {QStringLiteral("audio_url"), audioUrl},
                           {QStringLiteral("cover_url"), coverUrl}};
    // The screen that asked may close before the reply; the lists belong to this object alone.
    const QPointer<MusicViewModel> self(this);
    APIResponse<Track> reply;
    try {
        reply = co_await NetworkManager::shared().request<APIResponse<Track>>(QStringLiteral("music_upload.php"),
                                                                              QStringLiteral("POST"), body);
    } catch (const std::exception &) {
        co_return false;
    }
    if (!reply.success || !reply.data || !self)
        co_return false;
    m_tracks.insertRow(0, *reply.data);
    Q_EMIT tracksChanged();
    extractAlbums();
    co_return true;
}

void MusicViewModel::toggleLike(const Track &track)
{
    bool liked = false;
    const bool found = m_tracks.updateFirst([&](const Track &row) { return row.id == track.id; },
                                            [&](Track &row) {
                                                row.isLiked = !row.isLiked;
                                                liked = row.isLiked;
                                            });
    if (!found)
        return;
    Q_EMIT tracksChanged();
    const qsizetype row = m_tracks.indexWhere([&](const Track &listed) { return listed.id == track.id; });
    const Track &entry = m_tracks.rows().at(row);
    const auto sameId = [&](const Track &favorite) { return favorite.id == entry.id; };
    if (liked) {
        if (std::none_of(m_favoriteTracks.cbegin(), m_favoriteTracks.cend(), sameId))
            m_favoriteTracks.append(entry);
    } else {
        m_favoriteTracks.removeIf(sameId);
    }
    Q_EMIT favoriteTracksChanged();
}

void MusicViewModel::toggleLike(const QVariant &track)
{
    if (track.canConvert<Track>())
        toggleLike(track.value<Track>());
}

void MusicViewModel::createPlaylist(const QString &name, const QString &description,
                                    const std::optional<QString> &coverUrl, bool isPublic)
{
    // The code is drawn for a private playlist too, and then dropped.
    const QString code = m_draw.text(RandomDraw::lowerAlphanumerics(), 10);
    const std::optional<QString> shareUrl =
        isPublic ? std::optional<QString>(SiteAddress::root() + QStringLiteral("/pl/") + code) : std::nullopt;
    QSet<qint64> taken;
    for (const Playlist &playlist : m_playlists.rows())
        taken.insert(playlist.id);
    const Playlist playlist{.id = m_draw.unusedInteger(1000, 9999, taken),
                            .name = name,
                            .description = description,
                            .coverUrl = coverUrl,
                            .isPublic = isPublic,
                            .shareUrl = shareUrl};
    m_playlists.insertRow(0, playlist);
    Q_EMIT playlistsChanged();
}

void MusicViewModel::addTrackToPlaylist(const Track &track, qint64 playlistId)
{
    const bool changed = m_playlists.updateFirst([&](const Playlist &playlist) { return playlist.id == playlistId; },
                                                 [&](Playlist &playlist) {
                                                     const bool held = std::any_of(
                                                         playlist.tracks.cbegin(), playlist.tracks.cend(),
                                                         [&](const Track &listed) { return listed.id == track.id; });
                                                     if (!held)
                                                         playlist.tracks.append(track);
                                                 });
    if (changed)
        Q_EMIT playlistsChanged();
}

void MusicViewModel::addTrackToPlaylist(const QVariant &track, qint64 playlistId)
{
    if (track.canConvert<Track>())
        addTrackToPlaylist(track.value<Track>(), playlistId);
}

void MusicViewModel::copyShareLink(qint64 playlistId)
{
    const qsizetype row = m_playlists.indexWhere([&](const Playlist &playlist) { return playlist.id == playlistId; });
    if (row < 0)
        return;
    const Playlist &playlist = m_playlists.rows().at(row);
    if (MusicRows::showsLink(playlist))
        QGuiApplication::clipboard()->setText(*playlist.shareUrl);
}
