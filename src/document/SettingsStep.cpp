#include "document/SettingsStep.h"

SettingsStep::SettingsStep(const QString& name, SoundSettings before, SoundSettings after, Apply apply)
    : name_(name), before_(std::move(before)), after_(std::move(after)), apply_(std::move(apply)) {
    bytes_ = sizeof(SettingsStep) + static_cast<size_t>(name_.capacity()) * sizeof(QChar) +
             before_.amplitude.bytesApartFrom(after_.amplitude) + before_.frequency.bytesApartFrom(after_.frequency);
}
