#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cmath>

// A mono 16-bit PCM WAV of a soft sine tone, for uploads that must play and report a length.
// `dataSizeField` overrides the size the "data" chunk announces (a recorder that never finished).
inline QByteArray wavSample(double seconds, int sampleRate = 8000, qint64 dataSizeField = -1)
{
    const int samples = int(seconds * sampleRate);
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i) {
        const auto value = qint16(3000 * std::sin(2 * M_PI * 440 * i / sampleRate));
        qToLittleEndian<qint16>(value, pcm.data() + 2 * i);
    }
    const auto le32 = [](quint32 value) {
        QByteArray bytes(4, Qt::Uninitialized);
        qToLittleEndian<quint32>(value, bytes.data());
        return bytes;
    };
    const auto le16 = [](quint16 value) {
        QByteArray bytes(2, Qt::Uninitialized);
        qToLittleEndian<quint16>(value, bytes.data());
        return bytes;
    };
    QByteArray wav = "RIFF" + le32(quint32(36 + pcm.size())) + "WAVE";
    wav += "fmt " + le32(16) + le16(1) + le16(1) + le32(quint32(sampleRate)) + le32(quint32(sampleRate * 2)) + le16(2) +
           le16(16);
    wav += "data" + le32(dataSizeField < 0 ? quint32(pcm.size()) : quint32(dataSizeField)) + pcm;
    return wav;
}
