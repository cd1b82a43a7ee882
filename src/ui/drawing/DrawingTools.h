#pragma once

#include <QBrush>
#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPen>
#include <QString>

// The drawing objects every view and control shares, made once at start-up
// and handed by reference to each of them. Needs a QGuiApplication (cursors).
class DrawingTools {
public:
    DrawingTools();

    QPen whitePen;   // curve of an envelope graph
    QPen redPen;     // curve while dragged, clipped parts of the output trace
    QPen greenPen;   // traces of the output and waveform plots
    QPen dottedPen;  // grid lines, dark grey, 1 on 2 off
    QBrush whiteBrush;
    QBrush redBrush;

    QFont smallFont;  // graph and plot labels: Arial, 14 px cell, normal weight
    QFont boldFont;   // titles, button captions, slider and hint texts: Arial, 16 px cell, demi-bold

    QCursor handCursor;  // over everything that reacts to a click or a drag
    QCursor playCursor;  // over the output plot

    // 80 x 51: the raised face at (1,1) and the sunken face at (1,26), 78 x 24 each.
    QImage buttonFaces;

    // The directory that was current at start, always ending in '/': where the
    // help file and the About sound are looked up, and where file dialogs open.
    QString startDirectory;

    // The window icon: the large (32 px) and the small (16 px) picture.
    static QIcon appIcon();

    // `dir` with exactly one '/' at its end unless it already has one.
    static QString withTrailingSlash(const QString& dir);
    // The largest pixel size of `family` whose line height (ascent + descent)
    // does not exceed `cellHeight`: the height a font is asked for by cell.
    static QFont fontForCellHeight(const QString& family, int cellHeight, int weight);
};
