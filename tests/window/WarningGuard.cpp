#include "WarningGuard.h"

#include <QMutexLocker>

#include <cstring>

namespace {

WarningGuard *activeGuard = nullptr;
QBasicMutex activeMutex;

// Warnings that are not the application's: each line names its cause.
const QList<QRegularExpression> &tolerated()
{
    static const QList<QRegularExpression> patterns{
        // The offscreen platform that the tests run on cannot raise or activate a window.
        QRegularExpression(QStringLiteral("^This plugin does not support ")),
        // The test machine has no sound server; GStreamer plays without one.
        QRegularExpression(QStringLiteral("^PulseAudioService: pa_context_connect\\(\\) failed")),
        // The sign-in screen's logo comes from the site address fixed at build time, where no
        // service listens while the tests run theirs on ports of their own.
        QRegularExpression(QStringLiteral("AuthView\\.qml:[0-9]+:[0-9]+: QML QQuickImage: ")),
    };
    return patterns;
}

} // namespace

WarningGuard::WarningGuard()
{
    QMutexLocker lock(&activeMutex);
    Q_ASSERT(!activeGuard);
    activeGuard = this;
    m_previous = qInstallMessageHandler(&WarningGuard::handle);
}

WarningGuard::~WarningGuard()
{
    QMutexLocker lock(&activeMutex);
    qInstallMessageHandler(m_previous);
    activeGuard = nullptr;
}

bool WarningGuard::watches(QtMsgType type, const char *category)
{
    if (type != QtWarningMsg && type != QtCriticalMsg)
        return false;
    const auto startsWith = [category](const char *prefix) {
        return std::strncmp(category, prefix, std::strlen(prefix)) == 0;
    };
    // "default" is where the engine and Qt Quick's item views write, and the application too.
    return !category || std::strcmp(category, "default") == 0 || std::strcmp(category, "qml") == 0 ||
           std::strcmp(category, "js") == 0 || startsWith("qt.qml") || startsWith("qt.quick");
}

void WarningGuard::handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    QtMessageHandler previous = nullptr;
    {
        QMutexLocker lock(&activeMutex);
        if (!activeGuard)
            return;
        previous = activeGuard->m_previous;
        if (watches(type, context.category))
            activeGuard->record(context, message);
    }
    if (previous)
        previous(type, context, message);
}

void WarningGuard::record(const QMessageLogContext &context, const QString &message)
{
    QMutexLocker lock(&m_mutex);
    for (Expectation &expectation : m_expected) {
        if (expectation.pattern.match(message).hasMatch()) {
            ++expectation.seen;
            return;
        }
    }
    for (const QRegularExpression &known : tolerated()) {
        if (known.match(message).hasMatch())
            return;
    }
    m_unexpected << (context.file
                         ? QStringLiteral("%1 (%2:%3)").arg(message, QString::fromUtf8(context.file)).arg(context.line)
                         : message);
}

void WarningGuard::expect(const QRegularExpression &pattern)
{
    QMutexLocker lock(&m_mutex);
    m_expected.append({pattern, 0});
}

QString WarningGuard::problems() const
{
    QMutexLocker lock(&m_mutex);
    QStringList lines;
    for (const QString &message : m_unexpected)
        lines << QStringLiteral("unexpected warning: ") + message;
    for (const Expectation &expectation : m_expected) {
        if (expectation.seen == 0)
            lines << QStringLiteral("expected warning never came: ") + expectation.pattern.pattern();
    }
    return lines.join(u'\n');
}
