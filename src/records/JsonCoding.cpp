#include "JsonCoding.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <limits>

namespace JsonRead {

void failType(const QJsonValue &value, const JsonPath &path, const char *expected)
{
    if (value.isUndefined())
        fail(DecodingError::Kind::Missing, path);
    if (value.isNull())
        fail(DecodingError::Kind::Null, path);
    fail(DecodingError::Kind::WrongType, path, QString::fromUtf8(expected));
}

void fail(DecodingError::Kind kind, const JsonPath &path, const QString &detail)
{
    throw DecodingError(kind, path.toString(), detail);
}

QJsonObject object(const QJsonValue &value, const JsonPath &path)
{
    if (value.isObject())
        return value.toObject();
    if (value.isUndefined())
        fail(DecodingError::Kind::Missing, path);
    if (value.isNull())
        fail(DecodingError::Kind::Null, path);
    fail(DecodingError::Kind::NotAnObject, path);
}

QJsonValue parse(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError)
        return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());

    // QJsonDocument holds only objects and arrays; a bare text or number (a reply of one string)
    // is read as the single element of an array around it.
    const QByteArray trimmed = bytes.trimmed();
    if (!trimmed.isEmpty() && trimmed.front() != '{' && trimmed.front() != '[') {
        QJsonParseError wrappedError;
        const QJsonDocument wrapped = QJsonDocument::fromJson('[' + trimmed + ']', &wrappedError);
        if (wrappedError.error == QJsonParseError::NoError && wrapped.array().size() == 1)
            return wrapped.array().at(0);
    }
    throw DecodingError(DecodingError::Kind::InvalidJson, QString(),
                        QStringLiteral("%1, позиция %2").arg(error.errorString()).arg(error.offset));
}

} // namespace JsonRead

qint64 JsonCoding<qint64>::decodeAt(const QJsonValue &value, const JsonPath &path)
{
    if (value.isDouble()) {
        // toInteger() answers its fallback for a number that is not a whole 64-bit value; a
        // second fallback tells a real minimum from a refusal.
        constexpr qint64 sentinel = std::numeric_limits<qint64>::min();
        const qint64 result = value.toInteger(sentinel);
        if (result != sentinel || value.toInteger(0) == sentinel)
            return result;
    }
    JsonRead::failType(value, path, "целое число");
}

bool JsonCoding<bool>::decodeAt(const QJsonValue &value, const JsonPath &path)
{
    if (!value.isBool())
        JsonRead::failType(value, path, "true или false");
    return value.toBool();
}

double JsonCoding<double>::decodeAt(const QJsonValue &value, const JsonPath &path)
{
    if (!value.isDouble())
        JsonRead::failType(value, path, "число");
    return value.toDouble();
}

QString JsonCoding<QString>::decodeAt(const QJsonValue &value, const JsonPath &path)
{
    if (!value.isString())
        JsonRead::failType(value, path, "строка");
    return value.toString();
}
