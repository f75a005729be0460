// Fuzz target of the water file decoder: any bytes either decode or are refused with Error.

#include "document/Error.h"
#include "document/WaterFile.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const kelvarin::DecodedWaterFile decoded =
            kelvarin::decodeWaterFile(bytes, QStringLiteral("/fuzz/waterpro.dat"));
        (void)decoded;
    } catch (const kelvarin::Error&) {
    }
    return 0;
}
