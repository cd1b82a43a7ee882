#include "storage/FileNames.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace filenames {

namespace {

constexpr char16_t kEscape = 0xDC00;

bool continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at `at` (no overlong forms,
// no surrogates, nothing past U+10FFFF), or 0 when there is none.
int sequenceLength(const unsigned char* at, qsizetype left) {
    const unsigned char b = at[0];
    if (b < 0x80) return 1;
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (left < length || at[1] < low || at[1] > high) return 0;
    for (int i = 2; i < length; ++i)
        if (!continuation(at[i])) return 0;
    return length;
}

void appendUtf8(QByteArray& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

QString decode(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.constData());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int length = sequenceLength(at + i, bytes.size() - i);
        if (length == 0) {
            name += QChar(char16_t(kEscape + at[i]));
            ++i;
        } else {
            name += QString::fromUtf8(bytes.constData() + i, length);
            i += length;
        }
    }
    return name;
}

QByteArray encode(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && QChar::isLowSurrogate(name[i + 1].unicode())) {
            appendUtf8(bytes, QChar::surrogateToUcs4(c, name[i + 1].unicode()));
            ++i;
        } else if (c >= kEscape + 0x80 && c <= kEscape + 0xFF) {
            bytes += char(c - kEscape);
        } else if (QChar::isSurrogate(c)) {
            appendUtf8(bytes, QChar::ReplacementCharacter);  // as Qt encodes it
        } else {
            appendUtf8(bytes, c);
        }
    }
    return bytes;
}

QStringList arguments(int argc, const char* const* argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i) list << decode(QByteArray(argv[i]));
    return list;
}

std::optional<FileId> idOf(const QString& path) {
    struct stat st {};
    if (::stat(encode(path).constData(), &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

QString resolved(const QString& path) {
    const QByteArray bytes = encode(path);
    char buffer[PATH_MAX];
    if (::realpath(bytes.constData(), buffer)) return decode(QByteArray(buffer));
    // A file not made yet: its folder resolved, and its own name.
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : bytes.left(slash);
    if (::realpath(folder.constData(), buffer)) {
        QByteArray whole(buffer);
        if (!whole.endsWith('/')) whole += '/';
        return decode(whole + bytes.mid(slash + 1));
    }
    return path;
}

bool exists(const QString& path) {
    struct stat st {};
    return ::lstat(encode(path).constData(), &st) == 0;
}

bool isFolder(const QString& path) {
    struct stat st {};
    return ::stat(encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeFolders(const QString& path, mode_t mode) {
    const QByteArray bytes = encode(path);
    if (bytes.isEmpty()) return false;
    // Each parent in turn, from the top; one that is there already will do.
    for (qsizetype end = bytes.indexOf('/', 1); end != -1; end = bytes.indexOf('/', end + 1)) {
        const QByteArray parent = bytes.left(end);
        if (::mkdir(parent.constData(), mode) != 0 && errno != EEXIST) return false;
    }
    if (::mkdir(bytes.constData(), mode) != 0 && errno != EEXIST) return false;
    return isFolder(path);
}

}  // namespace filenames
