#pragma once

#include "LoadingModel.h"
#include "Track.h"

#include <QtQml/qqmlregistration.h>

// The music library: the track list loaded from the service.
class MusicViewModel : public LoadingModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *tracks READ tracksModel CONSTANT)

public:
    // Starts loading "music.php" at once.
    explicit MusicViewModel(QObject *parent = nullptr);

    const QList<Track> &tracks() const { return m_tracks.rows(); }
    QAbstractItemModel *tracksModel() { return &m_tracks; }

    // A failed load only ends the busy state.
    Q_INVOKABLE void loadTracks();
    // Whether two tracks (as QML holds them) are the same track, for marking the one playing.
    Q_INVOKABLE static bool isSameTrack(const QVariant &first, const QVariant &second);

Q_SIGNALS:
    void tracksChanged();

private:
    RecordListModel<Track> m_tracks;
};
