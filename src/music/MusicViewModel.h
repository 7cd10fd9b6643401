#pragma once

#include "Album.h"
#include "LoadingModel.h"
#include "Playlist.h"
#include "RandomDraw.h"
#include "Track.h"

#include <QCoroTask>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The music library: the tracks the service sends, the albums derived from them, and the
// playlists, likes and favourites that live only in this object for the run.
class MusicViewModel : public LoadingModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *tracks READ tracksModel CONSTANT)
    Q_PROPERTY(QAbstractItemModel *albums READ albumsModel CONSTANT)
    Q_PROPERTY(QAbstractItemModel *playlists READ playlistsModel CONSTANT)

public:
    // Starts loading "music.php" at once; nothing else is ever fetched.
    explicit MusicViewModel(QObject *parent = nullptr);

    const QList<Track> &tracks() const { return m_tracks.rows(); }
    const QList<Album> &albums() const { return m_albums.rows(); }
    const QList<Playlist> &playlists() const { return m_playlists.rows(); }
    const QList<Track> &favoriteTracks() const { return m_favoriteTracks; }
    QAbstractItemModel *tracksModel() { return &m_tracks; }
    QAbstractItemModel *albumsModel() { return &m_albums; }
    QAbstractItemModel *playlistsModel() { return &m_playlists; }

    // Sends the five texts as they stand; true once the service has stored the track, which is
    // then first in the list. A refusal or a failure changes nothing.
    QCoro::Task<bool> uploadNewTrack(QString title, QString artist, QString album, QString audioUrl, QString coverUrl);

    // Flips the like of the listed track with this id (the given track's own flag is ignored).
    void toggleLike(const Track &track);
    Q_INVOKABLE void toggleLike(const QVariant &track);

    // The new playlist goes first. Its id is one no playlist holds yet, so that adding a track
    // reaches the playlist the user chose.
    void createPlaylist(const QString &name, const QString &description, const std::optional<QString> &coverUrl,
                        bool isPublic);

    // Appends the track unless the playlist holds it already; an unknown id changes nothing.
    void addTrackToPlaylist(const Track &track, qint64 playlistId);
    Q_INVOKABLE void addTrackToPlaylist(const QVariant &track, qint64 playlistId);

    // Puts the playlist's link alone on the clipboard; nothing for a playlist without one.
    Q_INVOKABLE void copyShareLink(qint64 playlistId);

    // Tests hand in a generator of their own to force the draws that collide.
    void setRandomDraw(const RandomDraw &draw) { m_draw = draw; }

    // Albums by name as it stands (case and blanks kept), in the order the names first appear;
    // tracks with no name or a blank one belong to none. Ids run from 1 in that order.
    static QList<Album> albumsOf(const QList<Track> &tracks);

Q_SIGNALS:
    void tracksChanged();
    void albumsChanged();
    void playlistsChanged();
    void favoriteTracksChanged();

private:
    void loadTracks();
    void extractAlbums();

    RecordListModel<Track> m_tracks;
    RecordListModel<Album> m_albums;
    RecordListModel<Playlist> m_playlists;
    QList<Track> m_favoriteTracks;
    RandomDraw m_draw;
};
