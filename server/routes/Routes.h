#pragma once

namespace httplib {
class Server;
}
struct ServiceContext;

// One function per script (and one for the media files), each adding its handlers.
namespace Routes {
void addAuth(httplib::Server &server, ServiceContext &context);
void addUpload(httplib::Server &server, ServiceContext &context);
void addFeed(httplib::Server &server, ServiceContext &context);
void addProfile(httplib::Server &server, ServiceContext &context);
void addMusic(httplib::Server &server, ServiceContext &context);
void addVideos(httplib::Server &server, ServiceContext &context);
void addChannels(httplib::Server &server, ServiceContext &context);
void addMedia(httplib::Server &server, ServiceContext &context);
}
