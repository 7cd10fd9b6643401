// Linked into every test and benchmark: they talk to this machine only. Every connection any
// network access manager (the screens' pictures included) or socket opens asks the application
// proxy factory first, before any name is looked up, so a request for another host stops the
// run there and names the host.
#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkProxyFactory>

namespace {

class LoopbackOnlyProxyFactory final : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        const QString host = query.peerHostName();
        if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0 &&
            !QHostAddress(host).isLoopback())
            qFatal("Refused to contact %s (%s): tests and benchmarks talk to loopback only", qPrintable(host),
                   qPrintable(query.url().toString()));
        return {QNetworkProxy(QNetworkProxy::NoProxy)};
    }
};

void refuseOtherHosts()
{
    QNetworkProxyFactory::setApplicationProxyFactory(new LoopbackOnlyProxyFactory);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(refuseOtherHosts)
