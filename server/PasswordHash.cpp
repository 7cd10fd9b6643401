#include "PasswordHash.h"

#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace {
constexpr int Iterations = 40000;
constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              HashBytes);
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
    return equalInConstantTime(derive(password, salt, iterations), hash);
}
