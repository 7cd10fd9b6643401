#include "PasswordHash.h"

#include <QRandomGenerator>
#include <QSemaphore>
#include <QThread>
#include <openssl/evp.h>

namespace {
constexpr int Iterations = 40000;
constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;

// Hashing is slow on purpose; a burst of sign-ins must not take every core from the other
// requests, so only half of them hash at once and the rest wait their turn.
QSemaphore &hashingSlots()
{
    static QSemaphore gate(std::max(1, QThread::idealThreadCount() / 2));
    return gate;
}

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray utf8 = password.toUtf8();
    QByteArray key(HashBytes, Qt::Uninitialized);
    QSemaphore &gate = hashingSlots();
    gate.acquire();
    const QSemaphoreReleaser release(gate);
    if (PKCS5_PBKDF2_HMAC(utf8.constData(), int(utf8.size()), reinterpret_cast<const unsigned char *>(salt.constData()),
                          int(salt.size()), iterations, EVP_sha256(), HashBytes,
                          reinterpret_cast<unsigned char *>(key.data())) != 1)
        return {};
    return key;
}

bool equalInConstantTime(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}
}

PasswordHash PasswordHash::make(const QString &password)
{
    QByteArray salt(SaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), SaltBytes / 4);
    return {salt, derive(password, salt, Iterations), Iterations};
}

bool PasswordHash::matches(const QString &password) const
{
    if (iterations <= 0 || salt.isEmpty())
        return false;
    const QByteArray derived = derive(password, salt, iterations);
    return !derived.isEmpty() && equalInConstantTime(derived, hash);
}
