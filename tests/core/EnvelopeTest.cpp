#include "Envelope.h"

#include <gtest/gtest.h>

TEST(Envelope, ResetAmplitudeIsLevelThenFades) {
    Envelope e(EnvelopeKind::Amplitude);
    EXPECT_EQ(e.toText(), "0:75 20:75 40:75 60:75 80:75 100:0");
}
