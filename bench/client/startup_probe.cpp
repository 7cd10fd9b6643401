// One start of a window, for bench_startup: the client as its main() does it, or, built as
// bare_startup_probe, a Qt Quick window holding one text and linking nothing else. Either writes
// one line to standard output when the frame waited for is on screen, then quits. The client
// waits for its first frame (the sign-in screen, or the tab screen when a session is stored), or,
// given "cards <service address>", for the first frame that shows the feed's cards.
#ifndef BARE_WINDOW
#include "NetworkManager.h"
#include "QtTranslations.h"
#include "VorlaneQml.h"

#include <QQuickStyle>
#endif

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>

#include <cstdio>
#include <cstring>

#ifndef BARE_WINDOW
namespace {
QQuickItem *findItem(QQuickItem *item, const QString &name)
{
    if (item->objectName() == name)
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}
} // namespace
#endif

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
    const bool waitForCards = argc > 2 && std::strcmp(argv[1], "cards") == 0;
    if (argc > 2)
        NetworkManager::shared().setBaseURL(QString::fromLocal8Bit(argv[2]));
    QQmlApplicationEngine engine;
    VorlaneQml::prepare(engine);
    engine.load(QUrl(QStringLiteral("qrc:/Vorlane/SocialNetworkApp.qml")));
#endif
    auto *window =
        engine.rootObjects().isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    if (!window)
        return 1;
    bool frameHasCards = false;
#ifndef BARE_WINDOW
    if (waitForCards) {
        // Decided as the frame is synchronised, so that the frame swapped next is the one with them.
        QObject::connect(window, &QQuickWindow::beforeSynchronizing, window, [&frameHasCards, window] {
            QQuickItem *list = findItem(window->contentItem(), QStringLiteral("feedList"));
            frameHasCards = list && list->property("count").toInt() > 0;
        }, Qt::DirectConnection);
    } else {
        frameHasCards = true;
    }
#else
    frameHasCards = true;
#endif
    QObject::connect(window, &QQuickWindow::frameSwapped, &app, [&frameHasCards] {
        if (!frameHasCards)
            return;
        std::fputs("frame\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QGuiApplication::exec();
}
