#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>

// The fixture of the tests that run zindle-cli as a process, each in a
// temporary folder of its own.

const QString kCli = QStringLiteral(ZINDLE_BINARY_DIR "/src/app/zindle-cli");
const QString kSounds = QStringLiteral(ZINDLE_TEST_DATA "/sounds/");

struct Outcome {
    int status = -1;
    QString out;
    QString err;
    QByteArray outBytes;
};

inline QString q(const char* text) { return QString::fromUtf8(text); }

// Each word one argument, as a shell would split them.
inline QStringList arguments(std::initializer_list<const char*> words) {
    QStringList list;
    for (const char* word : words) list << q(word);
    return list;
}

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

class Cli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // QProcess wants an application object.
        static int argc = 1;
        static char name[] = "cli_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    }

    // Runs zindle-cli in the temporary folder.
    Outcome run(const QStringList& arguments) { return start(kCli, arguments); }

    // Runs zindle-cli through a shell that first sets a file-size limit of 0
    // blocks, as a full disk would. SIGXFSZ is left at its default: the tool
    // must ignore it itself.
    Outcome runWithoutDiskSpace(const QStringList& arguments) {
        QString command = QStringLiteral("ulimit -f 0; exec \"$0\" \"$@\"");
        return start(QStringLiteral("bash"), QStringList{QStringLiteral("-c"), command, kCli} + arguments);
    }

    // Runs zindle-cli with extra environment variables, such as a locale.
    Outcome runWith(const QStringList& environment, const QStringList& arguments) {
        return start(kCli, arguments, environment);
    }

    // Runs zindle-cli with its standard output sent to `file`, such as
    // /dev/full, where every write fails for want of space.
    Outcome runWithOutputTo(const QString& file, const QStringList& arguments) {
        return start(kCli, arguments, {}, file);
    }

    // Runs zindle-cli with `input` on its standard input, closed after it.
    Outcome runWithInput(const QByteArray& input, const QStringList& arguments) {
        return start(kCli, arguments, {}, {}, &input);
    }

    Outcome start(const QString& program, const QStringList& arguments, const QStringList& environment = {},
                  const QString& standardOutput = {}, const QByteArray* standardInput = nullptr) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        if (!environment.isEmpty()) process.setEnvironment(QProcess::systemEnvironment() + environment);
        if (!standardOutput.isEmpty()) process.setStandardOutputFile(standardOutput);
        if (!standardInput) process.setStandardInputFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (standardInput) {
            process.write(*standardInput);
            process.closeWriteChannel();
        }
        Outcome r;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return r;
        r.status = process.exitCode();
        r.outBytes = process.readAllStandardOutput();
        r.out = QString::fromUtf8(r.outBytes);
        r.err = QString::fromUtf8(process.readAllStandardError());
        return r;
    }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    // A copy of a committed sample in the temporary folder.
    QString copy(const char* sample, const char* as = nullptr) {
        const QString target = path(as ? as : sample);
        QFile::copy(kSounds + QLatin1String(sample), target);
        return target;
    }

    QTemporaryDir dir;
};
