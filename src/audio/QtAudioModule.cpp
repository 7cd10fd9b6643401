#include "QtPlayerBackend.h"

#include <QtGlobal>

// The one entry of the playback module: the client loads it on first playback, so that Qt
// Multimedia and the sound libraries beneath it are not loaded before the first screen.
extern "C" Q_DECL_EXPORT PlayerBackend *vorlaneCreatePlayerBackend()
{
    return new QtPlayerBackend;
}
