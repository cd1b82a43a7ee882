#include "CliTool.h"

#include "CliCommands.h"
#include "FileIO.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace {

const char kCommands[] =
    "Commands:\n"
    "  render IN... [-o OUT.wav | -d DIR] [--repeats N] [--rate 11025|22050|44100] [--bits 8|16]\n"
    "      Renders each .zdl or .efc file to a WAV file holding what play would play.\n"
    "      Without -o or -d each WAV is written beside its input. The options override\n"
    "      the file's settings for this render only.\n"
    "  info IN... [--json]\n"
    "      Prints the settings and the figures of the rendered sound of each file.\n"
    "  convert IN.efc... [-o OUT.zdl | -d DIR]\n"
    "      Writes each old-style file as a .zdl file (by default beside it).\n"
    "  new -o OUT.zdl\n"
    "      Writes the settings of a new sound.\n"
    "\n"
    "-o - writes to the standard output. -d DIR is created when it does not exist.\n"
    "A file whose name ends in efc (any case) is read as an old-style file.\n"
    "Exit status: 0 success, 1 a bad input or an output that could not be written,\n"
    "2 wrong usage.\n";

struct CommandOptions {
    const char* command;
    QStringList allowed;
};

// The options each command accepts; anything else is wrong usage.
const CommandOptions kAllowed[] = {
    {"render", {"o", "d", "repeats", "rate", "bits"}},
    {"info", {"json"}},
    {"convert", {"o", "d"}},
    {"new", {"o"}},
};

// The value of a numeric option, when it is one of `choices` (or within
// [low, high] when no choices are given).
bool numberOption(const QString& text, int low, int high, std::initializer_list<int> choices, int& value) {
    bool isNumber = false;
    value = text.toInt(&isNumber);
    if (!isNumber) return false;
    if (choices.size() > 0) return std::find(choices.begin(), choices.end(), value) != choices.end();
    return value >= low && value <= high;
}

// The extension each command writes. A device or a pipe that exists (and
// "-", the standard output) has no extension to check.
QString checkOutputName(const CliRequest& request) {
    const QString extension = clicommands::outputExtension(request.command);
    if (request.output == QLatin1String(fileio::kStandardOutput)) return QString();
    const QFileInfo info(request.output);
    if (info.exists() && !info.isFile() && !info.isDir()) return QString();
    if (info.suffix().compare(extension, Qt::CaseInsensitive) == 0) return QString();
    return QStringLiteral("%1 writes .%2 files; the output %3 does not end in .%2.")
        .arg(request.command, extension, request.output);
}

void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Renders, inspects and converts Zindle sound files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("render, info, convert or new"));
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("The input files."), QStringLiteral("[IN...]"));
    parser.addOptions({
        {QStringLiteral("o"), QStringLiteral("The output file (one input only); - for the standard output."),
         QStringLiteral("OUT")},
        {QStringLiteral("d"), QStringLiteral("The output folder: each input IN becomes DIR/<IN's base name>.wav or .zdl."),
         QStringLiteral("DIR")},
        {QStringLiteral("repeats"), QStringLiteral("render: repeat the sound N times (1..10)."), QStringLiteral("N")},
        {QStringLiteral("rate"), QStringLiteral("render: sample rate, 11025, 22050 or 44100."), QStringLiteral("HZ")},
        {QStringLiteral("bits"), QStringLiteral("render: sample width, 8 or 16."), QStringLiteral("BITS")},
        {QStringLiteral("json"), QStringLiteral("info: print JSON.")},
    });
}

}  // namespace

QString CliTool::helpText() {
    QCommandLineParser parser;
    addOptions(parser);
    return parser.helpText() + QLatin1Char('\n') + QLatin1String(kCommands);
}

int CliTool::usageError(const QString& reason) {
    err_ << "zindle-cli: " << reason << "\nTry 'zindle-cli --help'." << Qt::endl;
    return clicommands::kUsage;
}

std::optional<int> CliTool::parse(const QStringList& arguments, CliRequest& request) {
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    const bool help = parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"));
    if (help || parser.isSet(QStringLiteral("version"))) {
        if (help)
            out_ << helpText();
        else
            out_ << "zindle-cli " << QCoreApplication::applicationVersion() << '\n';
        out_.flush();
        return clicommands::kSuccess;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) return usageError(QStringLiteral("No command given."));
    request.command = positional.takeFirst();
    request.inputs = positional;
    const CommandOptions* accepted = nullptr;
    for (const CommandOptions& s : kAllowed)
        if (request.command == QLatin1String(s.command)) accepted = &s;
    if (!accepted) return usageError(QStringLiteral("Unknown command '%1'.").arg(request.command));
    const QStringList given = parser.optionNames();
    for (const QString& name : given) {
        const QString dashed = (name.size() > 1 ? QStringLiteral("--") : QStringLiteral("-")) + name;
        if (!accepted->allowed.contains(name))
            return usageError(QStringLiteral("%1 does not take %2.").arg(request.command, dashed));
        // The parser would quietly keep the last one; the user meant one.
        if (given.count(name) > 1) return usageError(QStringLiteral("%1 is given more than once.").arg(dashed));
    }
    request.output = parser.value(QStringLiteral("o"));
    request.directory = parser.value(QStringLiteral("d"));
    request.json = parser.isSet(QStringLiteral("json"));

    QString problem;
    int value = 0;
    if (parser.isSet(QStringLiteral("repeats"))) {
        if (numberOption(parser.value(QStringLiteral("repeats")), 1, 10, {}, value)) request.repeats = value;
        else problem = QStringLiteral("--repeats takes a number from 1 to 10.");
    }
    if (parser.isSet(QStringLiteral("rate"))) {
        if (numberOption(parser.value(QStringLiteral("rate")), 0, 0, {11025, 22050, 44100}, value)) request.sampleRate = value;
        else problem = QStringLiteral("--rate takes 11025, 22050 or 44100.");
    }
    if (parser.isSet(QStringLiteral("bits"))) {
        if (numberOption(parser.value(QStringLiteral("bits")), 0, 0, {8, 16}, value)) request.bits = value;
        else problem = QStringLiteral("--bits takes 8 or 16.");
    }
    const bool wantsInputs = request.command != QLatin1String("new");
    if (problem.isEmpty() && parser.isSet(QStringLiteral("o")) && request.output.isEmpty())
        problem = QStringLiteral("-o needs a file name.");
    if (problem.isEmpty() && parser.isSet(QStringLiteral("d")) && request.directory.isEmpty())
        problem = QStringLiteral("-d needs a folder.");
    if (problem.isEmpty() && wantsInputs && request.inputs.isEmpty())
        problem = QStringLiteral("%1 needs at least one input file.").arg(request.command);
    if (problem.isEmpty() && !wantsInputs && !request.inputs.isEmpty())
        problem = QStringLiteral("new takes no input files.");
    if (problem.isEmpty() && !wantsInputs && request.output.isEmpty())
        problem = QStringLiteral("new needs -o OUT.zdl.");
    if (problem.isEmpty() && !request.output.isEmpty() && !request.directory.isEmpty())
        problem = QStringLiteral("-o and -d cannot be used together.");
    if (problem.isEmpty() && !request.output.isEmpty() && request.inputs.size() > 1)
        problem = QStringLiteral("-o names one output; use -d DIR for several inputs.");
    if (problem.isEmpty() && !request.output.isEmpty()) problem = checkOutputName(request);
    if (!problem.isEmpty()) return usageError(problem);
    return std::nullopt;
}

int CliTool::run(const QStringList& arguments) {
    CliRequest request;
    if (const std::optional<int> finished = parse(arguments, request)) return *finished;
    if (request.command == QLatin1String("render")) return clicommands::render(request, out_, err_);
    if (request.command == QLatin1String("info")) return clicommands::info(request, out_, err_);
    if (request.command == QLatin1String("convert")) return clicommands::convert(request, out_, err_);
    return clicommands::newSound(request, out_, err_);
}
