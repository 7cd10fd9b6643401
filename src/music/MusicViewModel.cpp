#include "MusicViewModel.h"

MusicViewModel::MusicViewModel(QObject *parent)
    : LoadingModel(parent),
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
    loadList(QStringLiteral("music.php"), m_tracks, [this] { Q_EMIT tracksChanged(); });
}

bool MusicViewModel::isSameTrack(const QVariant &first, const QVariant &second)
{
    return first.canConvert<Track>() && second.canConvert<Track>() &&
           first.value<Track>().id == second.value<Track>().id;
}
