#pragma once

#include "NetworkManager.h"
#include "RecordListModel.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

#include <exception>
#include <functional>

// A screen's model with a busy flag, and the one way its lists come from the service: the flag
// is set at once, then the rows and after them the cleared flag are published when the reply
// arrives; a failed load only clears the flag and keeps what is shown.
class LoadingModel : public QObject
{
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)

public:
    bool isLoading() const { return m_isLoading; }

Q_SIGNALS:
    void isLoadingChanged();

protected:
    using QObject::QObject;

    void setIsLoading(bool value);

    // GET `endpoint` as a list of records into `rows`; `published` announces the new rows.
    template <class Record>
    void loadList(const QString &endpoint, RecordListModel<Record> &rows, std::function<void()> published)
    {
        setIsLoading(true);
        (void)fetchList(endpoint, rows, std::move(published));
    }

private:
    template <class Record>
    QCoro::Task<> fetchList(QString endpoint, RecordListModel<Record> &rows, std::function<void()> published)
    {
        // The rows belong to this object: once it is gone they are not touched.
        const QPointer<LoadingModel> self(this);
        try {
            const QByteArray reply = co_await NetworkManager::shared().fetch(endpoint);
            if (!self)
                co_return;
            // The very bytes the rows were set from, untouched since, would decode to the same
            // rows: a reload of an unchanged list then never holds a second whole list.
            QByteArray digest = NetworkManager::digest(reply);
            if (digest != rows.sourceDigest())
                rows.setRows(ReplyDecoder::decode<QList<Record>>(reply), std::move(digest));
            published();
        } catch (const std::exception &) {
            // A failed load keeps what is shown.
        }
        if (self)
            setIsLoading(false);
    }

    bool m_isLoading = false;
};
