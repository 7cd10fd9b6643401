#pragma once

#include "Album.h"
#include "Playlist.h"
#include "RecordListModel.h"
#include "Track.h"

#include <QString>

// What the music lists show of each record, one role a value, with the texts made here so that
// the screens only lay them out.
class MusicRows
{
public:
    static QList<std::pair<QByteArray, RecordListModel<Track>::Field>> trackRoles();
    static QList<std::pair<QByteArray, RecordListModel<Album>::Field>> albumRoles();
    static QList<std::pair<QByteArray, RecordListModel<Playlist>::Field>> playlistRoles();

    // The cover address when it is worth loading, else empty (the placeholder shows).
    static QString coverSource(const std::optional<QString> &coverUrl);
    // "<artist> • <n> треков": the noun does not change with the number.
    static QString albumSubtitle(const Album &album);
    static QString visibilityText(bool isPublic);
    static QString trackCountText(const Playlist &playlist);
    // The add-to-playlist sheet's line under a playlist's name.
    static QString sheetSubtitle(const Playlist &playlist);
    // A link strip shows only for a public playlist that has a link.
    static bool showsLink(const Playlist &playlist);
};
