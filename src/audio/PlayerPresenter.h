#pragma once

#include "Track.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

class AudioPlayerManager;

// What the mini player, the player sheet and the lyrics sheet show: texts and choices made
// from the track they were given and from the shared player's state, for QML to bind to.
class PlayerPresenter : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QVariant track READ track WRITE setTrack NOTIFY trackChanged)
    Q_PROPERTY(bool hasTrack READ hasTrack NOTIFY trackChanged)
    Q_PROPERTY(QString title READ title NOTIFY trackChanged)
    Q_PROPERTY(QString artist READ artist NOTIFY trackChanged)
    Q_PROPERTY(QUrl coverSource READ coverSource NOTIFY trackChanged)
    Q_PROPERTY(bool hasCover READ hasCover NOTIFY trackChanged)
    Q_PROPERTY(bool hasAlbum READ hasAlbum NOTIFY trackChanged)
    Q_PROPERTY(QString albumText READ albumText NOTIFY trackChanged)
    Q_PROPERTY(QString durationText READ durationText NOTIFY trackChanged)
    Q_PROPERTY(QString lyricsText READ lyricsText NOTIFY trackChanged)
    Q_PROPERTY(bool isLiked READ isLiked NOTIFY trackChanged)
    Q_PROPERTY(QString heartIcon READ heartIcon NOTIFY trackChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY playerChanged)
    Q_PROPERTY(QString playIcon READ playIcon NOTIFY playerChanged)
    Q_PROPERTY(QString playCircleIcon READ playCircleIcon NOTIFY playerChanged)
    Q_PROPERTY(QString elapsedText READ elapsedText NOTIFY playerChanged)
    Q_PROPERTY(double sliderValue READ sliderValue NOTIFY playerChanged)
    Q_PROPERTY(double sliderTo READ sliderTo NOTIFY sliderRangeChanged)

public:
    explicit PlayerPresenter(QObject *parent = nullptr);
    // For tests: a player other than the shared one.
    PlayerPresenter(AudioPlayerManager *player, QObject *parent);

    QVariant track() const;
    void setTrack(const QVariant &track);

    bool hasTrack() const { return m_track.has_value(); }
    QString title() const;
    QString artist() const;
    // The cover's address when the track has one that parses; empty otherwise.
    QUrl coverSource() const;
    bool hasCover() const { return !coverSource().isEmpty(); }
    // An album name that is present, even empty, gets its line.
    bool hasAlbum() const;
    QString albumText() const;
    QString durationText() const;
    QString lyricsText() const;
    bool isLiked() const;
    QString heartIcon() const;

    bool isPlaying() const;
    QString playIcon() const;
    QString playCircleIcon() const;
    QString elapsedText() const;
    double sliderValue() const;
    double sliderTo() const;

    Q_INVOKABLE void togglePlayPause();
    Q_INVOKABLE void seek(double seconds);

Q_SIGNALS:
    void trackChanged();
    void playerChanged();
    void sliderRangeChanged();

private:
    void connectPlayer();

    QPointer<AudioPlayerManager> m_player;
    std::optional<Track> m_track;
};
