#include "ServiceTestCase.h"

#include "NetworkManager.h"
#include "ScreenDriver.h"

#include <QTest>

void ServiceTestCase::initTestCase()
{
    ScreenDriver::clearSettings();
    QVERIFY2(m_service.start(), qPrintable(m_service.errors()));
}

void ServiceTestCase::init()
{
    NetworkManager::shared().setBaseURL(m_service.baseUrl());
}
