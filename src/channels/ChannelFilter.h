#pragma once

#include "Channel.h"
#include "User.h"

#include <QList>
#include <QString>

#include <optional>

// Which catalogue entries the channels screen lists: the segment's owner rule, then the search.
namespace ChannelFilter {
// True when `user` is present and the channel names that user as its owner.
bool isOwner(const Channel &channel, const std::optional<User> &user);
// The own-channels segment (1) keeps the user's channels; without a user it keeps everything.
bool passesSegment(const Channel &channel, int segment, const std::optional<User> &user);
// Off while the text is blank; otherwise the whole text, lower-cased but not trimmed, must stand
// in the name, the description or the category, lower-cased the same way.
bool matchesSearch(const Channel &channel, const QString &searchText);
bool searchIsOff(const QString &searchText);
// A field or a search text as the search compares them.
QString folded(const QString &text);
// The channel's folded name, description and category.
QList<QString> searchFields(const Channel &channel);
bool accepts(const Channel &channel, int segment, const std::optional<User> &user, const QString &searchText);
QList<Channel> filtered(const QList<Channel> &channels, int segment, const std::optional<User> &user,
                        const QString &searchText);
} // namespace ChannelFilter
