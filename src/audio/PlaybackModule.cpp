#include "PlaybackModule.h"

#include "PlatformPlayer.h"

#include <QCoreApplication>
#include <QLibrary>

namespace {

// Plays nothing, and names why at setup.
class UnavailableBackend final : public PlayerBackend
{
public:
    explicit UnavailableBackend(QString reason) : m_reason(std::move(reason)) {}
    std::optional<QString> setupAudioSession() override { return m_reason; }
    std::unique_ptr<PlatformPlayer> createPlayer(const QUrl &) override { return nullptr; }

private:
    QString m_reason;
};

} // namespace

std::unique_ptr<PlayerBackend> PlaybackModule::loadBackend()
{
    // Beside the program first, then where the build put it.
    const QString name = QStringLiteral(VORLANE_PLAYBACK_MODULE_NAME);
    QLibrary module(QCoreApplication::applicationDirPath() + u'/' + name);
    if (!module.load()) {
        module.setFileName(QStringLiteral(VORLANE_PLAYBACK_MODULE_PATH));
        if (!module.load())
            return std::make_unique<UnavailableBackend>(module.errorString());
    }
    // Kept loaded for the life of the process: its players may live as long.
    using Create = PlayerBackend *(*)();
    const auto create = reinterpret_cast<Create>(module.resolve("vorlaneCreatePlayerBackend"));
    if (!create)
        return std::make_unique<UnavailableBackend>(module.errorString());
    return std::unique_ptr<PlayerBackend>(create());
}
