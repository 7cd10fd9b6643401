#pragma once

#include <QList>
#include <QMutex>
#include <QRegularExpression>
#include <QStringList>
#include <QtGlobal>

// Collects the warnings that QML, Qt Quick and the application's own code write while it is
// installed, so that a whole-window test fails on any warning it did not declare. Messages still
// reach the previous handler (the test log). One guard at a time.
class WarningGuard
{
public:
    WarningGuard();
    ~WarningGuard();
    WarningGuard(const WarningGuard &) = delete;
    WarningGuard &operator=(const WarningGuard &) = delete;

    // A warning the test provokes on purpose: matching messages are not counted against it, and
    // the test fails if none came.
    void expect(const QRegularExpression &pattern);
    // Each problem on a line of its own: warnings nothing declared, declarations nothing matched.
    QString problems() const;

    // Whether a message of this kind and category is one the guard looks at.
    static bool watches(QtMsgType type, const char *category);

private:
    struct Expectation
    {
        QRegularExpression pattern;
        int seen = 0;
    };

    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message);
    void record(const QMessageLogContext &context, const QString &message);

    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_mutex;
    QList<Expectation> m_expected;
    QStringList m_unexpected;
};
