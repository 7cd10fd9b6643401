#pragma once

#include "ServiceProcess.h"

#include <QObject>

// A test class that runs against the reference service: the settings are emptied and the service
// started once, before the first test, and every test begins with the client pointed at it, so a
// test that points it at a scripted peer leaves nothing behind.
class ServiceTestCase : public QObject
{
    Q_OBJECT

protected:
    ServiceProcess m_service;

private Q_SLOTS:
    void initTestCase();
    void init();
};
