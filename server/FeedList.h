#pragma once

#include <QByteArray>

struct ServiceContext;

// The feed, newest first, as a bare list of posts, read in the same few statements however long
// it is, all from one view of the data. Likes and reposts are counted over everybody; the service
// does not know who asks, so the viewer's own flags are false.
namespace FeedList {
QByteArray json(ServiceContext &context);
}
