#include "QtTranslations.h"
#include "VorlaneQml.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>

int main(int argc, char *argv[])
{
    // The GStreamer backend plays without a sound card; the FFmpeg one fails without an output.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Vorlane"));
    QGuiApplication::setApplicationName(QStringLiteral("Vorlane"));
    QtTranslations::install(app);
    // Every control is drawn by our own screens; the plain style keeps its defaults out of the way.
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    QQmlApplicationEngine engine;
    VorlaneQml::prepare(engine);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app, [] { QCoreApplication::exit(1); },
        Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/Vorlane/SocialNetworkApp.qml")));
    return QGuiApplication::exec();
}
