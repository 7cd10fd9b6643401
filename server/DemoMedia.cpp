// The demo pictures, sounds and clips, drawn and synthesised here. Pictures hold shapes and
// gradients only (no text), so that they need no fonts and no display.
#include "DemoContent.h"
#include "MediaStore.h"
#include "MjpegAvi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <functional>
#include <future>
#include <vector>

namespace {
using Painter = std::function<void(QPainter &, const QSize &)>;

struct Palette
{
    QColor from;
    QColor to;
    QColor accent;
};

const Palette Palettes[] = {
    {QColor(0x00, 0x7A, 0xFF), QColor(0x5A, 0xC8, 0xFA), QColor(0xFF, 0xFF, 0xFF)},
    {QColor(0xFF, 0x95, 0x00), QColor(0xFF, 0x3B, 0x30), QColor(0xFF, 0xF4, 0xD6)},
    {QColor(0x34, 0xC7, 0x59), QColor(0x30, 0xB0, 0xC7), QColor(0xE8, 0xFF, 0xEE)},
    {QColor(0xAF, 0x52, 0xDE), QColor(0x58, 0x56, 0xD6), QColor(0xF3, 0xE8, 0xFF)},
    {QColor(0xFF, 0x2D, 0x55), QColor(0xFF, 0x9F, 0x0A), QColor(0xFF, 0xE8, 0xEE)},
    {QColor(0x1C, 0x1C, 0x1E), QColor(0x3A, 0x3A, 0x3C), QColor(0x64, 0xD2, 0xFF)},
};

void background(QPainter &p, const QSize &size, const Palette &palette)
{
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, palette.from);
    gradient.setColorAt(1, palette.to);
    p.fillRect(QRect(QPoint(0, 0), size), gradient);
}

// A head-and-shoulders figure on a gradient.
Painter avatar(const Palette &palette)
{
    return [palette](QPainter &p, const QSize &size) {
        background(p, size, palette);
        const double w = size.width();
        p.setPen(Qt::NoPen);
        QColor figure = palette.accent;
        figure.setAlpha(230);
        p.setBrush(figure);
        p.drawEllipse(QPointF(w / 2, w * 0.40), w * 0.19, w * 0.19);
        p.drawEllipse(QPointF(w / 2, w * 1.02), w * 0.36, w * 0.38);
    };
}

// Hills under a sun: the cover of a profile or a channel.
Painter landscape(const Palette &palette, double sunX)
{
    return [palette, sunX](QPainter &p, const QSize &size) {
        background(p, size, palette);
        const double w = size.width();
        const double h = size.height();
        p.setPen(Qt::NoPen);
        QRadialGradient sun(QPointF(w * sunX, h * 0.35), h * 0.5);
        sun.setColorAt(0, QColor(255, 255, 255, 220));
        sun.setColorAt(0.35, QColor(255, 255, 255, 120));
        sun.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(sun);
        p.drawEllipse(QPointF(w * sunX, h * 0.35), h * 0.5, h * 0.5);
        for (int layer = 0; layer < 3; ++layer) {
            QPainterPath hills;
            hills.moveTo(0, h);
            const double base = h * (0.62 + 0.12 * layer);
            for (int x = 0; x <= 40; ++x) {
                const double fx = w * x / 40.0;
                hills.lineTo(fx, base - h * 0.08 * std::sin(x * (0.35 + 0.15 * layer) + layer * 1.7));
            }
            hills.lineTo(w, h);
            hills.closeSubpath();
            p.setBrush(QColor(0, 0, 0, 40 + 35 * layer));
            p.drawPath(hills);
        }
    };
}

// Concentric rings and a disc: a record sleeve.
Painter sleeve(const Palette &palette)
{
    return [palette](QPainter &p, const QSize &size) {
        background(p, size, palette);
        const QPointF centre(size.width() / 2.0, size.height() / 2.0);
        const double r = size.width() * 0.38;
        p.setBrush(QColor(20, 20, 20, 220));
        p.setPen(Qt::NoPen);
        p.drawEllipse(centre, r, r);
        p.setBrush(Qt::NoBrush);
        for (int i = 1; i < 7; ++i) {
            p.setPen(QPen(QColor(255, 255, 255, 28), 2));
            p.drawEllipse(centre, r * (0.45 + i * 0.075), r * (0.45 + i * 0.075));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(palette.from);
        p.drawEllipse(centre, r * 0.3, r * 0.3);
        p.setBrush(palette.accent);
        p.drawEllipse(centre, r * 0.05, r * 0.05);
    };
}

// The site logo: a white "V" of two strokes on the brand gradient in a rounded square.
void logo(QPainter &p, const QSize &size)
{
    const double w = size.width();
    p.fillRect(QRect(QPoint(0, 0), size), Qt::transparent);
    QLinearGradient gradient(0, 0, w, w);
    gradient.setColorAt(0, QColor(0x00, 0x7A, 0xFF));
    gradient.setColorAt(1, QColor(0xAF, 0x52, 0xDE));
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(0, 0, w, w), w * 0.22, w * 0.22);
    QPainterPath v;
    v.moveTo(w * 0.27, w * 0.28);
    v.lineTo(w * 0.5, w * 0.74);
    v.lineTo(w * 0.73, w * 0.28);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, w * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(v);
}

bool savePicture(const QString &path, const QSize &size, const Painter &paint)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, size);
    painter.end();
    return image.save(path, "PNG");
}

// A short tune of sine notes with soft edges, 16-bit mono PCM.
bool saveTune(const QString &path, const QList<double> &notes, double secondsPerNote)
{
    constexpr int Rate = 22050;
    const int perNote = int(Rate * secondsPerNote);
    QByteArray samples;
    samples.reserve(notes.size() * perNote * 2);
    for (double frequency : notes) {
        for (int i = 0; i < perNote; ++i) {
            const double t = double(i) / Rate;
            const double envelope = std::min({1.0, i / (Rate * 0.02), (perNote - i) / (Rate * 0.08)});
            const double value = 0.3 * envelope * (std::sin(2 * M_PI * frequency * t) + 0.3 * std::sin(4 * M_PI * frequency * t));
            char bytes[2];
            qToLittleEndian(qint16(std::lround(value * 32767 / 1.3)), bytes);
            samples.append(bytes, 2);
        }
    }
    QByteArray wav("RIFF");
    auto put32 = [&wav](quint32 v) { char b[4]; qToLittleEndian(v, b); wav.append(b, 4); };
    auto put16 = [&wav](quint16 v) { char b[2]; qToLittleEndian(v, b); wav.append(b, 2); };
    put32(quint32(36 + samples.size()));
    wav += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(Rate);
    put32(Rate * 2);
    put16(2);
    put16(16);
    wav += "data";
    put32(quint32(samples.size()));
    wav += samples;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(wav) == wav.size();
}

// A few seconds of a disc sliding over a landscape.
bool saveClip(const QString &path, const Palette &palette)
{
    const QSize size(320, 180);
    QList<QImage> frames;
    for (int i = 0; i < 36; ++i) {
        QImage frame(size, QImage::Format_RGB32);
        QPainter p(&frame);
        p.setRenderHint(QPainter::Antialiasing);
        landscape(palette, 0.15 + 0.02 * i)(p, size);
        p.end();
        frames.append(frame);
    }
    return MjpegAvi::write(path, frames, 12);
}

// Written under a temporary name and renamed once whole, so that a start cut short (a crash,
// kill -9) leaves either a complete file or none, and the next start makes what is missing.
bool writeWhole(const QString &path, const std::function<bool(const QString &)> &write)
{
    const QFileInfo target(path);
    const QString partial = target.dir().filePath(QLatin1Char('.') + target.fileName() + QStringLiteral(".part"));
    if (!write(partial) || std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(partial);
        return false;
    }
    return true;
}
}

bool DemoContent::makeMedia(const MediaStore &media, QString &error)
{
    const QDir dir(media.demoDir());
    for (const QString &name : dir.entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(name));
    // Each file is made on its own thread: the service starts in every test, so start-up counts.
    std::vector<std::pair<QString, std::future<bool>>> jobs;
    auto make = [&](const QString &name, std::function<bool(const QString &)> write) {
        const QString path = dir.filePath(name);
        if (!QFileInfo::exists(path))
            jobs.emplace_back(name, std::async(std::launch::async, [path, write] { return writeWhole(path, write); }));
    };
    auto picture = [&](const QString &name, QSize size, Painter paint) {
        make(name, [size, paint](const QString &path) { return savePicture(path, size, paint); });
    };

    picture(QStringLiteral("logo.png"), QSize(512, 512), logo);
    for (int i = 0; i < 6; ++i) {
        const Palette &palette = Palettes[i];
        picture(QStringLiteral("avatar-%1.png").arg(i + 1), QSize(256, 256), avatar(palette));
        picture(QStringLiteral("cover-%1.png").arg(i + 1), QSize(1200, 400), landscape(palette, 0.2 + 0.12 * i));
        picture(QStringLiteral("photo-%1.png").arg(i + 1), QSize(800, 600), landscape(Palettes[(i + 2) % 6], 0.75 - 0.1 * i));
        picture(QStringLiteral("sleeve-%1.png").arg(i + 1), QSize(400, 400), sleeve(palette));
    }
    make(QStringLiteral("tune-1.wav"), [](const QString &p) { return saveTune(p, {523.25, 659.25, 783.99, 1046.5}, 0.5); });
    make(QStringLiteral("tune-2.wav"), [](const QString &p) { return saveTune(p, {440.0, 392.0, 349.23, 329.63, 293.66}, 0.4); });
    make(QStringLiteral("tune-3.wav"), [](const QString &p) { return saveTune(p, {261.63, 329.63, 392.0, 329.63, 261.63, 196.0}, 0.35); });
    make(QStringLiteral("clip-1.avi"), [](const QString &p) { return saveClip(p, Palettes[0]); });
    make(QStringLiteral("clip-2.avi"), [](const QString &p) { return saveClip(p, Palettes[3]); });

    QStringList failed;
    for (auto &[name, job] : jobs) {
        if (!job.get())
            failed.append(name);
    }
    if (!failed.isEmpty()) {
        error = QStringLiteral("cannot write the demo media in %1: %2").arg(dir.absolutePath(), failed.join(QStringLiteral(", ")));
        return false;
    }
    return true;
}
