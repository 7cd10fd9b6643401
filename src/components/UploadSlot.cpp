#include "UploadSlot.h"

#include "NetworkManager.h"
#include "PickedCopies.h"

#include <QCoroFuture>
#include <QPointer>
#include <QScopeGuard>

#include <exception>
#include <optional>

UploadSlot::UploadSlot(QObject *parent) : QObject(parent) {}

UploadSlot::~UploadSlot()
{
    // A copy still being made is of no use to anyone once its form has gone.
    for (const QString &copy : std::as_const(m_copying))
        PickedCopies::remove(copy);
}

void UploadSlot::setAddress(const QString &address)
{
    if (m_address == address)
        return;
    m_address = address;
    Q_EMIT addressChanged();
}

void UploadSlot::uploadImage(const QImage &image)
{
    (void)run(image);
}

void UploadSlot::uploadFile(const QString &localPath)
{
    (void)run(localPath);
}

void UploadSlot::uploadFile(const QUrl &fileUrl)
{
    uploadFile(fileUrl.isLocalFile() ? fileUrl.toLocalFile() : fileUrl.toString());
}

QCoro::Task<> UploadSlot::run(std::variant<QImage, QString> source)
{
    const QPointer<UploadSlot> self(this);
    const quint64 generation = m_generation;
    setUploading(true);
    NetworkManager &network = NetworkManager::shared();
    // A picked copy exists only to be sent: it goes when this upload ends, on every path out, also
    // when the slot went first. Any other file is left as it is.
    const QString *path = std::get_if<QString>(&source);
    const auto removeCopy = qScopeGuard([copy = path ? *path : QString()] {
        if (!copy.isEmpty())
            PickedCopies::remove(copy);
    });
    std::optional<QString> address;
    try {
        if (const QImage *image = std::get_if<QImage>(&source)) {
            address = co_await network.uploadImage(*image);
        } else {
            // A large file is still being copied: the spinner turns meanwhile, the window draws on.
            m_copying.insert(*path);
            const bool copied = co_await PickedCopies::whenCopied(*path);
            if (!self)
                co_return;
            m_copying.remove(*path);
            if (copied)
                address = co_await network.uploadFile(*path);
            else
                qWarning("The picked file %s could not be copied whole", qPrintable(*path));
        }
    } catch (const std::exception &) {
        // The slot keeps the address it had.
    }
    if (!self)
        co_return;
    if (address && generation == m_generation)
        setAddress(*address);
    setUploading(false);
}

void UploadSlot::setUploading(bool uploading)
{
    if (m_isUploading == uploading)
        return;
    m_isUploading = uploading;
    Q_EMIT uploadingChanged();
}
