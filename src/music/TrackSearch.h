#pragma once

#include "Track.h"

#include <QList>
#include <QString>

// The track search: a text of blanks only shows everything; otherwise the text as typed (blanks
// at its ends included), lower-cased, must occur in a title or an artist, lower-cased.
namespace TrackSearch {

bool showsEverything(const QString &searchText);
// A title, an artist or a search text as the search compares them.
QString folded(const QString &text);
bool matches(const Track &track, const QString &searchText);
QList<Track> filtered(const QList<Track> &tracks, const QString &searchText);
// What the track list says when nothing is left to show.
QString emptyText(const QString &searchText);

} // namespace TrackSearch
