#pragma once

#include <QString>

class Database;
class MediaStore;

// The demo network that a fresh database starts with, and the pictures and sounds it shows.
// Everything is made here by code: nothing is downloaded.
namespace DemoContent {
// Writes the demo media files that are missing; false with a reason when the folder is unusable.
bool makeMedia(const MediaStore &media, QString &error);
// Fills an empty database; a database that already has users is left alone.
void seed(Database &db);

// The account named in the README.
inline constexpr const char *DemoUsername = "demo";
inline constexpr const char *DemoPassword = "demo12345";
}
