#pragma once

#include "PlayerBackend.h"

#include <memory>

// The QtMultimedia backend, from the playback module loaded on first use: Qt Multimedia pulls in
// the sound server's and the codecs' libraries, which cost the start of every launch when
// linked. Where the module cannot be loaded, a backend that says so and plays nothing.
namespace PlaybackModule {
std::unique_ptr<PlayerBackend> loadBackend();
}
