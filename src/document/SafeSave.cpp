#include "document/SafeSave.h"

#include "document/Error.h"

#include <QFileInfo>
#include <QSaveFile>

namespace kelvarin {

void saveFileSafely(const QString& path, const QByteArray& data) {
    const QFileInfo info(path);
    const QString fullPath = info.absoluteFilePath();
    if (info.isDir()) {
        throw Error::cannotCreate(fullPath, QStringLiteral("It is a folder."));
    }
    if (info.exists()) {
        // A file whose mode gives nobody write permission counts as read-only even for a user
        // (root) whom the system would let write it anyway: replacing it would defeat the
        // owner's intent. (WriteUser is left out: it says what this process may do.)
        constexpr auto anyWrite =
            QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        if (!(info.permissions() & anyWrite) || !info.isWritable()) {
            throw Error::cannotCreate(fullPath, QStringLiteral("Permission denied"));
        }
    }

    QSaveFile file(fullPath);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw Error::cannotCreate(fullPath, file.errorString());
    }
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 n = file.write(data.constData() + written, data.size() - written);
        if (n <= 0) {
            file.cancelWriting();
            throw Error(QStringLiteral("Stream write error"));
        }
        written += n;
    }
    if (!file.commit()) {
        if (file.error() == QFileDevice::WriteError) {
            throw Error(QStringLiteral("Stream write error"));
        }
        throw Error::cannotCreate(fullPath, file.errorString());
    }
}

} // namespace kelvarin
