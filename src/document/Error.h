#pragma once

#include <QString>
#include <exception>

namespace kelvarin {

/// A failure that ends an operation, carrying the message the user sees.
///
/// Every operation of the document and picture code reports its failures by throwing one of
/// these; the window shows the message in its error display and the command-line tool prints it.
class Error : public std::exception {
public:
    explicit Error(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

    /// "Cannot open file "<path>". <reason>"
    static Error cannotOpen(const QString& path, const QString& reason) {
        return Error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    }
    /// "Cannot create file "<path>". <reason>"
    static Error cannotCreate(const QString& path, const QString& reason) {
        return Error(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
    }

private:
    QString message_;
    QByteArray utf8_;
};

} // namespace kelvarin
