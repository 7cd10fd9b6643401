#include "TrackSearch.h"

bool TrackSearch::showsEverything(const QString &searchText)
{
    return searchText.trimmed().isEmpty();
}

QString TrackSearch::folded(const QString &text)
{
    return text.toLower();
}

bool TrackSearch::matches(const Track &track, const QString &searchText)
{
    if (showsEverything(searchText))
        return true;
    const QString query = folded(searchText);
    return folded(track.title).contains(query) || folded(track.artist).contains(query);
}

QList<Track> TrackSearch::filtered(const QList<Track> &tracks, const QString &searchText)
{
    QList<Track> shown;
    for (const Track &track : tracks) {
        if (matches(track, searchText))
            shown.append(track);
    }
    return shown;
}

QString TrackSearch::emptyText(const QString &searchText)
{
    // Decided on the text as typed: blanks alone count as a search.
    if (searchText.isEmpty())
        return QStringLiteral("Пока нет загруженных треков. Нажмите '+ Загрузить трек', чтобы добавить первый трек!");
    return QStringLiteral("Ничего не найдено по запросу '") + searchText + QStringLiteral("'");
}
