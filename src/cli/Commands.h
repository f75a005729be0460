#pragma once

#include <QStringList>
#include <QTextStream>

namespace kelvarin {

/// Exit codes of kelvarin-cli.
enum CliExit { CliOk = 0, CliFailed = 1, CliUsage = 2 };

/// Runs one kelvarin-cli command line (`arguments` without the program name) on a map of its
/// own, writing results to `out` and messages to `err`. Returns the exit code.
int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace kelvarin
