#pragma once

#include "NetworkManager.h"
#include "RecordListModel.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

#include <exception>
#include <functional>
#include <utility>

// A screen's model with a busy flag, and the one way its lists come from the service: the flag
// is set at once, then the rows and after them the cleared flag are published when the reply
// arrives; a failed load only clears the flag and keeps what is shown. While loads overlap, the
// latest one publishes (or, if it fails, the one before it).
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
        const quint64 ticket = ++m_loadsStarted;
        QByteArray reply;
        bool arrived = true;
        try {
            reply = co_await NetworkManager::shared().fetch(endpoint);
        } catch (const std::exception &) {
            arrived = false;
        }
        if (!self)
            co_return;
        if (ticket != m_loadsStarted) {
            // A later load of the list is under way and brings it as it is now: this reply is not
            // decoded, so that two whole lists never stand in memory at once (the model's load
            // and the screen's at launch). Its bytes wait in case the later load fails.
            if (arrived && m_loadsEnded < ticket)
                m_heldReply = std::move(reply);
            co_return;
        }
        m_loadsEnded = ticket;
        QByteArray fallback = std::exchange(m_heldReply, QByteArray());
        for (const QByteArray *bytes : {&reply, &fallback}) {
            if ((bytes == &reply && !arrived) || bytes->isEmpty())
                continue;
            try {
                // The very bytes the rows were set from, untouched since, would decode to the
                // same rows: a reload of an unchanged list then holds no second list either.
                QByteArray digest = NetworkManager::digest(*bytes);
                if (digest != rows.sourceDigest())
                    rows.setRows(ReplyDecoder::decode<QList<Record>>(*bytes), std::move(digest));
                published();
                break;
            } catch (const std::exception &) {
                // A failed load keeps what is shown.
            }
        }
        setIsLoading(false);
    }

    quint64 m_loadsStarted = 0;
    quint64 m_loadsEnded = 0;
    QByteArray m_heldReply;
    bool m_isLoading = false;
};
