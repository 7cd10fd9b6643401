#pragma once

#include <QString>

// What makes a login name one that others cannot be fooled by: no character that shows nothing
// or turns the text around, letters of one alphabet only, and a key under which names that look
// alike are one name.
namespace UserName {
// Format characters (zero-width spaces and joiners, direction overrides and isolates, the soft
// hyphen, the byte-order mark), controls, and the fillers that print as blanks.
bool hasInvisible(const QString &name);
// Letters of two scripts or more ("dеmo" with a Cyrillic «е»): most Latin and Cyrillic letters
// have a twin in the other script that no one can tell apart.
bool mixesScripts(const QString &name);
// Compatibility-normalised (fullwidth and styled letters become plain ones), stripped of
// combining marks (accents), case-folded: two names with the same key are taken for one.
QString key(const QString &name);
} // namespace UserName
