#include "cli/Commands.h"

#include "cli/HeadlessWindow.h"
#include "document/Error.h"
#include "document/HeightText.h"
#include "document/WaterFile.h"
#include "images/MapImages.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <bit>
#include <memory>

namespace kelvarin {

namespace {

const char* const usageText = R"(Usage: kelvarin-cli COMMAND ARGUMENTS...

Batch work on water map files (waterpro.dat), with the editor's own operations.
LEVEL is 1 to 15, as the editor's level list shows it. HEIGHT is a decimal number with '.'
as the decimal separator (for example 12.5, -3, 1e2). Every command that changes a map
saves it as the editor's Save does (packing the levels first) to OUT, or back to FILE when
-o is not given. Nothing is written when a command fails.

Commands:
  new OUT                               Start an empty map and save it to OUT.
  info FILE [--json]                    Open FILE and print its levels as the editor shows
                                        them: height, cells in each grid, dry cells.
  pack FILE [-o OUT]                    Open FILE and save it (which packs the levels).
  set-height FILE LEVEL HEIGHT [-o OUT] Give LEVEL the height HEIGHT, then save.
  clear FILE LEVEL [-o OUT]             Make every cell of LEVEL dry, then save.
  derive FILE [-o OUT]                  Derive the 64x64 grid from the 128x128 grid, then save.
  export FILE high|low PICTURE          Write the 128x128 (high) or 64x64 (low) grid as a 4-bit
                                        BMP picture.
  import FILE high|low PICTURE [--seed N] [-o OUT]
                                        Replace the grid from a BMP picture: each level colour
                                        becomes a new level with a provisional height from 1.0
                                        to 1.999 (--seed N makes them repeatable), then save.

Options:
  -o, --output OUT   Save to OUT instead of FILE.
  --json             (info) Print one JSON object instead of a table.
  --seed N           (import) Seed the random heights with the whole number N.
  -h, --help         Show this help.

Exit status: 0 on success, 1 when an operation fails (the message goes to standard error),
2 for wrong arguments.
)";

struct UsageError {
    QString message;
};

// The argument count each command takes, and the options it allows.
struct CommandShape {
    const char* name;
    int arguments;
    bool output;
    bool json;
    bool seed;
};

constexpr CommandShape shapes[] = {
    {"new", 1, false, false, false},    {"info", 1, false, true, false},
    {"pack", 1, true, false, false},    {"set-height", 3, true, false, false},
    {"clear", 2, true, false, false},   {"derive", 1, true, false, false},
    {"export", 3, false, false, false}, {"import", 3, true, false, true},
};

int parseLevel(const QString& text) {
    bool ok = false;
    const int level = text.toInt(&ok);
    if (!ok || level < 1 || level > LevelCount) {
        throw UsageError{
            QStringLiteral("LEVEL must be a whole number from 1 to 15, not \"%1\".").arg(text)};
    }
    return level - 1;
}

Grid parseGrid(const QString& text) {
    if (text == QLatin1String("high")) {
        return Grid::High;
    }
    if (text == QLatin1String("low")) {
        return Grid::Low;
    }
    throw UsageError{QStringLiteral("The grid must be \"high\" or \"low\", not \"%1\".").arg(text)};
}

QString hexBits(float value) {
    return QStringLiteral("%1")
        .arg(std::bit_cast<quint32>(value), 8, 16, QLatin1Char('0'))
        .toUpper();
}

QString absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

int cellsHolding(const auto& grid, int code) {
    return static_cast<int>(std::count(grid.begin(), grid.end(), static_cast<std::uint8_t>(code)));
}

int cellsFrom(const auto& grid, int first, int last) {
    return static_cast<int>(std::count_if(grid.begin(), grid.end(),
                                          [=](std::uint8_t c) { return c >= first && c <= last; }));
}

void printInfo(const WaterMap& map, bool json, QTextStream& out) {
    const int dryHigh = cellsFrom(map.HighRes, 15, 255);
    const int dryLow = cellsFrom(map.LowRes, 15, 255);
    const int keptHigh = cellsFrom(map.HighRes, 15, 47);
    const int keptLow = cellsFrom(map.LowRes, 15, 47);
    if (json) {
        QJsonArray levels;
        for (int k = 0; k < LevelCount; ++k) {
            QJsonObject level;
            level[QStringLiteral("level")] = k + 1;
            level[QStringLiteral("height")] =
                formatHeight(map.Levels[k], HeightPattern::Field, QLatin1Char('.'));
            level[QStringLiteral("bits")] = hexBits(map.Levels[k]);
            level[QStringLiteral("used")] = map.IsLevelUsed(static_cast<std::uint8_t>(k));
            level[QStringLiteral("cellsHigh")] = cellsHolding(map.HighRes, k);
            level[QStringLiteral("cellsLow")] = cellsHolding(map.LowRes, k);
            levels.append(level);
        }
        QJsonObject root;
        root[QStringLiteral("file")] = map.FileName;
        root[QStringLiteral("levels")] = levels;
        root[QStringLiteral("dryHigh")] = dryHigh;
        root[QStringLiteral("dryLow")] = dryLow;
        root[QStringLiteral("keptHigh")] = keptHigh;
        root[QStringLiteral("keptLow")] = keptLow;
        out << QJsonDocument(root).toJson(QJsonDocument::Indented);
        return;
    }
    out << "File: " << map.FileName << "\n\n";
    out << "Level  Height          Bits      128x128 cells  64x64 cells\n";
    for (int k = 0; k < LevelCount; ++k) {
        const bool used = map.IsLevelUsed(static_cast<std::uint8_t>(k));
        const QString height =
            used ? formatHeight(map.Levels[k], HeightPattern::Field, QLatin1Char('.'))
                 : QStringLiteral("(not used)");
        out << QStringLiteral("%1     %2  %3  %4  %5\n")
                   .arg(formatLevelNumber(k + 1))
                   .arg(height, -14)
                   .arg(hexBits(map.Levels[k]))
                   .arg(cellsHolding(map.HighRes, k), 13)
                   .arg(cellsHolding(map.LowRes, k), 11);
    }
    out << QStringLiteral("\nDry cells: %1 of 16384 in 128x128, %2 of 4096 in 64x64\n")
               .arg(dryHigh)
               .arg(dryLow);
    if (keptHigh + keptLow > 0) {
        out << QStringLiteral("Cells beyond the 15 levels (dry in the editor, water in the game, "
                              "kept on save): %1 in 128x128, %2 in 64x64\n")
                   .arg(keptHigh)
                   .arg(keptLow);
    }
}

// A negative number ("-3", "-.5") is an argument, not an option: such words move behind a
// "--", which keeps their order among themselves. Only HEIGHT, the last argument of its
// command, can be one, so the order of the arguments stays as given.
QStringList numbersAsArguments(const QStringList& arguments) {
    if (arguments.contains(QStringLiteral("--"))) {
        return arguments;
    }
    static const QRegularExpression negativeNumber(QStringLiteral("^-[0-9.]"));
    QStringList words;
    QStringList numbers;
    for (const QString& a : arguments) {
        (negativeNumber.match(a).hasMatch() ? numbers : words) << a;
    }
    if (numbers.isEmpty()) {
        return arguments;
    }
    return words + QStringList{QStringLiteral("--")} + numbers;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption outputOption({QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("Save to OUT."), QStringLiteral("OUT"));
    const QCommandLineOption jsonOption(QStringLiteral("json"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed."),
                                        QStringLiteral("N"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({outputOption, jsonOption, seedOption, helpOption});
    if (!parser.parse(QStringList{QStringLiteral("kelvarin-cli")} +
                      numbersAsArguments(arguments))) {
        throw UsageError{parser.errorText()};
    }
    if (parser.isSet(helpOption)) {
        out << usageText;
        return CliOk;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        throw UsageError{QStringLiteral("No command given.")};
    }
    const QString command = positional.takeFirst();
    const auto shape = std::find_if(std::begin(shapes), std::end(shapes), [&](const auto& s) {
        return command == QLatin1String(s.name);
    });
    if (shape == std::end(shapes)) {
        throw UsageError{QStringLiteral("Unknown command \"%1\".").arg(command)};
    }
    if (positional.size() != shape->arguments) {
        throw UsageError{
            QStringLiteral("\"%1\" takes %2 argument(s).").arg(command).arg(shape->arguments)};
    }
    if ((parser.isSet(outputOption) && !shape->output) ||
        (parser.isSet(jsonOption) && !shape->json) || (parser.isSet(seedOption) && !shape->seed)) {
        throw UsageError{QStringLiteral("An option does not fit the command \"%1\".").arg(command)};
    }

    // Everything the command needs is checked before any file is touched.
    int level = 0;
    Grid grid = Grid::High;
    std::optional<float> height;
    std::optional<quint32> seed;
    if (command == QLatin1String("set-height") || command == QLatin1String("clear")) {
        level = parseLevel(positional[1]);
    }
    if (command == QLatin1String("export") || command == QLatin1String("import")) {
        grid = parseGrid(positional[1]);
    }
    if (parser.isSet(seedOption)) {
        bool ok = false;
        seed = parser.value(seedOption).toUInt(&ok);
        if (!ok) {
            throw UsageError{QStringLiteral("--seed takes a whole number from 0 to 4294967295.")};
        }
    }
    if (command == QLatin1String("set-height")) {
        height = parseHeight(positional[2], QLatin1Char('.'));
        if (!height) {
            throw Error(QStringLiteral("Please enter a floating point value!"));
        }
    }

    // The map is large for the stack of a small tool; it lives on the heap here.
    const auto map = std::make_unique<WaterMap>();
    HeadlessWindow window(*map, err);
    auto saveTo = [&](const QString& defaultPath) {
        map->FileName =
            absolute(parser.isSet(outputOption) ? parser.value(outputOption) : defaultPath);
        SaveWaterFile(*map, window);
    };

    if (command == QLatin1String("new")) {
        map->NewMap(window);
        saveTo(positional[0]);
        return CliOk;
    }

    OpenWaterFileAt(*map, window, positional[0]);
    if (command == QLatin1String("info")) {
        printInfo(*map, parser.isSet(jsonOption), out);
        return CliOk;
    }
    if (command == QLatin1String("set-height")) {
        map->SetLevelHeight(level, *height);
    } else if (command == QLatin1String("clear")) {
        map->ClearLevel(level, window);
    } else if (command == QLatin1String("derive")) {
        map->DeriveLowRes(window);
    } else if (command == QLatin1String("export")) {
        window.picturePath = absolute(positional[2]);
        (grid == Grid::High ? ExportHighResImage : ExportLowResImage)(*map, window);
        return CliOk;
    } else if (command == QLatin1String("import")) {
        window.picturePath = absolute(positional[2]);
        QRandomGenerator random =
            seed ? QRandomGenerator(*seed) : QRandomGenerator::securelySeeded();
        (grid == Grid::High ? ImportHighResImage : ImportLowResImage)(*map, window, random);
    }
    saveTo(positional[0]);
    return CliOk;
}

} // namespace

int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    try {
        return run(arguments, out, err);
    } catch (const UsageError& e) {
        err << "kelvarin-cli: " << e.message << "\n\n" << usageText;
        err.flush();
        return CliUsage;
    } catch (const Error& e) {
        err << e.message() << Qt::endl;
        return CliFailed;
    }
}

} // namespace kelvarin
