#pragma once

#include "HttpExchange.h"
#include "ServiceProcess.h"

#include <QObject>
#include <memory>

// What a test case against the service starts from: one service for the whole case, plain HTTP
// against it, and a check at the end that the service is still standing and exits cleanly.
class ServiceTest : public QObject
{
    Q_OBJECT

protected:
    ServiceProcess m_service;
    std::unique_ptr<HttpExchange> m_http;

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
};
