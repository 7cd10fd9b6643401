#pragma once

#include "ServerOptions.h"

#include <QString>
#include <atomic>
#include <memory>

namespace httplib {
class Server;
}
class Database;
class MediaStore;
class RequestLog;
struct ServiceContext;

// The whole service: data, media, the HTTP server on 127.0.0.1 and its scripts.
class VorlaneService
{
public:
    explicit VorlaneService(ServerOptions options);
    ~VorlaneService();

    // Opens the data, makes the demo content and binds the port; false with a reason on failure.
    bool prepare(QString &error);
    int port() const { return m_port; }
    // Serves until stop() is called (from any thread).
    bool run();
    void stop();

private:
    void installHandlers();

    ServerOptions m_options;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<MediaStore> m_media;
    std::unique_ptr<ServiceContext> m_context;
    std::unique_ptr<RequestLog> m_requestLog;
    std::unique_ptr<httplib::Server> m_server;
    int m_port = 0;
    std::atomic<bool> m_running = false;
    std::atomic<bool> m_stopRequested = false;
};
