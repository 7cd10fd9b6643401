#include "WindowTest.h"

#include "AuthViewModel.h"
#include "NetworkManager.h"
#include "ScreenDriver.h"
#include "User.h"
#include "WavSample.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QImage>
#include <QSettings>
#include <QTest>

using namespace ScreenDriver;

QQuickItem *WindowTest::shown(QQuickItem *item, const QString &name)
{
    if (!item || !item->isVisible())
        return nullptr;
    if (item->objectName() == name)
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = shown(child, name))
            return found;
    }
    return nullptr;
}

QQuickItem *WindowTest::waitFor(const QString &name) const
{
    QQuickItem *found = nullptr;
    (void)QTest::qWaitFor([&] { return (found = item(name)) != nullptr; }, VORLANE_PATIENT_WAIT_MS);
    return found;
}

bool WindowTest::anyStackBusy(QQuickItem *item)
{
    if (item->inherits("QQuickStackView") && item->property("busy").toBool())
        return true;
    const auto children = item->childItems();
    return std::any_of(children.begin(), children.end(), [](QQuickItem *child) { return anyStackBusy(child); });
}

QPointF WindowTest::settledCentre(const QString &name) const
{
    QQuickItem *target = nullptr;
    (void)QTest::qWaitFor([&] { return (target = item(name)) && target->isEnabled(); }, VORLANE_PATIENT_WAIT_MS);
    if (!target) {
        qWarning("nothing named %s on screen", qPrintable(name));
        return {-1, -1};
    }
    // A page pushed or a sheet rising moves it: it counts once it has kept its place a while.
    const auto centre = [target] { return target->mapToScene(QPointF(target->width() / 2, target->height() / 2)); };
    QPointF last = centre();
    for (int still = 0, round = 0; still < 8 && round < 300; ++round) {
        QTest::qWait(16);
        still = centre() == last ? still + 1 : 0;
        last = centre();
    }
    (void)QTest::qWaitFor([this] { return !anyStackBusy(window()->contentItem()); }, VORLANE_PATIENT_WAIT_MS);
    return last;
}

bool WindowTest::tapName(const QString &name) const
{
    const QPointF point = settledCentre(name);
    if (point.x() < 0)
        return false;
    QTest::mouseClick(window(), Qt::LeftButton, {}, point.toPoint());
    return true;
}

bool WindowTest::tapAll(const QStringList &names) const
{
    for (const QString &name : names) {
        if (!tapName(name))
            return false;
    }
    return true;
}

void WindowTest::key(int code) const
{
    QTest::keyClick(window(), Qt::Key(code));
}

bool WindowTest::isOpen(const char *popup) const
{
    return m_app->findObject(QLatin1String(popup))->property("visible").toBool();
}

QQuickWindow *WindowTest::shownDialog() const
{
    for (QWindow *top : QGuiApplication::topLevelWindows()) {
        if (top->isVisible() && top->objectName().endsWith(QLatin1String("FileDialog")) &&
            top->transientParent() == window())
            return qobject_cast<QQuickWindow *>(top);
    }
    return nullptr;
}

bool WindowTest::choose(QQuickWindow *dialog, const QString &file)
{
    dialog->setProperty("folder", m_files.path());
    QQuickItem *row = nullptr;
    if (!QTest::qWaitFor([&] { return (row = findIn(dialog->contentItem(), "fileRow_" + file)) != nullptr; },
                         VORLANE_PATIENT_WAIT_MS)) {
        qWarning("%s is not listed", qPrintable(file));
        return false;
    }
    tap(dialog, row);
    QQuickItem *open = findIn(dialog->contentItem(), QStringLiteral("fileDialogOpenButton"));
    if (!QTest::qWaitFor([&] { return open->isEnabled(); }, VORLANE_PATIENT_WAIT_MS)) {
        qWarning("no row of %s became current", qPrintable(file));
        return false;
    }
    tap(dialog, open);
    return QTest::qWaitFor([&] { return !dialog->isVisible(); }, VORLANE_PATIENT_WAIT_MS);
}

QSet<QString> WindowTest::storedPaths() const
{
    QSet<QString> paths;
    for (QDirIterator it(m_service.mediaDir(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        paths.insert(it.next());
    return paths;
}

bool WindowTest::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(m_files.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool WindowTest::startService()
{
    if (!m_service.start()) {
        qWarning("%s", qPrintable(m_service.errors()));
        return false;
    }
    QImage photo(120, 90, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    return photo.save(m_files.filePath(QStringLiteral("photo.png"))) &&
           writeFile(QStringLiteral("tone.wav"), wavSample(0.5)) &&
           writeFile(QStringLiteral("clip.mp4"), QByteArray(2048, 'v'));
}

bool WindowTest::openApp()
{
    if (!m_warnings)
        m_warnings = std::make_unique<WarningGuard>();
    clearSettings();
    NetworkManager::shared().setBaseURL(m_service.baseUrl());
    QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"))
        .setValue(
            QLatin1String(AuthViewModel::sessionKey),
            User{.id = 1, .username = ServiceProcess::demoUsername(), .firstName = QStringLiteral("Demo")}.toJson());
    m_app = std::make_unique<QmlScreen>(QStringLiteral("SocialNetworkApp.qml"));
    if (!m_app->isReady()) {
        qWarning("%s", qPrintable(m_app->errors()));
        return false;
    }
    return true;
}

void WindowTest::closeApp()
{
    m_app.reset();
    // What the window's teardown left for later writes its warnings now, while the guard listens.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!m_warnings)
        return;
    const QString problems = m_warnings->problems();
    m_warnings.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void WindowTest::expectWarning(const QString &pattern)
{
    if (m_warnings)
        m_warnings->expect(QRegularExpression(pattern));
}
