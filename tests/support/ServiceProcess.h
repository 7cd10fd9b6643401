#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the reference service as a separate process for a test: an in-memory database with the
// demo data, a fresh media folder, and a port the OS picks on 127.0.0.1.
//
//     ServiceProcess service;
//     QVERIFY2(service.start(), qPrintable(service.errors()));
//     NetworkManager::shared().setBaseURL(service.baseUrl());
//
// The destructor stops it (SIGTERM, then waits for it to exit).
class ServiceProcess
{
public:
    ServiceProcess();
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess &) = delete;
    ServiceProcess &operator=(const ServiceProcess &) = delete;

    // Starts the service and waits until it has bound its port. False with errors() filled in
    // when it does not come up.
    bool start();
    // Stops the service and waits for it; true when it ended by itself with exit code 0.
    bool stop();
    bool isRunning() const;
    // After stop(): the service again on the same port over the same media folder, as after an
    // outage (the in-memory data is seeded anew, so the demo addresses stay the same).
    bool restart();

    // From the next start on, the service logs each request it answers; requests() reads them back,
    // one "GET /media/demo/sleeve-2.png 200" a line, across restarts.
    void logRequests() { m_logRequests = true; }
    QStringList requests() const;

    int port() const { return m_port; }
    QString siteUrl() const;  // "http://127.0.0.1:<port>"
    QString baseUrl() const;  // "http://127.0.0.1:<port>/api"
    QString mediaDir() const; // the folder given as --media
    QString errors() const;   // what went wrong in start(), with the service's standard error
    qint64 processId() const { return m_process.processId(); } // for ProcessMemory

    // The demo account that the service seeds.
    static QString demoUsername() { return QStringLiteral("demo"); }
    static QString demoPassword() { return QStringLiteral("demo12345"); }

private:
    bool launch(int port);

    QTemporaryDir m_media;
    QTemporaryDir m_logs;
    bool m_logRequests = false;
    QProcess m_process;
    int m_port = 0;
    QString m_errors;
};
