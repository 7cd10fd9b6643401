#include "SiteAddress.h"

QUrl SiteAddress::logoUrl()
{
    const QUrl url(QStringLiteral(VORLANE_SITE_URL "/Logo/vorlane.png"), QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty() ? url : QUrl();
}

QString SiteAddress::root()
{
    QString site = QStringLiteral(VORLANE_SITE_URL);
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site;
}
