#include "document/GeneratedHistory.h"

#include <utility>

void GeneratedHistory::add(GeneratedSound sound) {
    sounds_.push_front(std::move(sound));
    if (sounds_.size() > size_t(kLimit)) sounds_.pop_back();
    emit added();
}
