#include "ui/views/PlayCursor.h"

#include "ui/drawing/BackBuffer.h"
#include "ui/views/OutputView.h"

#include <QPainter>

int PlayCursor::columnFor(int64_t sample, int32_t main, int32_t total, int plotLeft, int plotWidth) {
    if (sample < 0 || main <= 0 || total < main || plotWidth <= 0) return -1;
    const int64_t inCopy = sample % total;
    if (inCopy >= main) return plotLeft + plotWidth;  // the tail is not drawn: wait at the edge
    // The same column the plot draws sample inCopy in.
    return plotLeft + static_cast<int>(inCopy * plotWidth / main);
}

QRect PlayCursor::strip(int x, const OutputView& plot) const {
    const QRect r = plot.rect();
    return QRect(r.left() + x, r.top() + OutputView::kPlotTop, 1,
                 r.height() - OutputView::kPlotTop - OutputView::kPlotBottom);
}

void PlayCursor::restore(BackBuffer& buffer, const OutputView& plot) {
    if (shownX_ < 0 || buffer.isNull() || under_.isNull()) {
        forget();
        return;
    }
    const QRect s = strip(shownX_, plot);
    QImage window = buffer.window(s);
    if (!window.isNull()) {
        QPainter p(&window);
        p.drawImage(0, 0, under_);
    }
    buffer.invalidate(s);
    forget();
}

void PlayCursor::moveTo(int x, BackBuffer& buffer, const OutputView& plot) {
    if (x == shownX_) return;
    restore(buffer, plot);
    if (x < 0 || buffer.isNull() || x >= plot.rect().width()) return;
    const QRect s = strip(x, plot);
    QImage window = buffer.window(s);
    if (window.isNull()) return;
    under_ = window.copy();
    window.fill(QColor(255, 255, 255));
    buffer.invalidate(s);
    shownX_ = x;
}

void PlayCursor::hide(BackBuffer& buffer, const OutputView& plot) { restore(buffer, plot); }
