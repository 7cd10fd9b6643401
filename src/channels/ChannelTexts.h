#pragma once

#include <QString>

// The channels tab's texts that depend on data. Counts are plain decimal numbers with one noun
// for every number, and the search text is quoted exactly as typed.
namespace ChannelTexts {
// "<n> подписчиков"
QString subscribers(qint64 count);
// "<category> • <n> подписчиков"
QString categoryLine(const QString &category, qint64 count);
QString subscribeButton(bool isSubscribed);
// The catalogue's section header for a segment (0 catalogue, 1 own channels).
QString sectionHeader(int segment);
// What the catalogue says when the filtered list is empty.
QString emptyList(int segment, const QString &searchText);
// What a channel page says when the channel has no posts.
QString noPosts(bool isCreator);
} // namespace ChannelTexts
