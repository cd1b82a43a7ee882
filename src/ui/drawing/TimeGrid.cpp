#include "ui/drawing/TimeGrid.h"

namespace time_grid {

int stepMs(float g) {
    if (g > 20) return 2;
    if (g > 8) return 5;
    if (g > 4) return 10;
    if (g > 2) return 20;
    if (g > 0.8f) return 50;
    if (g > 0.4f) return 100;
    if (g > 0.2f) return 200;
    if (g > 0.08f) return 500;
    return 1000;
}

}  // namespace time_grid
