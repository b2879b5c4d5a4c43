#pragma once
// The pages a report run produces: placed texts, lines and boxes in millimetres from the top left
// corner of the paper, painted on the screen, a printer or a PDF file alike.
#include "VoRptLayout.h"

#include <QFont>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

struct TVoRptObject {
    TVoRptItem::TKind kind = TVoRptItem::ikText;
    QRectF rect;
    QString text;
    TVoRptFont font;
    Qt::Alignment align = Qt::AlignLeft;
    int frame = rfNone;
    bool wrap = false;
    double lineWidth = 0.2;
    QColor fill;
};

struct TVoRptPage {
    QList<TVoRptObject> objects;
    // The texts of the page from top to bottom, left to right.
    QStringList Texts() const;
};

class TVoRptDocument {
public:
    QString title;
    QSizeF paperSize{210, 297}; // as printed, in millimetres
    bool landscape = false;
    QList<TVoRptPage> pages;

    int PageCount() const { return int(pages.size()); }
    // Every text of every page, page after page.
    QStringList Texts() const;

    // Paints a page on a painter whose device has the given resolution, the paper's corner at 0,0.
    void PaintPage(QPainter *painter, int page, double dotsPerInch) const;
    // Paints every page on a printer (or a PDF writer), a new sheet for each.
    void Print(QPagedPaintDevice *device) const;
    // Writes the pages as a PDF file; false, with the reason, when the file cannot be written.
    bool WritePdf(const QString &path, QString *error = nullptr) const;
    // Prepares a printer for these pages: paper, orientation and no margins of its own.
    void SetUpPrinter(QPrinter *printer) const;
};

// The font a text is measured and painted with.
QFont VoRptQFont(const TVoRptFont &font);
// The size of the font at which a text on one line fits a box of that width, padding included: the
// font's own size when it fits, smaller when it does not, so that no digit of an amount is cut.
double VoRptFittingSize(const QString &text, const TVoRptFont &font, double width);
// The height, in millimetres, that a text wrapped into a width takes.
double VoRptWrappedHeight(const QString &text, const TVoRptFont &font, double width, Qt::Alignment align);
