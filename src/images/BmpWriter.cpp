#include "images/BmpWriter.h"

namespace kelvarin {

QByteArray encodeBmp4(const QImage&) {
    return {};
}

} // namespace kelvarin
