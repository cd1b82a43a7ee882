#pragma once

#include "document/GeneratedSound.h"

#include <QObject>

#include <deque>

// The sounds generated in this session, newest first: the last kLimit of
// them, so that one heard a while ago can be found again.
class GeneratedHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kLimit = 100;

    explicit GeneratedHistory(QObject* parent = nullptr) : QObject(parent) {}

    // Puts `sound` first; the oldest goes once there are more than kLimit.
    void add(GeneratedSound sound);

    int size() const { return static_cast<int>(sounds_.size()); }
    bool empty() const { return sounds_.empty(); }
    // 0 is the newest.
    const GeneratedSound& at(int index) const { return sounds_.at(static_cast<size_t>(index)); }

signals:
    void added();

private:
    std::deque<GeneratedSound> sounds_;
};
