#include "VideoCatalogRules.h"

// Lower-cased by the full Unicode mapping, then composed, so that a letter typed as one
// character finds the same letter stored as a base and a combining mark, and the other way round.
QString VideoCatalogRules::searchable(const QString &text)
{
    return text.toLower().normalized(QString::NormalizationForm_C);
}

bool VideoCatalogRules::isSearching(const QString &searchText)
{
    return !searchText.trimmed().isEmpty();
}

bool VideoCatalogRules::matches(const Video &video, const QString &searchText)
{
    if (!isSearching(searchText))
        return true;
    const QString query = searchable(searchText);
    return searchable(video.title).contains(query) || searchable(video.description).contains(query);
}

QList<Video> VideoCatalogRules::filtered(const QList<Video> &videos, const QString &searchText)
{
    if (!isSearching(searchText))
        return videos;
    QList<Video> kept;
    for (const Video &video : videos) {
        if (matches(video, searchText))
            kept << video;
    }
    return kept;
}

QString VideoCatalogRules::emptyListText(const QString &searchText)
{
    if (searchText.isEmpty())
        return QStringLiteral("Видео пока не загружены. Нажмите '+ Загрузить видео', чтобы добавить первый ролик!");
    return QStringLiteral("Видео по запросу '") + searchText + QStringLiteral("' не найдены.");
}

QString VideoCatalogRules::infoLine(const Video &video)
{
    return video.author.fullName() + QStringLiteral(" • ") + QString::number(video.viewsCount) +
           QStringLiteral(" просмотров • ") + video.createdAtFormatted;
}
