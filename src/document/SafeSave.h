#pragma once

#include <QByteArray>
#include <QString>

namespace kelvarin {

/// Writes a whole file so that it is never left half-written.
///
/// The bytes go to a temporary file beside the target, which replaces the target only once
/// every byte was written; where no file can be made in the target's folder but the target
/// itself is writable, the target is written in place. On any failure the old file stays as it
/// was and an Error is thrown: "Cannot create file "<path>". <reason>" when the file can't be
/// made or replaced, "Stream write error" when writing fails part-way. Every write of the
/// editor (water files, pictures) goes through here.
void saveFileSafely(const QString& path, const QByteArray& data);

} // namespace kelvarin
