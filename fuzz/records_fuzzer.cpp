// Arbitrary bytes through every decoder and envelope. Besides "no crash, no sanitizer report", two
// properties must hold for any input:
//  - whatever decodes, encodes to bytes that decode again and encode to the same bytes;
//  - where QJsonDocument also accepts the bytes, a caller holding its QJsonValue gets the same
//    outcome as one that hands over the bytes (same record, or the same failure kind and path;
//    for maps, whose members Qt sorts, only that it fails). Numbers with an exponent or more
//    than 15 digits are left out of that comparison: Qt reads them through a double, which
//    rounds (-9223372036854775809 to the smallest integer, 9007199254740993.0 to ...992), while
//    the records read whole numbers from their digits.
#include "APIResponse.h"
#include "Album.h"
#include "Channel.h"
#include "ChannelPost.h"
#include "Comment.h"
#include "Playlist.h"
#include "Post.h"
#include "PostAttachment.h"
#include "RadioStation.h"
#include "Track.h"
#include "User.h"
#include "Video.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

struct Outcome
{
    std::optional<QByteArray> encoded;
    DecodingError::Kind kind = DecodingError::Kind::InvalidJson;
    QString path;
};

template <class Decode> Outcome outcomeOf(Decode decode)
{
    Outcome outcome;
    try {
        outcome.encoded = encodeJson(decode());
    } catch (const DecodingError &error) {
        // Every failure must be describable.
        if (error.localizedDescription().isEmpty() || error.what()[0] == '\0')
            std::abort();
        outcome.kind = error.kind();
        outcome.path = error.path();
    }
    return outcome;
}

// Conservative: digits inside texts count too, which only skips more comparisons.
bool holdsRoundedNumber(const QByteArray &bytes)
{
    int digits = 0;
    bool afterDigit = false;
    for (const char c : bytes) {
        const bool digit = c >= '0' && c <= '9';
        if ((c == 'e' || c == 'E') && afterDigit)
            return true;
        if (digit && ++digits > 15)
            return true;
        if (!digit && c != '.' && c != '-')
            digits = 0;
        afterDigit = digit;
    }
    return false;
}

template <class T> constexpr bool failsAtKnownPlace = true;
// Qt sorts an object's members, so of two bad members in a map each route may name another.
template <class V> constexpr bool failsAtKnownPlace<QMap<QString, V>> = false;
template <class T> constexpr bool failsAtKnownPlace<QList<T>> = failsAtKnownPlace<T>;
template <class T> constexpr bool failsAtKnownPlace<APIResponse<T>> = failsAtKnownPlace<T>;

template <class T> void check(const QByteArray &bytes, const std::optional<QJsonValue> &qtValue)
{
    const Outcome direct = outcomeOf([&] { return decodeJson<T>(bytes); });
    if (direct.encoded) {
        const QByteArray again = encodeJson(decodeJson<T>(*direct.encoded));
        if (again != *direct.encoded)
            std::abort();
    }
    if (qtValue && (direct.encoded || direct.kind != DecodingError::Kind::InvalidJson)) {
        const Outcome viaQt = outcomeOf([&] { return JsonCoding<T>::decode(*qtValue); });
        if (viaQt.encoded != direct.encoded)
            std::abort();
        if (failsAtKnownPlace<T> && !direct.encoded && (viaQt.kind != direct.kind || viaQt.path != direct.path))
            std::abort();
    }
}

// Each type bare, in a list, in an envelope and as an envelope of a list.
template <class... T> void checkAllForms(const QByteArray &bytes, const std::optional<QJsonValue> &qtValue)
{
    (check<T>(bytes, qtValue), ...);
    (check<QList<T>>(bytes, qtValue), ...);
    (check<APIResponse<T>>(bytes, qtValue), ...);
    (check<APIResponse<QList<T>>>(bytes, qtValue), ...);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    std::optional<QJsonValue> qtValue;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError && !holdsRoundedNumber(bytes))
        qtValue = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());

    checkAllForms<User, Post, PostAttachment, Comment, Track, Album, Playlist, RadioStation, Video, Channel,
                  ChannelPost, QString, QMap<QString, QString>, QMap<QString, bool>>(bytes, qtValue);
    // Envelopes inside envelopes.
    checkAllForms<APIResponse<User>, APIResponse<Post>, APIResponse<QMap<QString, QString>>>(bytes, qtValue);
    return 0;
}
