#include "MusicViewModel.h"

#include "NetworkManager.h"

#include <QPointer>
#include <exception>

MusicViewModel::MusicViewModel(QObject *parent)
    : QObject(parent),
      m_tracks({{"trackId", [](const Track &track) { return QVariant(QString::number(track.id)); }},
                {"title", [](const Track &track) { return QVariant(track.title); }},
                {"artist", [](const Track &track) { return QVariant(track.artist); }},
                {"coverUrl", [](const Track &track) { return optionalText(track.coverUrl); }},
                {"durationFormatted", [](const Track &track) { return QVariant(track.durationFormatted()); }},
                {"track", [](const Track &track) { return QVariant::fromValue(track); }}},
               this)
{
    loadTracks();
}

void MusicViewModel::loadTracks()
{
    setIsLoading(true);
    (void)fetch();
}

QCoro::Task<> MusicViewModel::fetch()
{
    const QPointer<MusicViewModel> self(this);
    try {
        const QList<Track> list = co_await NetworkManager::shared().request<QList<Track>>(QStringLiteral("music.php"));
        if (!self)
            co_return;
        m_tracks.setRows(list);
        Q_EMIT tracksChanged();
    } catch (const std::exception &) {
        // A failed load keeps what is shown.
    }
    if (self)
        setIsLoading(false);
}

void MusicViewModel::setIsLoading(bool value)
{
    m_isLoading = value;
    Q_EMIT isLoadingChanged();
}

bool MusicViewModel::isSameTrack(const QVariant &first, const QVariant &second)
{
    return first.canConvert<Track>() && second.canConvert<Track>() &&
           first.value<Track>().id == second.value<Track>().id;
}
