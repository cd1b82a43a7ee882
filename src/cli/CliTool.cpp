#include "cli/CliTool.h"

#include "cli/CliCommands.h"
#include "cli/GenerateCommands.h"
#include "cli/OptionValues.h"
#include "core/KeptParts.h"
#include "core/SoundQuality.h"
#include "core/SoundTemplates.h"
#include "formats/SoundFormats.h"
#include "storage/FileIO.h"
#include "storage/SoundFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <limits>

namespace {

// %1.. are filled from the tables of formats (commandsText).
const char kCommands[] =
    "Commands:\n"
    "  render IN... [-o OUT | -d DIR [--manifest]] [--format %1] [--repeats N]\n"
    "         [--rate 11025|22050|44100] [--bits 8|16] [--normalize peak:DB|lufs:LUFS|none]\n"
    "      Renders each sound (.zdl, .json or .efc) to a file holding what play would play:\n"
    "      WAV, FLAC (the same samples, losslessly compressed) or Ogg Vorbis (lossy, at\n"
    "      quality 0.5 on a scale from 0 to 1). OUT's extension (%2)\n"
    "      picks the type; --format picks it for -d, for files written beside their\n"
    "      inputs (the default) and for --variants. The options override the file's\n"
    "      settings for this render only. An input that is a folder means its sound files\n"
    "      (.zdl, .json, .efc), sorted by name. --normalize peak:-1 scales each output so\n"
    "      that its peak is -1 dBFS; lufs:-16 so that its loudness is -16 LUFS (EBU R128),\n"
    "      but never to a peak above -1 dBFS. --manifest also writes DIR/sounds.json: for\n"
    "      each file written its name, file, source, rate, bits, samples, durationMs,\n"
    "      peakDb, loudnessLufs, gainDb and gainLimited.\n"
    "  info IN... [--json]\n"
    "      Prints the settings and the figures of the rendered sound of each file, with its\n"
    "      peak (peakDb, dBFS) and loudness (loudnessLufs, integrated, EBU R128) as exported.\n"
    "  code IN...\n"
    "      Prints each sound's share code, one a line: zindle1: and the sound's .zdl\n"
    "      bytes in base64url. A code (or a web player link to one) reads as a sound\n"
    "      wherever a file does.\n"
    "  convert IN... [-o OUT.zdl|OUT.json | -d DIR] [--to zdl|json]\n"
    "      Writes each sound (.zdl, .json or old-style .efc) in the form the output names:\n"
    "      -o by its extension, -d DIR as DIR/<IN's base name>.zdl (or .json with --to json).\n"
    "      Without -o or -d an old-style file goes beside it as .zdl (or as --to says), and\n"
    "      another input beside it only with --to; an existing file there is left alone.\n"
    "      Another input without -o, -d or --to is wrong usage.\n"
    "  new -o OUT.zdl|OUT.json | -o - [--to zdl|json]\n"
    "      Writes the settings of a new sound.\n"
    "  templates\n"
    "      Lists the sound templates, one a line.\n"
    "  generate TEMPLATE [--seed N] [--count K] [--from BASE [--keep PARTS]]\n"
    "         (-o OUT.zdl|OUT.json | -d DIR [--to zdl|json])\n"
    "      Writes the sound the template makes for seed N (default 1); with -d, K sounds\n"
    "      DIR/TEMPLATE_001.zdl ... from seeds N, N+1, ... The sounds have the quality of\n"
    "      a new sound, 11025 Hz and 8 bit, or with --from the sample rate and width of\n"
    "      BASE, as the editor's Generate menu keeps the open sound's (the random template\n"
    "      draws its own). --keep leaves the named parts of BASE as they are.\n"
    "  mutate IN [--seed N] [--amount A] [--count K] [--keep PARTS]\n"
    "         (-o OUT.zdl|OUT.json | -d DIR [--to zdl|json])\n"
    "      Writes variations of IN, each setting moved a little as heard: the length and\n"
    "      levels by a factor of up to 2^A, each pitch by up to 12 x A semitones (A from\n"
    "      0..1, default 0.1; see the manual); --keep leaves the named parts of IN as they are;\n"
    "      with -d, K files DIR/<IN's base name>_001.zdl ... from seeds N, N+1, ...\n"
    "  render IN... --variants K [--seed N] [--amount A] [-d DIR]\n"
    "      Renders K variations of each input, as mutate makes them, to NAME_001.wav ...\n"
    "      (or %3 by --format) in DIR or beside the input.\n"
    "\n"
    "IN may be - for the standard input (once), which may hold a .zdl, JSON text or a\n"
    "share code; render, convert and mutate then need -o.\n"
    "-o - writes to the standard output (render: WAV, or the type --format names;\n"
    "convert, new, generate, mutate: .zdl, or JSON with --to json). -d DIR is created\n"
    "when it does not exist. Numbered names have three digits, four for K = 1000\n"
    "(_0001 ... _1000). The last seed, N + K - 1, may not pass 18446744073709551615.\n"
    "PARTS names parts of the sound, comma-separated, from\n"
    "  %5\n"
    "(amplitude and frequency are the curves; effects are Distort, Echo Volume and Echo\n"
    "Delay; quality is the sample rate, the width and the repeat count).\n"
    "An input is read in the format its bytes are in (%4); its name\n"
    "only breaks a tie. Any other file is refused as no sound file.\n"
    "Exit status: 0 success, 1 a bad input or an output that could not be written\n"
    "(the standard output included), 2 wrong usage.\n";

// "a, b or c", each with `prefix`.
QString spokenList(const QStringList& items, const QString& prefix) {
    QStringList named;
    for (const QString& item : items) named << prefix + item;
    const QString last = named.isEmpty() ? QString() : named.takeLast();
    return named.isEmpty() ? last : named.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString soundFormatList() {
    QStringList extensions;
    for (const soundformats::SoundFormat& f : soundformats::all())
        extensions << QString::fromStdString(f.extensions.front());
    return spokenList(extensions, QStringLiteral("."));
}

// The names --to takes: the sound formats that are written.
QStringList writtenSoundFormats() {
    QStringList names;
    for (const soundformats::SoundFormat& f : soundformats::all())
        if (f.encode) names << QLatin1String(f.name);
    return names;
}

// The names --keep takes, as a list to read: "amplitude, frequency, ... and quality".
QString keptPartList() {
    QStringList names;
    for (SoundPart part : KeptParts::kAll) names << QLatin1String(KeptParts::name(part));
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

QString commandsText() {
    const QStringList exports = soundexport::extensions();
    return QLatin1String(kCommands).arg(exports.join(QLatin1Char('|')), spokenList(exports, QStringLiteral(".")),
                                        QLatin1Char('.') + exports.mid(1).join(QStringLiteral(", .")),
                                        soundFormatList(), keptPartList());
}

struct CommandOptions {
    const char* command;
    QStringList allowed;
};

// The options each command accepts; anything else is wrong usage.
const CommandOptions kAllowed[] = {
    {"render", {"o", "d", "format", "repeats", "rate", "bits", "variants", "seed", "amount", "normalize", "manifest"}},
    {"info", {"json"}},
    {"code", {}},
    {"convert", {"o", "d", "to"}},
    {"new", {"o", "to"}},
    {"templates", {}},
    {"generate", {"o", "d", "seed", "count", "to", "from", "keep"}},
    {"mutate", {"o", "d", "seed", "amount", "count", "to", "keep"}},
};

// The most files one --count or --variants may ask for.
constexpr int kMostCopies = 1000;

// The value of a numeric option within [low, high].
bool numberOption(const QString& text, int low, int high, int& value) {
    bool isNumber = false;
    value = text.toInt(&isNumber);
    return isNumber && value >= low && value <= high;
}

// The value of a numeric option that is one of `choices`.
template <typename Choices>
bool choiceOption(const QString& text, const Choices& choices, int& value) {
    bool isNumber = false;
    value = text.toInt(&isNumber);
    return isNumber && std::find(choices.begin(), choices.end(), value) != choices.end();
}

// render writes the type its output's extension names; --format, given as
// well, must name the same.
QString checkRenderOutputName(const CliRequest& request) {
    const std::optional<soundexport::ExportFormat> named = soundexport::formatForPath(request.output);
    if (!named)
        return QStringLiteral("render writes %1 files, by the output's extension; the output %2 ends in none of them.")
            .arg(soundexport::formatList(), request.output);
    if (request.format && *request.format != *named)
        return QStringLiteral("--format %1 disagrees with the output %2.")
            .arg(soundexport::extension(*request.format), request.output);
    return QString();
}

// The extension each command writes; the commands that write sounds write
// either form.
QString checkOutputName(const CliRequest& request) {
    const QString extension = clicommands::outputExtension(request.command);
    if (fileio::isStream(request.output)) return QString();
    const QFileInfo info(request.output);
    if (request.command == QLatin1String("render")) return checkRenderOutputName(request);
    if (info.suffix().compare(extension, Qt::CaseInsensitive) == 0) return QString();
    if (extension == QLatin1String("zdl")) {
        if (info.suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0) return QString();
        return QStringLiteral("%1 writes .zdl or .json files; the output %2 ends in neither.")
            .arg(request.command, request.output);
    }
    return QStringLiteral("%1 writes .%2 files; the output %3 does not end in .%2.")
        .arg(request.command, extension, request.output);
}

// The seed, amount and counts of generate, mutate and render --variants.
QString readVariationNumbers(const QCommandLineParser& parser, CliRequest& request) {
    const auto given = [&](const char* name) { return parser.isSet(QLatin1String(name)); };
    const auto text = [&](const char* name) { return parser.value(QLatin1String(name)); };
    if (given("seed")) {
        const std::optional<uint64_t> seed = optionvalues::seed(text("seed"));
        if (!seed) return QStringLiteral("--seed takes a whole number from 0 to 18446744073709551615.");
        request.seed = *seed;
    }
    if (given("amount")) {
        const std::optional<float> amount = optionvalues::amount(text("amount"));
        if (!amount) return QStringLiteral("--amount takes a number from 0 to 1.");
        request.amount = *amount;
    }
    if (given("count")) {
        const std::optional<int> count = optionvalues::whole(text("count"), 1, kMostCopies);
        if (!count) return QStringLiteral("--count takes a number from 1 to %1.").arg(kMostCopies);
        request.count = *count;
    }
    if (given("variants")) {
        request.variants = optionvalues::whole(text("variants"), 1, kMostCopies);
        if (!request.variants) return QStringLiteral("--variants takes a number from 1 to %1.").arg(kMostCopies);
    }
    // The sounds take the seeds seed, seed + 1, ...: the last must not wrap to 0.
    const int copies = request.variants.value_or(request.count);
    const uint64_t largest = std::numeric_limits<uint64_t>::max();
    if (request.seed > largest - uint64_t(copies - 1))
        return QStringLiteral("--seed %1 with %2 %3 would pass the largest seed, %4; the first seed can be at most %5.")
            .arg(QString::number(request.seed), QLatin1String(request.variants ? "--variants" : "--count"),
                 QString::number(copies), QString::number(largest), QString::number(largest - uint64_t(copies - 1)));
    return QString();
}

// Reads the numeric options into the request: the reason when one is wrong.
QString readNumbers(const QCommandLineParser& parser, CliRequest& request) {
    int value = 0;
    const auto given = [&](const char* name) { return parser.isSet(QLatin1String(name)); };
    const auto text = [&](const char* name) { return parser.value(QLatin1String(name)); };
    if (given("repeats")) {
        if (!numberOption(text("repeats"), sound_quality::kFewestRepeats, sound_quality::kMostRepeats, value))
            return QStringLiteral("--repeats takes a number from %1 to %2.")
                .arg(sound_quality::kFewestRepeats)
                .arg(sound_quality::kMostRepeats);
        request.repeats = value;
    }
    if (given("rate")) {
        if (!choiceOption(text("rate"), sound_quality::kSampleRates, value))
            return QStringLiteral("--rate takes %1.").arg(QString::fromStdString(sound_quality::sampleRateList()));
        request.sampleRate = value;
    }
    if (given("bits")) {
        if (!choiceOption(text("bits"), sound_quality::kSampleWidths, value))
            return QStringLiteral("--bits takes %1.").arg(QString::fromStdString(sound_quality::sampleWidthList()));
        request.bits = value;
    }
    if (given("format")) {
        request.format = soundexport::formatNamed(text("format"));
        if (!request.format) return QStringLiteral("--format takes one of %1.").arg(soundexport::formatList());
    }
    if (given("normalize")) {
        QString reason;
        const std::optional<normalization::Normalization> target = normalization::parse(text("normalize"), &reason);
        if (!target) return QStringLiteral("--normalize: %1").arg(reason);
        request.normalize = *target;
    }
    return readVariationNumbers(parser, request);
}

// What the positional arguments must be for each command.
QString inputsProblem(const CliRequest& request) {
    const QString& command = request.command;
    if (command == QLatin1String("new") || command == QLatin1String("templates"))
        return request.inputs.isEmpty() ? QString() : QStringLiteral("%1 takes no input files.").arg(command);
    if (command == QLatin1String("generate")) {
        if (request.inputs.size() != 1) return QStringLiteral("generate takes one template name.");
        if (sound_templates::isKnown(request.inputs.first().toStdString())) return QString();
        return QStringLiteral("Unknown template '%1'; zindle-cli templates lists them.").arg(request.inputs.first());
    }
    if (request.inputs.isEmpty()) return QStringLiteral("%1 needs at least one input file.").arg(command);
    const qsizetype fromInput = request.inputs.count(QLatin1String(fileio::kStandardInput));
    if (fromInput > 1) return QStringLiteral("The standard input (-) can be read only once.");
    // Outputs are named after their inputs; the standard input has no name.
    if (fromInput > 0 && request.output.isEmpty() && command != QLatin1String("info") &&
        command != QLatin1String("code"))
        return QStringLiteral("%1 - (the standard input) needs -o OUT: there is no name to give its output.")
            .arg(command);
    if (command == QLatin1String("mutate") && request.inputs.size() > 1)
        return QStringLiteral("mutate takes one input file.");
    // Only an old-style file has a next form to go beside it; any other
    // input's output must be named (written as it is, it would be itself).
    const bool named = !request.output.isEmpty() || !request.directory.isEmpty() || !request.to.isEmpty();
    if (command == QLatin1String("convert") && !named) {
        for (const QString& input : request.inputs)
            if (!soundfile::isOldStyleName(input))
                return QStringLiteral(
                           "%1 is not an old-style file, so convert has no output for it: name one with -o, "
                           "-d or --to.")
                    .arg(input);
    }
    return QString();
}

// The usage rules between options, inputs and outputs.
QString shapeProblem(const QCommandLineParser& parser, const CliRequest& request) {
    if (parser.isSet(QStringLiteral("o")) && request.output.isEmpty()) return QStringLiteral("-o needs a file name.");
    if (parser.isSet(QStringLiteral("d")) && request.directory.isEmpty()) return QStringLiteral("-d needs a folder.");
    const QString inputs = inputsProblem(request);
    if (!inputs.isEmpty()) return inputs;
    const bool named = !request.output.isEmpty() || !request.directory.isEmpty();
    if (request.command == QLatin1String("new") && request.output.isEmpty())
        return QStringLiteral("new needs -o OUT.zdl.");
    if ((request.command == QLatin1String("generate") || request.command == QLatin1String("mutate")) && !named)
        return QStringLiteral("%1 needs -o OUT.zdl or -d DIR.").arg(request.command);
    if (!request.output.isEmpty() && !request.directory.isEmpty())
        return QStringLiteral("-o and -d cannot be used together.");
    if (!request.output.isEmpty() && request.inputs.size() > 1)
        return QStringLiteral("-o names one output; use -d DIR for several inputs.");
    if (!request.output.isEmpty() && request.count > 1)
        return QStringLiteral("-o names one output; use -d DIR with --count.");
    if (!request.output.isEmpty() && request.variants)
        return QStringLiteral("-o names one output; use -d DIR with --variants.");
    if (request.manifest && request.directory.isEmpty())
        return QStringLiteral("--manifest writes DIR/sounds.json; it needs -d DIR.");
    if (!request.output.isEmpty() && request.command == QLatin1String("render")) {
        for (const QString& input : request.inputs)
            if (QFileInfo(input).isDir())
                return QStringLiteral("-o names one output; the folder %1 holds several sounds, so use -d DIR.")
                    .arg(input);
    }
    const bool variation = parser.isSet(QStringLiteral("seed")) || parser.isSet(QStringLiteral("amount"));
    if (request.command == QLatin1String("render") && variation && !request.variants)
        return QStringLiteral("render takes --seed and --amount only with --variants.");
    if (parser.isSet(QStringLiteral("from")) && request.from.isEmpty())
        return QStringLiteral("--from needs a sound file.");
    if (request.command == QLatin1String("generate") && parser.isSet(QStringLiteral("keep")) && request.from.isEmpty())
        return QStringLiteral("generate takes --keep only with --from BASE, the sound whose parts it keeps.");
    if (!request.to.isEmpty() && !request.output.isEmpty() && !fileio::isStream(request.output))
        return QStringLiteral("-o %1 has the form of its extension; --to is for -d, beside the input or -o -.")
            .arg(request.output);
    if (!request.output.isEmpty()) return checkOutputName(request);
    return QString();
}

void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Renders, inspects, converts and makes Zindle sound files."));
    // Not addHelpOption(), which would also offer --help-all with Qt's own
    // options, none of which the tool takes.
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays this help.")});
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("render, info, code, convert, new, templates, generate or mutate"));
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("The input files."),
                                 QStringLiteral("[IN...]"));
    parser.addOptions({
        {QStringLiteral("o"), QStringLiteral("The output file (one input only); - for the standard output."),
         QStringLiteral("OUT")},
        {QStringLiteral("d"),
         QStringLiteral("The output folder: each input IN becomes DIR/<IN's base name>.wav (or --format's), "
                        ".zdl or .json."),
         QStringLiteral("DIR")},
        {QStringLiteral("format"),
         QStringLiteral("render: the type of the files written with -d, beside the inputs, with --variants or to "
                        "-o -: %1 (default %2).")
             .arg(spokenList(soundexport::extensions(), QString()),
                  soundexport::extension(soundexport::ExportFormat::Wav)),
         QStringLiteral("TYPE")},
        {QStringLiteral("repeats"),
         QStringLiteral("render: repeat the sound N times (%1..%2).")
             .arg(sound_quality::kFewestRepeats)
             .arg(sound_quality::kMostRepeats),
         QStringLiteral("N")},
        {QStringLiteral("rate"),
         QStringLiteral("render: sample rate, %1.").arg(QString::fromStdString(sound_quality::sampleRateList())),
         QStringLiteral("HZ")},
        {QStringLiteral("bits"),
         QStringLiteral("render: sample width, %1.").arg(QString::fromStdString(sound_quality::sampleWidthList())),
         QStringLiteral("BITS")},
        {QStringLiteral("json"), QStringLiteral("info: print JSON.")},
        {QStringLiteral("seed"), QStringLiteral("generate, mutate, render --variants: the first seed (default 1)."),
         QStringLiteral("N")},
        {QStringLiteral("count"), QStringLiteral("generate, mutate: how many sounds to write (1..1000)."),
         QStringLiteral("K")},
        {QStringLiteral("amount"),
         QStringLiteral("mutate, render --variants: how far to move each setting (0..1, default 0.1)."),
         QStringLiteral("A")},
        {QStringLiteral("to"), QStringLiteral("convert, new, generate, mutate: write zdl or json (default zdl)."),
         QStringLiteral("FORM")},
        {QStringLiteral("variants"), QStringLiteral("render: write K mutated variations of each input (1..1000)."),
         QStringLiteral("K")},
        {QStringLiteral("from"),
         QStringLiteral("generate: the sound whose sample rate and width (and the parts --keep names) it takes."),
         QStringLiteral("BASE")},
        {QStringLiteral("keep"),
         QStringLiteral("generate --from, mutate: the parts to leave as they are, comma-separated: %1.")
             .arg(keptPartList()),
         QStringLiteral("PARTS")},
        {QStringLiteral("normalize"),
         QStringLiteral("render: scale each output to a peak (peak:-1, dBFS) or a loudness (lufs:-16, LUFS, its "
                        "peak kept at or under -1 dBFS); none by default."),
         QStringLiteral("TARGET")},
        {QStringLiteral("manifest"), QStringLiteral("render -d DIR: also write DIR/sounds.json listing the outputs.")},
    });
}

}  // namespace

QString CliTool::helpText() {
    QCommandLineParser parser;
    addOptions(parser);
    // The parser's usage line names the program by the path it was started by.
    QString text = parser.helpText();
    const qsizetype usageEnd = text.indexOf(QLatin1Char('\n'));
    if (usageEnd >= 0) text.replace(0, usageEnd, QStringLiteral("Usage: zindle-cli [options] command [IN...]"));
    return text + QLatin1Char('\n') + commandsText();
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
    const bool help = parser.isSet(QStringLiteral("help"));
    if (help || parser.isSet(QStringLiteral("version"))) {
        if (help)
            out_ << helpText();
        else
            out_ << "zindle-cli " << QCoreApplication::applicationVersion() << '\n';
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
    request.manifest = parser.isSet(QStringLiteral("manifest"));
    request.to = parser.value(QStringLiteral("to"));
    if (parser.isSet(QStringLiteral("to")) && !writtenSoundFormats().contains(request.to))
        return usageError(QStringLiteral("--to takes %1.").arg(spokenList(writtenSoundFormats(), QString())));

    request.from = parser.value(QStringLiteral("from"));
    if (parser.isSet(QStringLiteral("keep"))) {
        std::string unknown;
        const std::optional<KeptParts> kept =
            KeptParts::parse(parser.value(QStringLiteral("keep")).toStdString(), &unknown);
        if (!kept)
            return usageError(QStringLiteral("--keep takes a comma-separated list of %1; '%2' is none of them.")
                                  .arg(keptPartList(), QString::fromStdString(unknown)));
        request.kept = *kept;
    }

    QString problem = readNumbers(parser, request);
    if (problem.isEmpty()) problem = shapeProblem(parser, request);
    if (!problem.isEmpty()) return usageError(problem);
    return std::nullopt;
}

int CliTool::run(const QStringList& arguments) {
    CliRequest request;
    if (const std::optional<int> finished = parse(arguments, request)) return checkOutput(*finished);
    return checkOutput(runCommand(request));
}

int CliTool::runCommand(const CliRequest& request) {
    if (request.command == QLatin1String("render")) return clicommands::render(request, out_, err_);
    if (request.command == QLatin1String("info")) return clicommands::info(request, out_, err_);
    if (request.command == QLatin1String("code")) return clicommands::code(request, out_, err_);
    if (request.command == QLatin1String("convert")) return clicommands::convert(request, out_, err_);
    if (request.command == QLatin1String("new")) return clicommands::newSound(request, out_, err_);
    if (request.command == QLatin1String("templates")) return generatecommands::templates(out_);
    if (request.command == QLatin1String("generate")) return generatecommands::generate(request, err_);
    return generatecommands::mutate(request, err_);
}

int CliTool::checkOutput(int status) {
    // The last bytes may still be buffered: only the flush shows whether the
    // standard output (a full disk, a closed pipe) took them.
    out_.flush();
    if (out_.status() == QTextStream::Ok) return status;
    const QString reason = out_.device() ? out_.device()->errorString() : QString();
    err_ << "zindle-cli: The standard output cannot be written (" << reason << ")." << Qt::endl;
    return status == clicommands::kSuccess ? clicommands::kFailure : status;
}
