#pragma once
// Checks the report tests of both programs share.
#include "VoRptEngine.h"
#include "VoRptLayout.h"
#include "VoRptPages.h"

#include <QFontMetricsF>
#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>

// Every variable the layout prints is one the program publishes, and every list it reads exists.
inline void VoExpectLayoutReferencesKnown(const TVoRptLayout &layout) {
    for (const TVoRptReference &r : layout.References()) {
        if (r.kind == TVoRptReference::rkVariable)
            EXPECT_TRUE(VoRptVariablePublished(r.name)) << r.name.toStdString();
        else
            EXPECT_NE(TfrDBDataSet::Find(r.dataSet), nullptr) << r.dataSet.toStdString();
    }
}

// Headings of one row never run together: between the end of one fixed text and the start of the next
// on its right (a number's heading set right, a text's set left) there is room for more than a space,
// so that "Buono" and "Settore" are read as two headings and not as "Buono Settore".
inline void VoExpectHeadingsApart(const TVoRptLayout &layout) {
    constexpr double kLeast = 2.0; // millimetres
    constexpr double kPadding = 0.5;
    QList<const TVoRptBand *> bands;
    for (const auto &band :
         {layout.reportTitle, layout.pageHeader, layout.columnHeader, layout.summary, layout.pageFooter})
        if (band)
            bands << &*band;
    QList<const TVoRptDataBand *> data;
    for (const TVoRptDataBand &master : layout.masters)
        data << &master;
    while (!data.isEmpty()) {
        const TVoRptDataBand *d = data.takeFirst();
        bands << &d->band;
        for (const TVoRptGroup &group : d->groups)
            for (const auto &band : {group.header, group.footer})
                if (band)
                    bands << &*band;
        for (const TVoRptDataBand &detail : d->details)
            data << &detail;
    }
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(1200 * 1000 * 10 / 254);
    const double dotsPerMm = device.dotsPerMeterX() / 1000.0;
    // Where a heading's ink starts and ends.
    const auto extent = [&](const TVoRptItem &item) {
        // A text wider than its box is wrapped or made smaller to fit it.
        const double width =
            qMin(QFontMetricsF(VoRptQFont(item.font), &device).horizontalAdvance(item.caption) / dotsPerMm,
                 item.w - 2 * kPadding);
        if (item.align & Qt::AlignRight)
            return std::pair{item.x + item.w - kPadding - width, item.x + item.w - kPadding};
        if (item.align & Qt::AlignHCenter)
            return std::pair{item.x + (item.w - width) / 2, item.x + (item.w + width) / 2};
        return std::pair{item.x + kPadding, item.x + kPadding + width};
    };
    for (const TVoRptBand *band : bands) {
        QList<const TVoRptItem *> headings;
        for (const TVoRptItem &item : band->items)
            if (item.kind == TVoRptItem::ikText && !item.caption.isEmpty())
                headings << &item;
        for (const TVoRptItem *left : headings) {
            // The next heading on the same line, the first whose box starts where this one's ends or after.
            const TVoRptItem *right = nullptr;
            for (const TVoRptItem *other : headings)
                if (other != left && qAbs(other->y - left->y) < 0.01 &&
                    other->x >= left->x + left->w - 0.01 && (!right || other->x < right->x))
                    right = other;
            if (right) {
                EXPECT_GE(extent(*right).first - extent(*left).second, kLeast)
                    << "\"" << left->caption.toStdString() << "\" and \"" << right->caption.toStdString()
                    << "\" at line " << left->line;
            }
        }
    }
}

// The text printed place texts after a caption (the figures on its right, as pages list their texts),
// empty when the caption is not printed.
inline QString VoRptTextAfter(const QStringList &texts, const QString &caption, int place = 1) {
    const qsizetype at = texts.indexOf(caption);
    return at < 0 ? QString() : texts.value(at + place);
}
