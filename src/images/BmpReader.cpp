#include "images/BmpReader.h"

#include "document/Error.h"

namespace kelvarin {

QImage readBmpForImport(const QString&, int) {
    throw Error(QStringLiteral("Bitmap image is not valid"));
}

QImage readBmpForImport(QIODevice&, int) {
    throw Error(QStringLiteral("Bitmap image is not valid"));
}

} // namespace kelvarin
