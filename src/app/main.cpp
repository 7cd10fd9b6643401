#include "PickedCopies.h"
#include "QtTranslations.h"
#include "VorlaneQml.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlIncubationController>
#include <QQuickStyle>

#include <atomic>

int main(int argc, char *argv[])
{
    // The GStreamer backend plays without a sound card; the FFmpeg one fails without an output.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Vorlane"));
    QGuiApplication::setApplicationName(QStringLiteral("Vorlane"));
    QtTranslations::install(app);
    // A client killed while it copied a large pick left the copy behind; nothing else would ever
    // remove it. It goes on the file pool: it can be gigabytes.
    PickedCopies::removeLeftovers();
    // Every control is drawn by our own screens; the plain style keeps its defaults out of the way.
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    QQmlApplicationEngine engine;
    VorlaneQml::prepare(engine);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app, [] { QCoreApplication::exit(1); },
        Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/Vorlane/SocialNetworkApp.qml")));
    const int status = QGuiApplication::exec();
    // The window is closed, and with it the frames between which Qt Quick makes list rows and
    // loaded items: finish what it was still making, and delete what was queued for deletion,
    // while the engine that made them exists; it must never go with objects half made.
    if (QQmlIncubationController *incubation = engine.incubationController()) {
        std::atomic<bool> finish = true;
        incubation->incubateWhile(&finish);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
