#include "DecodedSound.h"
#include "FileSizeLimit.h"
#include "OggPages.h"
#include "TestFiles.h"
#include "core/RenderedSound.h"
#include "core/SoundModel.h"
#include "core/Waveforms.h"
#include "storage/SoundExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iterator>
#include <set>

namespace {

using soundexport::ExportFormat;

SoundModel soundAt(int sampleRate, int bits, int repeats) {
    SoundModel model;
    model.settings.resetToNew();
    model.settings.sampleRate = sampleRate;
    model.settings.bitsPerSample = bits;
    model.settings.repeatCount = repeats;
    model.applyAll();
    return model;
}

// The samples the editor plays: one copy of the sound per repeat.
QByteArray playedSamples(SoundModel& model) {
    const WavImage image = model.rendered.wavImage(model.settings.repeatCount);
    EXPECT_FALSE(image.empty());
    return QByteArray(reinterpret_cast<const char*>(image.sampleData()), qsizetype(image.dataSize()));
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(SoundExport, TheExtensionNamesTheFormatInAnyCase) {
    const struct {
        const char* path;
        std::optional<ExportFormat> format;
    } cases[] = {
        {"a.wav", ExportFormat::Wav},
        {"dir/LOUD.WAV", ExportFormat::Wav},
        {"a.flac", ExportFormat::Flac},
        {"a.Flac", ExportFormat::Flac},
        {"a.wav.ogg", ExportFormat::Ogg},
        {"a.OGG", ExportFormat::Ogg},
        {"a", std::nullopt},
        {"a.mp3", std::nullopt},
        {"a.flac.", std::nullopt},
        {"x.ogg/a", std::nullopt},
        {"a.oggx", std::nullopt},
    };
    for (const auto& c : cases) {
        const QString path = QString::fromLatin1(c.path);
        EXPECT_EQ(soundexport::formatForPath(path), c.format) << c.path;
    }
    EXPECT_EQ(soundexport::formatNamed(QStringLiteral("FLAC")), ExportFormat::Flac);
    EXPECT_EQ(soundexport::formatNamed(QStringLiteral("vorbis")), std::nullopt);
    EXPECT_EQ(soundexport::formatNamed(QString()), std::nullopt);
}

// FLAC is lossless at the sound's own width: decoded, it is the WAV's data.
TEST(SoundExport, FlacHoldsExactlyTheWavSamplesAtEveryRateAndWidth) {
    QTemporaryDir dir;
    for (const int rate : {11025, 22050, 44100}) {
        for (const int bits : {8, 16}) {
            for (const int repeats : {1, 3}) {
                SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(bits) + " bit, x" +
                             std::to_string(repeats));
                SoundModel model = soundAt(rate, bits, repeats);
                const QString path = dir.filePath(QStringLiteral("%1-%2-%3.flac").arg(rate).arg(bits).arg(repeats));
                const WriteResult written = soundexport::write(path, model.rendered, repeats, ExportFormat::Flac);
                ASSERT_TRUE(written.ok) << written.error.toStdString();
                const DecodedSound d = DecodedSound::read(path);
                ASSERT_TRUE(d.error.isEmpty()) << d.error.toStdString();
                EXPECT_EQ(d.type, QStringLiteral("flac"));
                EXPECT_EQ(d.bits, bits);
                EXPECT_EQ(d.sampleRate, rate);
                EXPECT_EQ(d.channels, 1);
                EXPECT_EQ(d.frames, int64_t(model.rendered.sampleCount()) * repeats);
                const QByteArray expected = playedSamples(model);
                EXPECT_TRUE(d.wavBytes() == expected) << d.wavBytes().size() << " of " << expected.size() << " bytes";
            }
        }
    }
}

// Vorbis is lossy: the decoded sound has the exact length and stays close
// to the original, sample for sample (no delay), at every rate Zindle has.
TEST(SoundExport, OggVorbisHasTheLengthAndTheSoundAtEveryRateAndWidth) {
    QTemporaryDir dir;
    for (const int rate : {11025, 22050, 44100}) {
        for (const int bits : {8, 16}) {
            SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(bits) + " bit");
            const int repeats = 2;
            SoundModel model = soundAt(rate, bits, repeats);
            const QString path = dir.filePath(QStringLiteral("%1-%2.ogg").arg(rate).arg(bits));
            const WriteResult written = soundexport::write(path, model.rendered, repeats, ExportFormat::Ogg);
            ASSERT_TRUE(written.ok) << written.error.toStdString();
            const DecodedSound d = DecodedSound::read(path);
            ASSERT_TRUE(d.error.isEmpty()) << d.error.toStdString();
            EXPECT_EQ(d.type, QStringLiteral("ogg"));
            EXPECT_EQ(d.sampleRate, rate);
            EXPECT_EQ(d.channels, 1);
            const int32_t n = model.rendered.sampleCount();
            EXPECT_EQ(d.frames, int64_t(n) * repeats);
            ASSERT_EQ(d.samples.size(), size_t(n) * repeats);
            double signal = 0, error = 0;
            for (size_t i = 0; i < d.samples.size(); ++i) {
                const double original = model.rendered.sampleAt(int32_t(i % size_t(n))) * (bits == 8 ? 256.0 : 1.0);
                signal += original * original;
                error += (d.samples[i] - original) * (d.samples[i] - original);
            }
            ASSERT_GT(signal, 0);
            const double snrDb = 10 * std::log10(signal / std::max(error, 1.0));
            EXPECT_GT(snrDb, 25.0);  // about 40 dB measured at every rate and width
        }
    }
}

// The same sound gives the same Ogg bytes on every run, so that pipelines and
// asset caches see no churn; another sound gets another stream serial, the
// same on every page.
TEST(SoundExport, OggBytesFollowFromTheSoundAlone) {
    QTemporaryDir dir;
    const struct {
        const char* what;
        int rate, bits, repeats;
        WaveformKind waveform;
    } cases[] = {
        {"a new sound", 11025, 8, 1, WaveformKind::Sine}, {"repeated", 11025, 8, 2, WaveformKind::Sine},
        {"16 bit", 11025, 16, 1, WaveformKind::Sine},     {"44 kHz", 44100, 8, 1, WaveformKind::Sine},
        {"square", 11025, 8, 1, WaveformKind::Square},
    };
    std::set<uint32_t> serials;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SoundModel model = soundAt(c.rate, c.bits, c.repeats);
        model.settings.waveform = waveforms::code(c.waveform);
        model.applyAll();
        QByteArray encodes[2];
        for (QByteArray& bytes : encodes) {
            const QString path = dir.filePath(QStringLiteral("run.ogg"));
            const WriteResult written = soundexport::write(path, model.rendered, c.repeats, ExportFormat::Ogg);
            ASSERT_TRUE(written.ok) << written.error.toStdString();
            bytes = testfiles::readFile(path);
        }
        ASSERT_FALSE(encodes[0].isEmpty());
        EXPECT_TRUE(encodes[0] == encodes[1]) << "two encodes differ";
        const std::vector<uint32_t> pages = oggPageSerials(encodes[0]);
        ASSERT_GE(pages.size(), 2u);
        EXPECT_EQ(std::count(pages.begin(), pages.end(), pages[0]), long(pages.size()));
        serials.insert(pages[0]);
    }
    EXPECT_EQ(serials.size(), std::size(cases)) << "two sounds share a serial";
}

// Encoding happens in memory and the bytes go through the one atomic write:
// a full disk or a folder in the way fails and leaves what was there.
TEST(SoundExport, AFailedWriteLeavesTheExistingFileWhole) {
    SoundModel model = soundAt(22050, 16, 1);
    const QByteArray old("an earlier export, kept byte for byte");
    for (const ExportFormat format : {ExportFormat::Flac, ExportFormat::Ogg}) {
        for (const rlim_t limit : {rlim_t(0), rlim_t(16)}) {
            SCOPED_TRACE(soundexport::extension(format).toStdString() + ", limit " + std::to_string(limit));
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("old.") + soundexport::extension(format));
            ASSERT_TRUE(testfiles::writeFile(path, old));
            WriteResult written;
            {
                FileSizeLimit full(limit);
                ASSERT_TRUE(full.ok());
                written = soundexport::write(path, model.rendered, 1, format);
            }
            EXPECT_FALSE(written.ok);
            EXPECT_TRUE(written.error.contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
                << written.error.toStdString();
            EXPECT_EQ(testfiles::readFile(path), old);
            EXPECT_EQ(entries(dir.path()), QStringList{QFileInfo(path).fileName()});
        }
    }
}

TEST(SoundExport, NothingToExportIsAnErrorAndWritesNothing) {
    QTemporaryDir dir;
    RenderedSound empty;
    empty.setLength(0.0f, 0.0f);
    for (const ExportFormat format : {ExportFormat::Wav, ExportFormat::Flac, ExportFormat::Ogg}) {
        const QString path = dir.filePath(QStringLiteral("empty.") + soundexport::extension(format));
        const WriteResult written = soundexport::write(path, empty, 1, format);
        EXPECT_FALSE(written.ok) << path.toStdString();
        EXPECT_FALSE(written.error.isEmpty());
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    }
}

}  // namespace
