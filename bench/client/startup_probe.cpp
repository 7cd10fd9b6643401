// One start of a window, for bench_startup: the client as its main() does it (the sign-in screen,
// with no stored session), or, built as bare_startup_probe, a Qt Quick window holding one text and
// linking nothing else. Either writes one line to standard output when its first frame is on
// screen, then quits.
#ifndef BARE_WINDOW
#include "QtTranslations.h"
#include "VorlaneQml.h"

#include <QQuickStyle>
#endif

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>

#include <cstdio>

int main(int argc, char *argv[])
{
#ifdef BARE_WINDOW
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    engine.loadData("import QtQuick\n"
                    "Window { width: 390; height: 844; visible: true; Text { text: \"Vorlane\" } }");
#else
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Vorlane"));
    QGuiApplication::setApplicationName(QStringLiteral("Vorlane"));
    QtTranslations::install(app);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QQmlApplicationEngine engine;
    VorlaneQml::prepare(engine);
    engine.load(QUrl(QStringLiteral("qrc:/Vorlane/SocialNetworkApp.qml")));
#endif
    auto *window =
        engine.rootObjects().isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    if (!window)
        return 1;
    QObject::connect(window, &QQuickWindow::frameSwapped, &app, [] {
        std::fputs("frame\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QGuiApplication::exec();
}
