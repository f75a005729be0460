#pragma once

#include "cli/Commands.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

/// The result of one kelvarin-cli command line run in-process.
struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

/// Runs a kelvarin-cli command line (without the program name) in this process.
inline CliRun cli(const QStringList& args) {
    CliRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = kelvarin::runCli(args, out, err);
    out.flush();
    err.flush();
    return r;
}

/// A whole file's bytes, or nothing when it can't be read.
inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
