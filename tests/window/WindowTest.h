#pragma once

#include "QmlScreen.h"
#include "ServiceProcess.h"
#include "WarningGuard.h"

#include <QObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// The application's own window, signed in as the demo member against the reference service, driven
// only by clicks and keys. Each whole-window test program derives from it: the service starts once
// per program, and each test opens the window afresh.
class WindowTest : public QObject
{
    Q_OBJECT

protected:
    ServiceProcess m_service;
    QTemporaryDir m_files;
    std::unique_ptr<QmlScreen> m_app;

    QQuickWindow *window() const { return m_app->window(); }

    // The shown item of this name: several screens reuse names, and only one of them is on screen.
    static QQuickItem *shown(QQuickItem *item, const QString &name);
    QQuickItem *item(const QString &name) const { return shown(window()->contentItem(), name); }
    QQuickItem *waitFor(const QString &name) const;
    // A navigation stack ignores taps while it moves a page.
    static bool anyStackBusy(QQuickItem *item);
    // Where a tap on the item lands: its centre once it is on screen, takes taps (a page's buttons
    // wait for its load) and has stopped moving; (-1, -1) when it never shows.
    QPointF settledCentre(const QString &name) const;
    // Taps the item there.
    bool tapName(const QString &name) const;
    bool tapAll(const QStringList &names) const;
    void key(int code) const;
    // Open from the start of its rise to the end of its fall, while it covers the window.
    bool isOpen(const char *popup) const;

    // The one file dialog on screen, a window of its own over the application's.
    QQuickWindow *shownDialog() const;
    // Chooses `file` in the dialog: its folder set on the dialog, the row clicked, then «Открыть».
    bool choose(QQuickWindow *dialog, const QString &file);
    // Files the service has stored from uploads: their paths, and how many.
    QSet<QString> storedPaths() const;
    int storedFiles() const { return int(storedPaths().size()); }
    bool writeFile(const QString &name, const QByteArray &bytes);

    // Starts the service and writes the files the pickers choose from (photo.png, tone.wav, clip.mp4).
    bool startService();
    // The window afresh, signed in from the stored session of the demo member. From here to
    // closeApp() every warning of QML, Qt Quick and the application is collected.
    bool openApp();
    // Closes the window and fails the test on any warning it did not declare with expectWarning().
    void closeApp();

    std::unique_ptr<WarningGuard> m_warnings;
    // A warning this test provokes on purpose (a regular expression); it must come.
    void expectWarning(const QString &pattern);
};
