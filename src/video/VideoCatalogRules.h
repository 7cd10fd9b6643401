#pragma once

#include "Video.h"

#include <QList>
#include <QString>

// What the video catalogue shows: which videos a search keeps, the text of an empty list and
// the card's info line. Decided here, drawn by VideoCatalogView.qml.
namespace VideoCatalogRules {
// The search is off while the text, trimmed of white space at both ends, is empty.
bool isSearching(const QString &searchText);
// Whether a video stays in the list: the untrimmed query, lower-cased, in the lower-cased title,
// else in the description. Canonically equivalent spellings match; nothing else is looked at.
bool matches(const Video &video, const QString &searchText);
// A field or a search text as the search compares them.
QString searchable(const QString &text);
// The videos a search keeps, in the catalogue's order.
QList<Video> filtered(const QList<Video> &videos, const QString &searchText);
// The text shown in place of the cards when none is shown; it looks at the search text as typed.
QString emptyListText(const QString &searchText);
// "<full name> • <views> просмотров • <time>".
QString infoLine(const Video &video);
} // namespace VideoCatalogRules
