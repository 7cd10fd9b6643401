#pragma once

#include "PlayerBackend.h"

// Players on QMediaPlayer + QAudioOutput.
class QtPlayerBackend final : public PlayerBackend
{
public:
    std::optional<QString> setupAudioSession() override;
    std::unique_ptr<PlatformPlayer> createPlayer(const QUrl &url) override;
};
