#include "ServiceTest.h"

#include <QTest>

void ServiceTest::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errors()));
    m_http = std::make_unique<HttpExchange>(m_service.siteUrl());
}

void ServiceTest::cleanupTestCase()
{
    QVERIFY(m_service.stop()); // exits by itself with code 0: nothing in the case made it crash
}
