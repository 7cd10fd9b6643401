#pragma once

#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

// Addresses on the site itself (not under the API), fixed when the program is built.
class SiteAddress : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QUrl logoUrl READ logoUrl CONSTANT)

public:
    using QObject::QObject;

    // The sign-in screen's logo; empty when the site address does not parse, so no logo shows.
    static QUrl logoUrl();

    // The site address as built in, without a trailing "/": the start of every share link.
    static QString root();
};
