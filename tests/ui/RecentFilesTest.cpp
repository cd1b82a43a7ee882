// The recent files as kept in a settings file of the test's own: their
// order, the limit, removal, and settings files that are not what we wrote.

#include "GuardedFifo.h"
#include "document/RecentFiles.h"

#include "ui/window/EditorSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// "/s/3.zdl" for 3: absolute paths that need not exist.
QString sound(int n) { return QStringLiteral("/s/%1.zdl").arg(n); }

QStringList sounds(std::initializer_list<int> numbers) {
    QStringList out;
    for (int n : numbers) out << sound(n);
    return out;
}

struct Settings {
    Settings() : path(dir.filePath(QStringLiteral("zindle.ini"))) {}
    // A fresh reader of the file, as the next run would be.
    std::unique_ptr<QSettings> open() const { return std::make_unique<QSettings>(path, QSettings::IniFormat); }
    void write(const QByteArray& bytes) const {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    QString path;
};

enum class Op { Add, Remove, Clear };
struct Step {
    Op op;
    int n = 0;
};

struct OrderCase {
    const char* name;
    std::vector<Step> steps;
    QStringList expected;  // most recent first
};

TEST(RecentFiles, KeepTheLastEightMostRecentFirst) {
    const OrderCase cases[] = {
        {"newest first", {{Op::Add, 1}, {Op::Add, 2}, {Op::Add, 3}}, sounds({3, 2, 1})},
        {"an old one again moves up, once", {{Op::Add, 1}, {Op::Add, 2}, {Op::Add, 1}}, sounds({1, 2})},
        {"the ninth pushes the oldest out",
         {{Op::Add, 1},
          {Op::Add, 2},
          {Op::Add, 3},
          {Op::Add, 4},
          {Op::Add, 5},
          {Op::Add, 6},
          {Op::Add, 7},
          {Op::Add, 8},
          {Op::Add, 9}},
         sounds({9, 8, 7, 6, 5, 4, 3, 2})},
        {"a re-added old one is not pushed out",
         {{Op::Add, 1},
          {Op::Add, 2},
          {Op::Add, 3},
          {Op::Add, 4},
          {Op::Add, 5},
          {Op::Add, 6},
          {Op::Add, 7},
          {Op::Add, 8},
          {Op::Add, 1},
          {Op::Add, 9}},
         sounds({9, 1, 8, 7, 6, 5, 4, 3})},
        {"removed from the middle", {{Op::Add, 1}, {Op::Add, 2}, {Op::Add, 3}, {Op::Remove, 2}}, sounds({3, 1})},
        {"removing one not there", {{Op::Add, 1}, {Op::Remove, 5}}, sounds({1})},
        {"cleared, then one more", {{Op::Add, 1}, {Op::Add, 2}, {Op::Clear}, {Op::Add, 3}}, sounds({3})},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s;
        {
            auto settings = s.open();
            RecentFiles recent(*settings);
            int changes = 0;
            QObject::connect(&recent, &RecentFiles::changed, [&changes] { ++changes; });
            for (const Step& step : c.steps) {
                switch (step.op) {
                case Op::Add: recent.add(sound(step.n)); break;
                case Op::Remove: recent.remove(sound(step.n)); break;
                case Op::Clear: recent.clear(); break;
                }
            }
            EXPECT_EQ(recent.paths(), c.expected);
            EXPECT_GT(changes, 0);
        }
        auto settings = s.open();
        EXPECT_EQ(RecentFiles(*settings).paths(), c.expected) << "the next run sees the same list";
    }
}

TEST(RecentFiles, PathsAreKeptWhole) {
    Settings s;
    const QString odd = s.dir.filePath(QStringLiteral("a, b; c=d \"e\" [f]/../g & h.zdl"));
    {
        auto settings = s.open();
        RecentFiles recent(*settings);
        recent.add(odd);
        recent.add(QStringLiteral("/s/./x/../1.zdl"));
        recent.setLastFolder(s.dir.path());
    }
    auto settings = s.open();
    const RecentFiles again(*settings);
    EXPECT_EQ(again.paths(), QStringList({sound(1), QDir::cleanPath(odd)}));
    EXPECT_EQ(again.lastFolder(), s.dir.path());
}

struct CorruptCase {
    const char* name;
    QByteArray bytes;      // the settings file; empty: a folder in its place
    QStringList expected;  // what is still taken from it
    const char* lastFolder;
};

// Whatever the file holds, the editor starts, takes what is sound in it and
// can go on keeping its list.
// Bytes that are no settings file at all, a zero byte first.
constexpr char kJunk[] = "\x00\xff\xfe[[[\n=\n\x01recentFiles\\size=3\n";

TEST(RecentFiles, ASettingsFileThatIsNotOursIsIgnored) {
    const CorruptCase cases[] = {
        {"binary junk", QByteArray(kJunk, sizeof kJunk - 1), {}, ""},
        {"good lines, then a line that is not INI",
         QByteArray("[recentFiles]\n1\\path=/s/1.zdl\nsize=1\n[broken\n"),
         {},
         ""},
        {"a folder in its place", QByteArray(), {}, ""},
        {"wrong types and relative paths",
         "[General]\nlastFolder=@Variant(\\0\\0\\0\\x7f\\0\\0\\0)\n[recentFiles]\n1\\path=@Rect(1 2 3 4)\n"
         "2\\path=relative.zdl\n3\\path=\n4\\path=/s/4.zdl\nsize=4\n",
         sounds({4}), ""},
        {"a huge size, duplicates and more than eight",
         "[recentFiles]\nsize=2147483647\n1\\path=/s/1.zdl\n2\\path=/s/1.zdl\n3\\path=/s/3.zdl\n4\\path=/s/4.zdl\n"
         "5\\path=/s/5.zdl\n6\\path=/s/6.zdl\n7\\path=/s/7.zdl\n8\\path=/s/8.zdl\n9\\path=/s/9.zdl\n"
         "10\\path=/s/10.zdl\n",
         sounds({1, 3, 4, 5, 6, 7, 8}), ""},  // only the eight entries ever written are read
        {"a negative size", "[recentFiles]\nsize=-4\n1\\path=/s/1.zdl\n", {}, ""},
        {"a good folder beside junk", "[General]\nlastFolder=/s\n[recentFiles]\nsize=x\n", {}, "/s"},
    };
    for (const CorruptCase& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s;
        if (c.bytes.isEmpty())
            ASSERT_TRUE(QDir().mkpath(s.path));
        else
            s.write(c.bytes);
        auto settings = s.open();
        RecentFiles recent(*settings);
        EXPECT_EQ(recent.paths(), c.expected);
        EXPECT_EQ(recent.lastFolder(), QString::fromLatin1(c.lastFolder));

        recent.add(sound(20));
        EXPECT_EQ(recent.paths().value(0), sound(20)) << "the list works on in memory";
        if (!c.bytes.isEmpty()) {
            auto next = s.open();
            EXPECT_EQ(RecentFiles(*next).paths().value(0), sound(20)) << "and is written afresh";
        }
    }
}

// Settings the editor would take, then a comment line that brings the file to
// `size` bytes.
QByteArray paddedSettings(qint64 size) {
    const QByteArray good("[recentFiles]\n1\\path=/s/1.zdl\nsize=1\n[playback]\nloop=true\n");
    return good + ';' + QByteArray(size - good.size() - 2, 'x') + '\n';
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file larger than any the editor writes is not read at all: it counts as a
// damaged one, stays as it is while nothing changes, and the first change
// kept writes a new file in its place, as for a damaged one.
TEST(RecentFiles, ASettingsFileOverOneMegabyteIsIgnoredLikeADamagedOne) {
    const struct {
        const char* name;
        qint64 size;
        QStringList expected;
        bool loop;
    } cases[] = {
        {"at the limit, read", editor_settings::kMostBytes, sounds({1}), true},
        {"a byte over, ignored", editor_settings::kMostBytes + 1, {}, false},
        {"8 MB, ignored", 8 * editor_settings::kMostBytes, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s;
        const QByteArray bytes = paddedSettings(c.size);
        ASSERT_EQ(bytes.size(), c.size);
        s.write(bytes);
        {
            const auto settings = editor_settings::open(s.path);
            EXPECT_EQ(settings->status() == QSettings::FormatError, c.expected.isEmpty());
            RecentFiles recent(*settings);
            EXPECT_EQ(recent.paths(), c.expected);
            EXPECT_EQ(settings->value(QStringLiteral("playback/loop"), false).toBool(), c.loop);
        }
        EXPECT_EQ(contents(s.path), bytes) << "left as it is";

        {
            const auto settings = editor_settings::open(s.path);
            RecentFiles recent(*settings);
            recent.add(sound(20));
            settings->setValue(QStringLiteral("playback/livePreview"), true);
        }
        const QByteArray written = contents(s.path);
        if (!c.expected.isEmpty()) continue;
        EXPECT_LT(written.size(), 1000) << "a new file in its place";
        EXPECT_TRUE(written.contains("/s/20.zdl"));
        EXPECT_FALSE(written.contains("/s/1.zdl"));
        // Read from a copy: Qt would answer from what it cached of the file.
        const QString copy = s.dir.filePath(QStringLiteral("copy.ini"));
        ASSERT_TRUE(QFile::copy(s.path, copy));
        const auto next = editor_settings::open(copy);
        EXPECT_EQ(next->status(), QSettings::NoError);
        EXPECT_EQ(RecentFiles(*next).paths(), sounds({20}));
        EXPECT_TRUE(next->value(QStringLiteral("playback/livePreview")).toBool());
        EXPECT_FALSE(next->value(QStringLiteral("playback/loop"), false).toBool());
    }
}

// A named pipe in the settings file's place is never opened: it would hold
// the editor's start for good.
TEST(RecentFiles, ASettingsFileThatIsAPipeIsIgnored) {
    Settings s;
    QFile::remove(s.path);
    const GuardedFifo fifo(s.path);
    ASSERT_TRUE(fifo.ok());
    {
        const auto settings = editor_settings::open(s.path);
        RecentFiles recent(*settings);
        EXPECT_TRUE(recent.paths().isEmpty());
        recent.add(sound(1));
        settings->sync();
    }
    EXPECT_FALSE(fifo.opened()) << "the pipe was opened";
    EXPECT_FALSE(QFileInfo(s.path).isFile()) << "the pipe was replaced";
}

// The editor finds its file without opening it where Qt's own lookup would.
TEST(RecentFiles, TheUserFileIsWhereQtKeepsTheEditorsSettings) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QSettings qt(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("zindle"), QStringLiteral("zindle"));
    EXPECT_EQ(editor_settings::userFile(), qt.fileName());
    EXPECT_EQ(editor_settings::userFile(), config.filePath(QStringLiteral("zindle/zindle.ini")));
    if (wasSet)
        qputenv("XDG_CONFIG_HOME", before);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
