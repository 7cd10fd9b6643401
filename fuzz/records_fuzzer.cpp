// Arbitrary bytes through the decoders of the records. The first byte picks one decoder (a type
// bare, in a list, in an envelope or as an envelope of a list); the rest is the JSON, parsed once.
// Besides "no crash, no sanitizer report", these must hold for any input:
//  - every failure has a description;
//  - whatever decodes, encodes to bytes that decode again and encode to the same bytes;
//  - where QJsonDocument also accepts the bytes, a caller holding its QJsonValue gets the same
//    outcome as one that hands over the bytes (same record, or the same failure kind and path;
//    for maps, whose members Qt sorts, only that it fails).
// Left out of that comparison, because Qt 6.4 reads them differently from JSON, not because the
// records do:
//  - numbers with an exponent or more than 15 digits: Qt reads them through a double, which
//    rounds (-9223372036854775809 to the smallest integer, 9007199254740993.0 to ...992), while
//    the records read whole numbers from their digits;
//  - a text or key that starts with U+FEFF: Qt drops that character as if it were a byte-order
//    mark of the whole document, while JSON keeps it as part of the text, and so do the records.
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

#include <array>
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

// Conservative too: U+FEFF anywhere, as UTF-8 or as an escape, whether or not it starts a text.
bool holdsByteOrderMark(const QByteArray &bytes)
{
    return bytes.contains("\xef\xbb\xbf") || bytes.toLower().contains("\\ufeff");
}

template <class T> constexpr bool failsAtKnownPlace = true;
// Qt sorts an object's members, so of two bad members in a map each route may name another.
template <class V> constexpr bool failsAtKnownPlace<QMap<QString, V>> = false;
template <class T> constexpr bool failsAtKnownPlace<QList<T>> = failsAtKnownPlace<T>;
template <class T> constexpr bool failsAtKnownPlace<APIResponse<T>> = failsAtKnownPlace<T>;

template <class T> void check(const QByteArray &bytes)
{
    // One document at a time, so that each reuses the parsers' buffers.
    const Outcome direct = outcomeOf([&] { return decodeJson<T>(bytes); });
    if (direct.encoded) {
        const QByteArray again = encodeJson(decodeJson<T>(*direct.encoded));
        if (again != *direct.encoded)
            std::abort();
    }
    if (!direct.encoded && direct.kind == DecodingError::Kind::InvalidJson)
        return; // Qt is laxer in places (it reads some invalid UTF-8, for one); nothing to compare.
    if (holdsRoundedNumber(bytes) || holdsByteOrderMark(bytes.sliced(bytes.startsWith("\xef\xbb\xbf") ? 3 : 0)))
        return;
    QJsonParseError error;
    const QJsonDocument qtDocument = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return;
    const QJsonValue qtValue = qtDocument.isArray() ? QJsonValue(qtDocument.array()) : QJsonValue(qtDocument.object());
    const Outcome viaQt = outcomeOf([&] { return JsonCoding<T>::decode(qtValue); });
    if (viaQt.encoded != direct.encoded)
        std::abort();
    if (failsAtKnownPlace<T> && !direct.encoded && (viaQt.kind != direct.kind || viaQt.path != direct.path))
        std::abort();
}

using Check = void (*)(const QByteArray &);

// Each type bare, in a list, in an envelope and as an envelope of a list.
template <class... T> constexpr auto allForms()
{
    return std::array<Check, 4 * sizeof...(T)>{&check<T>..., &check<QList<T>>..., &check<APIResponse<T>>...,
                                               &check<APIResponse<QList<T>>>...};
}

template <std::size_t A, std::size_t B>
constexpr std::array<Check, A + B> join(const std::array<Check, A> &a, const std::array<Check, B> &b)
{
    std::array<Check, A + B> all{};
    for (std::size_t i = 0; i < A; ++i)
        all[i] = a[i];
    for (std::size_t i = 0; i < B; ++i)
        all[A + i] = b[i];
    return all;
}

// The order fixes what the first byte of a seed means: index = byte % checks.size().
constexpr auto checks = join(allForms<User, Post, PostAttachment, Comment, Track, Album, Playlist, RadioStation, Video,
                                      Channel, ChannelPost, QString, QMap<QString, QString>, QMap<QString, bool>>(),
                             // Envelopes inside envelopes.
                             allForms<APIResponse<User>, APIResponse<Post>, APIResponse<QMap<QString, QString>>>());

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    checks[data[0] % checks.size()](bytes);
    return 0;
}
