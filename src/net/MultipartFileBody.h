#pragma once

#include "FileReadAhead.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

// The multipart body of one file upload, read from the file as it is sent: the part's header, the
// file's bytes and the closing boundary. It is random-access and knows its size, so the network
// stack reads it piece by piece instead of copying it into memory first. The network stack reads
// it on the GUI thread: the file's bytes are read ahead on the file pool (FileReadAhead), and a
// read that finds none there yet gives nothing, and readyRead() once they have come.
//
// The body owns its file's descriptor, which the file pool closes once the body has gone (with
// its reply, on the GUI thread). The file may be a picked copy already removed: the last close
// then frees every block of it, which on a busy disk took over a tenth of a second.
class MultipartFileBody : public QIODevice
{
    Q_OBJECT

public:
    // Takes a descriptor open for reading. The file name goes into the part header with '"', CR
    // and LF escaped as %22, %0D and %0A, so that no name can end the header or add one of its own.
    MultipartFileBody(int fd, const QString &fileName, const QString &boundary);

    static QString newBoundary();
    static QByteArray escapedFileName(const QString &fileName);
    static QByteArray head(const QString &fileName, const QString &boundary);
    static QByteArray tail(const QString &boundary);

    bool isSequential() const override { return false; }
    qint64 size() const override;
    bool seek(qint64 position) override;
    bool reset() override { return seek(0); }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    QByteArray m_head;
    FileReadAhead m_file;
    QByteArray m_tail;
};
