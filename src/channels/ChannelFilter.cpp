#include "ChannelFilter.h"

#include <algorithm>

// Locale-independent lower case, in composed form so that canonically equivalent spellings of
// a letter compare equal.
QString ChannelFilter::folded(const QString &text)
{
    return text.toLower().normalized(QString::NormalizationForm_C);
}

bool ChannelFilter::searchIsOff(const QString &searchText)
{
    return searchText.trimmed().isEmpty();
}

QList<QString> ChannelFilter::searchFields(const Channel &channel)
{
    return {folded(channel.name), folded(channel.description), folded(channel.category)};
}

bool ChannelFilter::isOwner(const Channel &channel, const std::optional<User> &user)
{
    return user && channel.userId && *channel.userId == user->id;
}

bool ChannelFilter::passesSegment(const Channel &channel, int segment, const std::optional<User> &user)
{
    if (segment != 1 || !user)
        return true;
    return isOwner(channel, user);
}

bool ChannelFilter::matchesSearch(const Channel &channel, const QString &searchText)
{
    if (searchIsOff(searchText))
        return true;
    const QString query = folded(searchText);
    const QList<QString> fields = searchFields(channel);
    return std::any_of(fields.cbegin(), fields.cend(), [&](const QString &field) { return field.contains(query); });
}

bool ChannelFilter::accepts(const Channel &channel, int segment, const std::optional<User> &user,
                            const QString &searchText)
{
    return passesSegment(channel, segment, user) && matchesSearch(channel, searchText);
}

QList<Channel> ChannelFilter::filtered(const QList<Channel> &channels, int segment, const std::optional<User> &user,
                                       const QString &searchText)
{
    QList<Channel> kept;
    for (const Channel &channel : channels) {
        if (accepts(channel, segment, user, searchText))
            kept.append(channel);
    }
    return kept;
}
