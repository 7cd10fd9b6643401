// Pictures of every state of the sign-in screen in the real application window: empty, focused,
// typed, a selection made with the mouse, the mode toggle held down, registration, the error
// banner and the busy button. Run by tools/screenshots.sh against the demo service; a change to
// the screen's make-up is checked by comparing these pictures with the ones taken before it.
#include "QmlScreen.h"
#include "ScreenDriver.h"
#include "ScreenshotTour.h"
#include "ScriptedResponder.h"

#include "NetworkManager.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <QTest>

namespace {
// Where each named item sits, for comparing two make-ups of the screen number by number.
void dumpGeometry(const char *state, QQuickItem *item)
{
    if (!item->objectName().isEmpty() && item->isVisible()) {
        const QRectF r = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
        qInfo("%s %s %g %g %g %g", state, qPrintable(item->objectName()), r.x(), r.y(), r.width(), r.height());
    }
    for (QQuickItem *child : item->childItems())
        dumpGeometry(state, child);
}
} // namespace

int main(int argc, char *argv[])
{
    ScreenshotTour::preferGStreamer();
    QGuiApplication app(argc, argv);
    // A cursor that stays lit, so that each picture shows it whatever the moment of the grab.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    const QString out = ScreenshotTour::begin(argc, argv);

    QmlScreen screen(QStringLiteral("SocialNetworkApp.qml"));
    if (!ScreenshotTour::isLoaded(screen))
        return 1;
    QQuickWindow *window = screen.window();
    const auto item = [&screen](const char *name) { return screen.find(QString::fromLatin1(name)); };
    const auto centreOf = [](QQuickItem *it) {
        return it->mapToScene(QPointF(it->width() / 2, it->height() / 2)).toPoint();
    };
    bool ok = true;
    const auto save = [&](const char *name) {
        ok = ScreenshotTour::save(window, out + QStringLiteral("/sign-in-%1.png").arg(QLatin1String(name))) && ok;
        if (qEnvironmentVariableIsSet("VORLANE_TOUR_GEOMETRY"))
            dumpGeometry(name, window->contentItem());
    };

    (void)QTest::qWaitFor([&] { return item("logoImage")->property("status").toInt() == 1; }, 5000);
    save("empty");

    ScreenDriver::tap(window, item("loginField"));
    save("login-focused");

    ScreenDriver::type(window, item("loginField"), QStringLiteral("maria@mail.example"));
    save("login-typed");

    QTest::keyClick(window, Qt::Key_Tab);
    save("tab-to-password");
    for (const QChar ch : QStringLiteral("secret"))
        QTest::keyClick(window, ch.toLatin1());
    save("password-typed");

    // A selection dragged across part of the login.
    QQuickItem *login = item("loginField");
    const QPoint from = login->mapToScene(QPointF(30, login->height() / 2)).toPoint();
    const QPoint to = login->mapToScene(QPointF(120, login->height() / 2)).toPoint();
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    for (int x = from.x(); x <= to.x(); x += 10)
        QTest::mouseMove(window, QPoint(x, from.y()));
    QTest::mouseMove(window, to);
    QTest::mouseRelease(window, Qt::LeftButton, {}, to);
    save("selection");

    QTest::mousePress(window, Qt::LeftButton, {}, centreOf(item("modeToggle")));
    save("toggle-pressed");
    QTest::mouseRelease(window, Qt::LeftButton, {}, centreOf(item("modeToggle")));
    save("registration");

    ScreenDriver::type(window, item("firstNameField"), QStringLiteral("Maria"));
    ScreenDriver::type(window, item("usernameField"), QStringLiteral("maria_k"));
    save("registration-typed");

    QTest::keyClick(window, Qt::Key_Tab);
    save("registration-tab");

    ScreenDriver::tap(window, item("modeToggle"));
    // The password wiped as a person would, so that the field drops back to its placeholder.
    ScreenDriver::tap(window, item("passwordField"));
    QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Backspace);
    ScreenDriver::tap(window, item("submitButton"));
    (void)QTest::qWaitFor([&] { return item("errorBanner")->isVisible(); }, 5000);
    save("error");

    ScreenDriver::tap(window, item("modeToggle"));
    ScreenDriver::tap(window, item("submitButton"));
    (void)QTest::qWaitFor([&] { return item("errorBanner")->isVisible(); }, 5000);
    save("registration-error");

    // A service that takes the request and never answers keeps the button busy.
    ScreenDriver::tap(window, item("modeToggle"));
    ScriptedResponder silent;
    silent.replyNothing();
    NetworkManager::shared().setBaseURL(silent.baseUrl());
    ScreenDriver::type(window, item("passwordField"), QStringLiteral("secret"));
    ScreenDriver::tap(window, item("submitButton"));
    (void)QTest::qWaitFor([&] { return item("submitSpinner")->isVisible(); }, 5000);
    // The spinner held still at its starting angle, so that two pictures of it can be compared.
    if (auto *spinner = item("submitSpinner")->property("item").value<QQuickItem *>()) {
        spinner->setProperty("running", false);
        if (!spinner->childItems().isEmpty())
            spinner->childItems().first()->setRotation(0);
    }
    save("busy");
    return ok ? 0 : 1;
}
