#pragma once

#include <QString>

#include <cstdint>

// When a file was last seen as it is: a file whose time or size differ from
// those it was read at is read again.
struct FileStamp {
    qint64 modifiedMs = 0;
    qint64 size = -1;
    bool operator==(const FileStamp& other) const { return modifiedMs == other.modifiedMs && size == other.size; }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// One sound file of a bank and what is known of it so far.
struct BankEntry {
    enum class State { Pending, Ready, Unreadable };

    QString name;  // the file name, without the folder
    QString path;  // absolute
    FileStamp stamp;
    State state = State::Pending;
    QString reason;  // Unreadable: why, as the readers put it

    // Ready: the whole sound (with its echo tail), played once.
    double durationMs = 0;
    int32_t sampleCount = 0;
    // Ready: as the sound is exported, with its repeats; -infinity when silent.
    double peakDb = 0;
    double loudnessLufs = 0;
};
