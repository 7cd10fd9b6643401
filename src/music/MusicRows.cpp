#include "MusicRows.h"

#include "AvatarRules.h"

QString MusicRows::coverSource(const std::optional<QString> &coverUrl)
{
    return coverUrl && AvatarRules::isUsableAddress(*coverUrl) ? *coverUrl : QString();
}

QString MusicRows::albumSubtitle(const Album &album)
{
    return album.artist + QStringLiteral(" • ") + QString::number(album.tracks.size()) + QStringLiteral(" треков");
}

QString MusicRows::visibilityText(bool isPublic)
{
    return isPublic ? QStringLiteral("🌐 Публичный") : QStringLiteral("🔒 Приватный");
}

QString MusicRows::trackCountText(const Playlist &playlist)
{
    return QStringLiteral("• ") + QString::number(playlist.tracks.size()) + QStringLiteral(" треков");
}

QString MusicRows::sheetSubtitle(const Playlist &playlist)
{
    return QString::number(playlist.tracks.size()) + QStringLiteral(" треков • ") +
           (playlist.isPublic ? QStringLiteral("Публичный 🌐") : QStringLiteral("Приватный 🔒"));
}

bool MusicRows::showsLink(const Playlist &playlist)
{
    return playlist.isPublic && playlist.shareUrl.has_value();
}

QList<std::pair<QByteArray, RecordListModel<Track>::Field>> MusicRows::trackRoles()
{
    return {
        {"trackId", [](const Track &track) { return QVariant(QString::number(track.id)); }},
        {"title", [](const Track &track) { return QVariant(track.title); }},
        {"artist", [](const Track &track) { return QVariant(track.artist); }},
        {"coverSource", [](const Track &track) { return QVariant(coverSource(track.coverUrl)); }},
        {"isLiked", [](const Track &track) { return QVariant(track.isLiked); }},
        {"track", [](const Track &track) { return QVariant::fromValue(track); }},
    };
}

QList<std::pair<QByteArray, RecordListModel<Album>::Field>> MusicRows::albumRoles()
{
    return {
        {"albumId", [](const Album &album) { return QVariant(QString::number(album.id)); }},
        {"title", [](const Album &album) { return QVariant(album.title); }},
        {"subtitle", [](const Album &album) { return QVariant(albumSubtitle(album)); }},
    };
}

QList<std::pair<QByteArray, RecordListModel<Playlist>::Field>> MusicRows::playlistRoles()
{
    return {
        // Playlist ids stay within 1000 to 9999, well inside QML's integers.
        {"playlistId", [](const Playlist &playlist) { return QVariant(int(playlist.id)); }},
        {"name", [](const Playlist &playlist) { return QVariant(playlist.name); }},
        {"description", [](const Playlist &playlist) { return QVariant(playlist.description); }},
        {"coverSource", [](const Playlist &playlist) { return QVariant(coverSource(playlist.coverUrl)); }},
        {"isPublic", [](const Playlist &playlist) { return QVariant(playlist.isPublic); }},
        {"visibilityText", [](const Playlist &playlist) { return QVariant(visibilityText(playlist.isPublic)); }},
        {"trackCountText", [](const Playlist &playlist) { return QVariant(trackCountText(playlist)); }},
        {"sheetSubtitle", [](const Playlist &playlist) { return QVariant(sheetSubtitle(playlist)); }},
        {"showsLink", [](const Playlist &playlist) { return QVariant(showsLink(playlist)); }},
        {"shareUrl", [](const Playlist &playlist) { return QVariant(playlist.shareUrl.value_or(QString())); }},
        {"linkText",
         [](const Playlist &playlist) {
             return QVariant(QStringLiteral("Ссылка: ") + playlist.shareUrl.value_or(QString()));
         }},
        {"playlist", [](const Playlist &playlist) { return QVariant::fromValue(playlist); }},
    };
}
