#pragma once
// A report layout: one XML document per report, kept in the database and read here. Measures are
// millimetres; items stand in their band, x and y from the band's top left corner.
//
// <report id="26001" title="Registro di carico" folder="Registri" version="1" page="A4"
//         orientation="portrait|landscape" margins="left,top,right,bottom">
//   <reportTitle height=".."> items </reportTitle>    first page, at the top
//   <pageHeader height=".."> items </pageHeader>      every page
//   <columnHeader height=".."> items </columnHeader>  every page, under the page header
//   <masterData dataset="name" height=".." columns="1"> items
//     <groupHeader expr=".." height=".."> items </groupHeader>
//     <groupFooter expr=".." height=".."> items </groupFooter>
//     <detailData dataset="name" height=".."> items, groups, details </detailData>
//   </masterData>
//   <summary height=".."> items </summary>            after the data
//   <pageFooter height=".."> items </pageFooter>      every page, at the bottom
// </report>
//
// Items: <text x y w h expr=".." or caption=".." format="#,##0.00" align="left|center|right"
// scale="4" font="family,size,bold,italic" frame="all|left,top,right,bottom" wrap="1"/>, <line x y w h
// width=".."/> (from its top left to its bottom right corner), <box x y w h width=".." fill="#rrggbb"/>;
// every item and band may carry visible="expression". A masterData prints its band for each row of
// its dataset, and under each row its details, walked as the program's handlers left them. A group
// is the groupHeader and groupFooter of one expr: the header prints before the first row of each
// run of rows with the same value, the footer after the last. A data band with columns="3" prints
// its rows across, as labels; it may not hold groups or details.
#include "VoRptExpr.h"

#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <optional>

// A text's frame lines.
enum TVoRptFrame : int { rfNone = 0, rfLeft = 1, rfTop = 2, rfRight = 4, rfBottom = 8, rfAll = 15 };

struct TVoRptFont {
    QString family;
    double size = 9.0;
    bool bold = false;
    bool italic = false;
};

struct TVoRptItem {
    enum TKind { ikText, ikLine, ikBox } kind = ikText;
    double x = 0, y = 0, w = 0, h = 0;
    QString caption;
    TVoRptExpr expr;
    QString format;
    // A whole number printed as that many 10^-scale units (amounts kept in ten-thousandths: 4).
    int scale = 0;
    Qt::Alignment align = Qt::AlignLeft;
    TVoRptFont font;
    int frame = rfNone;
    bool wrap = false;
    double lineWidth = 0.2;
    QColor fill;
    TVoRptExpr visible;
    int line = 0;
    int column = 0;
};

struct TVoRptBand {
    QString kind; // the element's name
    double height = 0;
    TVoRptExpr visible;
    QList<TVoRptItem> items;
    int line = 0;
    int column = 0;
};

struct TVoRptGroup {
    TVoRptExpr expr;
    std::optional<TVoRptBand> header;
    std::optional<TVoRptBand> footer;
};

struct TVoRptDataBand {
    QString dataSet;
    int columns = 1;
    TVoRptBand band;
    QList<TVoRptGroup> groups;
    QList<TVoRptDataBand> details;
};

// A name the layout uses, where it uses it first.
struct TVoRptReference {
    enum TKind { rkDataSet, rkField, rkVariable } kind = rkDataSet;
    QString dataSet;
    QString name;
    int line = 0;
    int column = 0;
};

class TVoRptLayout {
public:
    // Reads a layout; a mistake raises EVoError naming the report (by id until its own attributes
    // are read), the line and the column.
    static TVoRptLayout Parse(const QString &xml, int id = 0);
    // Only the report element's attributes (id, title, folder, version): false when the text is no
    // layout.
    static bool ReadHeader(const QString &xml, int *id, QString *title, QString *folder, int *version);

    int id = 0;
    QString title;
    QString folder;
    int version = 0;
    QSizeF pageSize{210, 297};
    bool landscape = false;
    QMarginsF margins{10, 10, 10, 10};

    std::optional<TVoRptBand> reportTitle, pageHeader, columnHeader, summary, pageFooter;
    QList<TVoRptDataBand> masters;

    // The page as printed (turned when landscape).
    QSizeF PaperSize() const { return landscape ? pageSize.transposed() : pageSize; }
    // Datasets, fields and variables named, each once (names compared ignoring case), in the order
    // of the layout.
    QList<TVoRptReference> References() const;
    // The datasets the layout names, in its order.
    QStringList DataSets() const;
    // "Stampa "title" (id)", for the messages.
    QString Name() const;
    // An error of the layout at a place.
    [[noreturn]] void Refuse(int line, int column, const QString &what) const;
};
