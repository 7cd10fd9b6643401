#pragma once

#include "RequestBody.h"

#include <QJsonObject>
#include <QString>
#include <algorithm>

namespace httplib {
struct Response;
}
struct ServiceContext;

// The writes of "channels.php" that found a channel, change one and post into one.
namespace ChannelWrites {
constexpr qsizetype MaxNameLength = 100;
constexpr qsizetype MaxDescriptionLength = 5000;
constexpr qsizetype MaxCategoryLength = 100;
constexpr qsizetype MaxAddressLength = 2048;
constexpr qsizetype MaxPostLength = 10000;
// The larger of a channel's texts and a post with its picture.
constexpr qint64 BodyCap = RequestBody::capFor(std::max(
    MaxNameLength + MaxDescriptionLength + MaxCategoryLength + 2 * MaxAddressLength, MaxPostLength + MaxAddressLength));
// Answers `action` when it is "create", "edit" or "create_post"; false, with nothing written,
// for any other action. Takes the database lock itself.
bool handle(const QString &action, const QJsonObject &body, httplib::Response &res, ServiceContext &context);
} // namespace ChannelWrites
