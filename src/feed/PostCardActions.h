#pragma once

#include "PostAttachment.h"
#include "Track.h"

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

class AudioPlayerManager;
class RandomDraw;

// What a post card does by itself, without its presenter: it copies a share link for its post
// and plays an audio attachment on the shared player. Nothing here reaches the service.
class PostCardActions : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // The site address, "/post/", the id in decimal, "_" and eight random letters or digits.
    static QString shareLink(qint64 postId, const RandomDraw &draw);

    // The track an audio attachment plays as. Its id must not be the current track's: the player
    // would take the same id for the same track and only pause it.
    static Track attachmentTrack(const PostAttachment &attachment, qint64 trackId);
    static void playAttachment(const PostAttachment &attachment, AudioPlayerManager &player, const RandomDraw &draw);

    // Puts a fresh share link for the post (a Post in a QVariant) on the clipboard and returns it;
    // anything that is no post copies nothing and returns an empty text.
    Q_INVOKABLE static QString copyLink(const QVariant &post);
    // Plays the post's attachment at `index` when it is audio; anything else is ignored.
    Q_INVOKABLE static void play(const QVariant &post, int index);

private:
    static std::optional<PostAttachment> audioAttachment(const QVariant &post, int index);
};
