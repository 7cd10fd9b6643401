#include "JsonCoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>


namespace JsonRead {

void failType(QCborValue::Type type, const JsonPath &path, const char *expected)
{
    if (type == QCborValue::Undefined)
        fail(DecodingError::Kind::Missing, path);
    if (type == QCborValue::Null)
        fail(DecodingError::Kind::Null, path);
    fail(DecodingError::Kind::WrongType, path, QString::fromUtf8(expected));
}

void fail(DecodingError::Kind kind, const JsonPath &path, const QString &detail)
{
    throw DecodingError(kind, path.toString(), detail);
}

QCborMap object(const QCborValue &value, const JsonPath &path)
{
    if (value.isMap())
        return value.toMap();
    if (value.isUndefined())
        fail(DecodingError::Kind::Missing, path);
    if (value.isNull())
        fail(DecodingError::Kind::Null, path);
    fail(DecodingError::Kind::NotAnObject, path);
}

QCborValue parse(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError)
        return document.isArray() ? QCborValue(QCborArray::fromJsonArray(document.array()))
                                  : QCborValue(QCborMap::fromJsonObject(document.object()));

    // QJsonDocument holds only objects and arrays; a bare text or number (a reply of one string)
    // is read as the single element of an array around it.
    const QByteArray trimmed = bytes.trimmed();
    if (!trimmed.isEmpty() && trimmed.front() != '{' && trimmed.front() != '[') {
        QJsonParseError wrappedError;
        const QJsonDocument wrapped = QJsonDocument::fromJson('[' + trimmed + ']', &wrappedError);
        if (wrappedError.error == QJsonParseError::NoError && wrapped.array().size() == 1)
            return QCborValue::fromJsonValue(wrapped.array().at(0));
    }
    throw DecodingError(DecodingError::Kind::InvalidJson, QString(),
                        QStringLiteral("%1, позиция %2").arg(error.errorString()).arg(error.offset));
}

} // namespace JsonRead
