#pragma once

#include "textfit.h"

#include <QColor>
#include <QRect>
#include <QString>

// One item of a report section: where it stands (twips, relative to its section), what it
// shows and how its text looks.
struct ReportItem
{
    enum class Kind {
        Label, // a caption, set by the definition or by the event routines
        Field, // the text of a column of the current row, optionally formatted
        Picture, // an SVG from the resources, drawn behind the texts
        Box, // a filled rectangle
    };

    QString name;
    Kind kind = Kind::Label;
    QRect rect; // twips
    QString text; // a label's initial caption; a picture's resource path
    QString column; // a field's column
    QString format; // a field's format: "#,##0.00" or "Short Date"; empty shows the value as it is
    double fontSize = 10; // points
    bool bold = false;
    QColor colour = Qt::black; // the text, or a box's fill
    Qt::Alignment alignment = Qt::AlignLeft;
    bool visible = true; // an invisible label still carries its caption
    // A number or a date: set smaller as far as it takes, never cut.
    bool figure = false;

    bool hasText() const { return kind == Kind::Label || kind == Kind::Field; }
    TextFit::Style textStyle() const
    {
        return {fontSize, bold, figure ? TextFit::Overflow::Shrink : TextFit::Overflow::ShrinkThenCut};
    }
};
