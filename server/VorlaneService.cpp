#include "VorlaneService.h"

#include "Database.h"
#include "DemoContent.h"
#include "MediaStore.h"
#include "Reply.h"
#include "RequestBody.h"
#include "RequestLog.h"
#include "Schema.h"
#include "ServiceContext.h"
#include "ServiceServer.h"
#include "UserStore.h"
#include "routes/Routes.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <httplib.h>
#include <sys/socket.h>

namespace {
// An idle keep-alive connection holds up stop() for this long, so keep it short.
constexpr time_t KeepAliveSeconds = 1;
constexpr time_t ReadTimeoutSeconds = 30;
}

VorlaneService::VorlaneService(ServerOptions options)
    : m_options(std::move(options))
{
}

VorlaneService::~VorlaneService() = default;

bool VorlaneService::prepare(QString &error)
{
    try {
        m_db = std::make_unique<Database>(m_options.databasePath);
        Schema::create(*m_db);
    } catch (const DatabaseError &e) {
        error = QString::fromUtf8(e.what());
        return false;
    }
    m_media = std::make_unique<MediaStore>(m_options.mediaDir);
    if (!m_media->prepare(error))
        return false;
    if (!DemoContent::makeMedia(*m_media, error))
        return false;
    try {
        DemoContent::seed(*m_db);
        UserStore::fillNameKeys(*m_db);
    } catch (const DatabaseError &e) {
        error = QStringLiteral("cannot store the demo data: ") + QString::fromUtf8(e.what());
        return false;
    }

    auto server = std::make_unique<ServiceServer>();
    ServiceServer &bound = *server;
    m_server = std::move(server);
    m_server->set_keep_alive_timeout(KeepAliveSeconds);
    m_server->set_read_timeout(ReadTimeoutSeconds);
    m_server->set_payload_max_length(size_t(-1)); // every script reads its own body within its own cap
    if (!m_options.requestLog.isEmpty()) {
        m_requestLog = std::make_unique<RequestLog>();
        if (!m_requestLog->open(m_options.requestLog, error))
            return false;
        // Written once the answer is decided and before its first byte leaves (httplib's logger runs only
        // after the send), so whoever has read a reply finds its line already there.
        m_server->set_post_routing_handler(
            [log = m_requestLog.get()](const httplib::Request &request, httplib::Response &response) {
                log->write(request, response);
            });
    }
    // httplib's default also sets SO_REUSEPORT, with which a second service binds the same port and
    // silently takes half of the connections. Only SO_REUSEADDR, for quick restarts.
    m_server->set_socket_options([](int socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });
    m_port = m_options.port == 0 ? m_server->bind_to_any_port("127.0.0.1")
                                 : (m_server->bind_to_port("127.0.0.1", m_options.port) ? m_options.port : -1);
    if (m_port <= 0) {
        error = QStringLiteral("cannot listen on 127.0.0.1:%1").arg(m_options.port);
        return false;
    }
    bound.widenBacklog();
    m_context.reset(new ServiceContext{*m_db, *m_media, QStringLiteral("http://127.0.0.1:%1").arg(m_port)});
    installHandlers();
    return true;
}

bool VorlaneService::run()
{
    m_running = true;
    if (m_stopRequested)
        return true;
    return m_server->listen_after_bind();
}

void VorlaneService::stop()
{
    m_stopRequested = true;
    if (!m_running)
        return; // run() sees the request and does not start
    // A signal may come between run() starting and httplib being ready to be stopped.
    for (int i = 0; i < 1000 && !m_server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    m_server->stop();
}

void VorlaneService::installHandlers()
{
    Routes::addAuth(*m_server, *m_context);
    Routes::addUpload(*m_server, *m_context);
    Routes::addFeed(*m_server, *m_context);
    Routes::addProfile(*m_server, *m_context);
    Routes::addMusic(*m_server, *m_context);
    Routes::addVideos(*m_server, *m_context);
    Routes::addChannels(*m_server, *m_context);
    Routes::addMedia(*m_server, *m_context);

    // httplib reads a body whole into memory unless a content reader takes it: only POST has
    // those, so the other methods get small bodies only, and a POST to no script is read and
    // dropped here (registered last, it matches only what no script did).
    m_server->set_pre_routing_handler([](const httplib::Request &req, httplib::Response &res) {
        return RequestBody::screen(req, res) ? httplib::Server::HandlerResponse::Handled
                                             : httplib::Server::HandlerResponse::Unhandled;
    });
    m_server->Post(".*", [](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) {
        if (RequestBody::readWithin(req, res, reader, nullptr, RequestBody::StrayLimit))
            res.status = 404; // the error handler answers for an unknown script
    });

    // Whatever httplib refuses by itself (no such script, a request it cannot parse) still
    // answers with the envelope; scripts under /api answer with HTTP 200 like every refusal.
    m_server->set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request &req,
                                                                             httplib::Response &res) {
        if (!res.body.empty())
            return httplib::Server::HandlerResponse::Unhandled; // a handler wrote its own refusal
        const bool script = req.path.rfind("/api/", 0) == 0;
        const QString message = res.status == 404 ? QStringLiteral("Неизвестный запрос")
            : res.status == 413                   ? QStringLiteral("Слишком большой запрос")
                                                  : QStringLiteral("Некорректный запрос");
        const int status = res.status;
        Reply::refuse(res, message);
        if (!script)
            res.status = status;
        return httplib::Server::HandlerResponse::Handled;
    }));
    m_server->set_exception_handler([](const httplib::Request &req, httplib::Response &res, std::exception_ptr ep) {
        try {
            std::rethrow_exception(ep);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "vorlane-server: %s %s failed: %s\n", req.method.c_str(), req.path.c_str(),
                         e.what());
        } catch (...) {
            std::fprintf(stderr, "vorlane-server: %s %s failed\n", req.method.c_str(), req.path.c_str());
        }
        Reply::refuse(res, QStringLiteral("Внутренняя ошибка сервера"));
    });
}
