#pragma once

#include <QJsonObject>
#include <QString>

namespace httplib {
struct Response;
}
struct ServiceContext;

// The writes of "channels.php" that found a channel, change one and post into one.
namespace ChannelWrites {
// Answers `action` when it is "create", "edit" or "create_post"; false, with nothing written,
// for any other action. Takes the database lock itself.
bool handle(const QString &action, const QJsonObject &body, httplib::Response &res, ServiceContext &context);
} // namespace ChannelWrites
