#include "TestFiles.h"
#include "bank/BankFiles.h"
#include "bank/SoundBank.h"
#include "core/RenderedSound.h"
#include "core/SoundRenderer.h"
#include "core/SoundSettings.h"
#include "storage/Loudness.h"
#include "storage/NameOrder.h"
#include "storage/SoundFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

// A change made elsewhere shows within a second; the deadline only keeps a
// broken watcher from hanging the test on a busy machine.
constexpr int kDeadlineMs = 10000;

bool waitFor(const std::function<bool()>& done, int ms = kDeadlineMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

SoundSettings soundOfLength(float length, float echoDelay = 0.0f) {
    SoundSettings s;
    s.length = length;
    s.echoVolume = echoDelay > 0 ? 0.5f : 0.0f;
    s.echoDelay = echoDelay;
    return s;
}

QStringList names(const SoundBank& bank) {
    QStringList out;
    for (const BankEntry& e : bank.entries()) out << e.name;
    return out;
}

struct ScratchBank {
    ScratchBank() { bank.setFolder(dir.path()); }

    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const SoundSettings& s = SoundSettings()) {
        ASSERT_TRUE(soundfile::write(path(name), s).ok) << name.toStdString();
    }
    bool allRead() {
        return waitFor([this] { return bank.pendingCount() == 0; });
    }
    const BankEntry* entry(const QString& name) const {
        const int row = bank.indexOf(QDir::cleanPath(path(name)));
        return row < 0 ? nullptr : &bank.entries()[static_cast<size_t>(row)];
    }

    QTemporaryDir dir;
    SoundBank bank;
};

TEST(BankOrder, IsNaturalCaseBlindAndTotal) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        {"hit2.zdl", "hit10.zdl", true},
        {"hit10.zdl", "hit2.zdl", false},
        {"Boom.zdl", "alarm.zdl", false},
        {"alarm.zdl", "Boom.zdl", true},
        {"hit02.zdl", "hit2.zdl", true},
        {"hit2.zdl", "hit02.zdl", false},
        {"hit.zdl", "hit1.zdl", true},
        {"a9b.zdl", "a10a.zdl", true},
        {"coin.zdl", "coin.zdl", false},
        {"Coin.zdl", "coin.zdl", true},
        {"x99999999999999999999.zdl", "x100000000000000000000.zdl", true},
    };
    for (const Case& c : cases) {
        const QString a = QString::fromUtf8(c.a);
        const QString b = QString::fromUtf8(c.b);
        EXPECT_EQ(name_order::lessThan(a, b), c.less) << c.a << " < " << c.b;
        // Total: exactly one of a < b, b < a, a == b.
        EXPECT_EQ(int(name_order::lessThan(a, b)) + int(name_order::lessThan(b, a)) + int(a == b), 1) << c.a;
    }
}

// Only sound files are listed, in natural order; the rest of the folder
// (other files, folders named like sounds) is left out.
TEST(SoundBank, ListsTheSoundFilesInNaturalOrder) {
    ScratchBank s;
    for (const char* name : {"hit10.zdl", "Hit2.json", "alarm.EFC", "hit1.zdl", "notes.txt", "boom.wav"})
        s.write(QString::fromUtf8(name));
    ASSERT_TRUE(QDir(s.dir.path()).mkdir(QStringLiteral("folder.zdl")));
    s.bank.rescan();
    EXPECT_EQ(names(s.bank).join(u','), QStringLiteral("alarm.EFC,hit1.zdl,Hit2.json,hit10.zdl"));
    EXPECT_TRUE(s.bank.problem().isEmpty());
}

// Whatever is done to the folder from outside shows without being asked.
TEST(SoundBank, FollowsChangesMadeElsewhere) {
    struct Case {
        const char* what;
        std::function<void(ScratchBank&)> change;
        const char* expected;
    };
    const Case cases[] = {
        {"added", [](ScratchBank& s) { s.write(QStringLiteral("c.zdl")); }, "a.zdl,b.zdl,c.zdl"},
        {"removed", [](ScratchBank& s) { QFile::remove(s.path(QStringLiteral("a.zdl"))); }, "b.zdl"},
        {"renamed",
         [](ScratchBank& s) { QFile::rename(s.path(QStringLiteral("a.zdl")), s.path(QStringLiteral("z.zdl"))); },
         "b.zdl,z.zdl"},
        {"renamed to no sound",
         [](ScratchBank& s) { QFile::rename(s.path(QStringLiteral("b.zdl")), s.path(QStringLiteral("b.bak"))); },
         "a.zdl"},
        {"saved atomically",
         [](ScratchBank& s) {
             QSaveFile f(s.path(QStringLiteral("0.json")));
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write("{}");
             ASSERT_TRUE(f.commit());
         },
         "0.json,a.zdl,b.zdl"},
    };
    for (const Case& c : cases) {
        ScratchBank s;
        s.write(QStringLiteral("a.zdl"));
        s.write(QStringLiteral("b.zdl"));
        s.bank.rescan();
        ASSERT_TRUE(s.allRead()) << c.what;
        c.change(s);
        const QString expected = QString::fromUtf8(c.expected);
        EXPECT_TRUE(waitFor([&] { return names(s.bank).join(u',') == expected; }))
            << c.what << ": " << names(s.bank).join(u',').toStdString();
    }
}

// Entries that cannot be read stay listed with the readers' reason.
TEST(SoundBank, UnreadableFilesKeepTheirReason) {
    struct Case {
        const char* name;
        std::function<void(const QString& path)> make;
        const char* reason;  // a part of it
    };
    const Case cases[] = {
        {"empty.zdl", [](const QString& p) { testfiles::writeFile(p, QByteArray()); }, "empty"},
        {"garbage.zdl", [](const QString& p) { testfiles::writeFile(p, QByteArray("not a sound at all")); }, ""},
        {"bad-rate.zdl",
         [](const QString& p) { QFile::copy(QStringLiteral(ZINDLE_TEST_DATA "/sounds/bad-rate.zdl"), p); },
         "The sample rate 8000"},
        {"pipe.zdl", [](const QString& p) { ASSERT_EQ(mkfifo(QFile::encodeName(p).constData(), 0600), 0); },
         "not a regular file"},
        {"dangling.json", [](const QString& p) { QFile::link(p + QStringLiteral(".gone"), p); }, "does not exist"},
    };
    ScratchBank s;
    s.write(QStringLiteral("good.zdl"));
    for (const Case& c : cases) c.make(s.path(QString::fromUtf8(c.name)));
    s.bank.rescan();
    ASSERT_TRUE(s.allRead());
    EXPECT_EQ(s.entry(QStringLiteral("good.zdl"))->state, BankEntry::State::Ready);
    for (const Case& c : cases) {
        const BankEntry* e = s.entry(QString::fromUtf8(c.name));
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_EQ(e->state, BankEntry::State::Unreadable) << c.name;
        EXPECT_FALSE(e->reason.isEmpty()) << c.name;
        EXPECT_TRUE(e->reason.contains(QString::fromUtf8(c.reason))) << c.name << ": " << e->reason.toStdString();
    }
}

// The figures are those of the sound rendered whole and measured as it is
// exported, and a file changed in
// place or replaced is read again; an unchanged folder is not.
TEST(SoundBank, ReadsAFileAgainWhenItChanges) {
    ScratchBank s;
    const SoundSettings first = soundOfLength(0.3f);
    const SoundSettings second = soundOfLength(0.5f, 0.4f);
    s.write(QStringLiteral("a.zdl"), first);
    s.bank.rescan();
    ASSERT_TRUE(s.allRead());
    auto matches = [&s](const SoundSettings& settings) {
        const RenderedSound r = sound_renderer::render(settings);
        const BankEntry* e = s.entry(QStringLiteral("a.zdl"));
        const loudness::Level level = loudness::measure(r, settings.repeatCount);
        return e && e->state == BankEntry::State::Ready && e->sampleCount == r.sampleCount() &&
               std::abs(e->durationMs - r.totalMs()) < 1e-3 && e->peakDb == level.peakDb &&
               e->loudnessLufs == level.loudnessLufs;
    };
    EXPECT_TRUE(matches(first));

    s.bank.rescan();
    EXPECT_EQ(s.bank.pendingCount(), 0) << "an unchanged file is not read again";

    // In place, as another program might write it.
    QFile file(s.path(QStringLiteral("a.zdl")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QString scratch = s.path(QStringLiteral("scratch.bin"));
    ASSERT_TRUE(soundfile::write(scratch, second).ok);
    file.write(testfiles::readFile(scratch));
    file.close();
    QFile::remove(scratch);
    EXPECT_TRUE(waitFor([&] { return matches(second); }));

    // Replaced through a rename, as Save does.
    s.write(QStringLiteral("a.zdl"), first);
    EXPECT_TRUE(waitFor([&] { return matches(first); }));
}

TEST(SoundBank, AFolderThatIsNoneOrGoesAwayGivesTheReason) {
    QTemporaryDir dir;
    SoundBank bank;
    QSignalSpy problems(&bank, &SoundBank::problemChanged);
    EXPECT_FALSE(bank.setFolder(dir.filePath(QStringLiteral("missing"))));
    EXPECT_TRUE(bank.problem().contains(QLatin1String("not there"))) << bank.problem().toStdString();
    ASSERT_TRUE(testfiles::writeFile(dir.filePath(QStringLiteral("a.zdl")), QByteArray("x")));
    EXPECT_FALSE(bank.setFolder(dir.filePath(QStringLiteral("a.zdl"))));
    EXPECT_TRUE(bank.problem().contains(QLatin1String("not a folder"))) << bank.problem().toStdString();

    const QString inner = dir.filePath(QStringLiteral("bank"));
    ASSERT_TRUE(QDir().mkpath(inner));
    ASSERT_TRUE(soundfile::write(inner + QStringLiteral("/a.zdl"), SoundSettings()).ok);
    EXPECT_TRUE(bank.setFolder(inner));
    EXPECT_TRUE(bank.problem().isEmpty());
    EXPECT_EQ(bank.entries().size(), 1u);
    ASSERT_TRUE(QDir(inner).removeRecursively());
    EXPECT_TRUE(waitFor([&] { return bank.entries().empty() && !bank.problem().isEmpty(); }));
    EXPECT_TRUE(bank.problem().contains(QLatin1String("not there"))) << bank.problem().toStdString();
    EXPECT_GE(problems.count(), 3);
}

// A thousand names show at once, before any file is read; the reads then
// fill in every entry.
TEST(SoundBank, ListsAThousandSoundsAtOnceAndFillsThemIn) {
    QTemporaryDir dir;
    // Fifty kinds, written plainly: an atomic write or a copy each would
    // spend the time in the file system.
    QTemporaryDir kinds;
    std::vector<QByteArray> bytes;
    for (int k = 0; k < 50; ++k) {
        ASSERT_TRUE(soundfile::write(kinds.filePath(QString::number(k)), soundOfLength(0.002f * k)).ok);
        bytes.push_back(testfiles::readFile(kinds.filePath(QString::number(k))));
    }
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(testfiles::writeFile(dir.filePath(QStringLiteral("s%1.zdl").arg(i)), bytes[i % 50]));
    SoundBank bank;
    ASSERT_TRUE(bank.setFolder(dir.path()));
    ASSERT_EQ(bank.entries().size(), 1000u);
    EXPECT_EQ(bank.pendingCount(), 1000);
    EXPECT_EQ(bank.entries()[2].name, QStringLiteral("s2.zdl"));
    EXPECT_EQ(bank.entries()[10].name, QStringLiteral("s10.zdl"));
    ASSERT_TRUE(waitFor([&] { return bank.pendingCount() == 0; }, 60000));
    for (const BankEntry& e : bank.entries()) {
        const int i = e.name.mid(1, e.name.size() - 5).toInt();
        ASSERT_EQ(e.sampleCount, sound_renderer::sizes(soundOfLength(0.002f * (i % 50))).totalSamples)
            << e.name.toStdString();
    }
}

// A sound asked for to play comes back as the player takes it, with its
// repeats; one that cannot be read says why.
TEST(SoundBank, RendersTheSoundAskedForAsItPlays) {
    ScratchBank s;
    SoundSettings settings = soundOfLength(0.4f, 0.3f);
    settings.repeatCount = 3;
    s.write(QStringLiteral("a.zdl"), settings);
    ASSERT_TRUE(testfiles::writeFile(s.path(QStringLiteral("b.zdl")), QByteArray("x")));
    s.bank.rescan();
    std::vector<std::vector<uint8_t>> ready;
    QStringList failed;
    QObject::connect(&s.bank, &SoundBank::soundReady,
                     [&](const QString&, const WavImage& image) { ready.push_back(image.bytes()); });
    QObject::connect(&s.bank, &SoundBank::soundFailed, [&](const QString&, const QString& why) { failed << why; });
    s.bank.requestSound(s.path(QStringLiteral("b.zdl")));
    s.bank.requestSound(s.path(QStringLiteral("a.zdl")));
    ASSERT_TRUE(waitFor([&] { return !ready.empty(); }));
    // The worker takes requests in order, so the older one's answer would be in already.
    EXPECT_EQ(ready.size(), 1u);
    EXPECT_TRUE(failed.isEmpty()) << "only the newest request is answered";
    EXPECT_EQ(ready[0], sound_renderer::render(settings).wavImage(3).bytes());

    s.bank.requestSound(s.path(QStringLiteral("b.zdl")));
    ASSERT_TRUE(waitFor([&] { return failed.size() == 1; }));
    EXPECT_FALSE(failed[0].isEmpty());
}

// The names Rename, Duplicate and New Sound in Bank arrive at, in a folder
// holding coin.zdl, coin_2.zdl and a dangling link; never one that exists.
TEST(BankFiles, NamesNeverTakeAnExistingFile) {
    QTemporaryDir dir;
    for (const char* name : {"coin.zdl", "coin_2.zdl", "hit_9.json"})
        ASSERT_TRUE(testfiles::writeFile(dir.filePath(QString::fromUtf8(name)), QByteArray("x")));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral("link.zdl"))));
    struct Duplicate {
        const char* of;
        const char* gives;
    };
    for (const Duplicate d : {Duplicate{"coin.zdl", "coin_3.zdl"}, Duplicate{"coin_2.zdl", "coin_3.zdl"},
                              Duplicate{"hit_9.json", "hit_10.json"}, Duplicate{"_2.zdl", "_2_2.zdl"},
                              Duplicate{"link_1.zdl", "link_2.zdl"}}) {
        EXPECT_EQ(QFileInfo(bank_files::duplicatePath(dir.filePath(QString::fromUtf8(d.of)))).fileName(),
                  QString::fromUtf8(d.gives))
            << d.of;
    }
    struct Typed {
        const char* typed;
        const char* gives;  // "" for refused
    };
    for (const Typed t : {Typed{"laser", "laser.zdl"}, Typed{" laser.JSON ", "laser.JSON"},
                          Typed{"notes.txt", "notes.txt.zdl"}, Typed{"coin", ""}, Typed{"coin.zdl", ""},
                          Typed{"link", ""}, Typed{"a/b", ""}, Typed{"..", ""}, Typed{"", ""}}) {
        QString error;
        const QString path =
            bank_files::pathForName(dir.path(), QString::fromUtf8(t.typed), QStringLiteral("zdl"), error);
        EXPECT_EQ(QFileInfo(path).fileName(), QString::fromUtf8(t.gives)) << t.typed;
        EXPECT_EQ(error.isEmpty(), !path.isEmpty()) << t.typed;
    }
    QString error;
    EXPECT_FALSE(
        bank_files::copy(dir.filePath(QStringLiteral("coin.zdl")), dir.filePath(QStringLiteral("coin_2.zdl")), error));
    EXPECT_FALSE(
        bank_files::rename(dir.filePath(QStringLiteral("coin.zdl")), dir.filePath(QStringLiteral("link.zdl")), error));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("link.zdl"))).isSymLink());
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
