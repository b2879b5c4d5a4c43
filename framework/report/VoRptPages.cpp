#include "VoRptPages.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

namespace {

constexpr double kMmPerInch = 25.4;
// Texts are measured at the resolution of the PDF files, so that what fits there fits everywhere.
constexpr int kMeasureDpi = 1200;
// The air between a text and the sides of its box (and its frame), in millimetres.
constexpr double kTextPadding = 0.5;

const QPaintDevice *MeasureDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(kMeasureDpi / kMmPerInch * 1000.0));
        image.setDotsPerMeterY(qRound(kMeasureDpi / kMmPerInch * 1000.0));
        return image;
    }();
    return &device;
}

QRectF ToDevice(const QRectF &mm, double dotsPerMm) {
    return QRectF(mm.x() * dotsPerMm, mm.y() * dotsPerMm, mm.width() * dotsPerMm, mm.height() * dotsPerMm);
}

// A wrapped text's box has grown to its lines, so centring it keeps one line level with its row.
int TextFlags(const TVoRptObject &o) {
    return int(o.align) | Qt::AlignVCenter | (o.wrap ? Qt::TextWordWrap : 0);
}

QPageLayout PageLayout(const TVoRptDocument &document) {
    const QSizeF portrait = document.landscape ? document.paperSize.transposed() : document.paperSize;
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                       document.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
}

} // namespace

QFont VoRptQFont(const TVoRptFont &font) {
    QFont f(font.family.isEmpty() ? QStringLiteral("DejaVu Sans") : font.family);
    f.setPointSizeF(font.size > 0 ? font.size : 9.0);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    return f;
}

double VoRptWrappedHeight(const QString &text, const TVoRptFont &font, double width, Qt::Alignment align) {
    const double dotsPerMm = kMeasureDpi / kMmPerInch;
    const QFontMetricsF metrics(VoRptQFont(font), const_cast<QPaintDevice *>(MeasureDevice()));
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, (width - 2 * kTextPadding) * dotsPerMm, 1e9),
                                               int(align) | Qt::TextWordWrap | Qt::AlignTop, text);
    return bounds.height() / dotsPerMm;
}

double VoRptFittingSize(const QString &text, const TVoRptFont &font, double width) {
    QFont f = VoRptQFont(font);
    const double size = f.pointSizeF();
    const double room = (width - 2 * kTextPadding) * kMeasureDpi / kMmPerInch;
    const auto needed = [&f, &text](double points) {
        f.setPointSizeF(points);
        return QFontMetricsF(f, const_cast<QPaintDevice *>(MeasureDevice())).horizontalAdvance(text);
    };
    if (room <= 0 || needed(size) <= room)
        return size;
    // Glyphs do not grow exactly with the size: from the proportion, smaller until it fits.
    double fitting = size * room / needed(size);
    for (int i = 0; i < 20 && needed(fitting) > room; ++i)
        fitting *= 0.97;
    return fitting;
}

QStringList TVoRptPage::Texts() const {
    QList<const TVoRptObject *> texts;
    for (const TVoRptObject &o : objects)
        if (o.kind == TVoRptItem::ikText && !o.text.isEmpty())
            texts << &o;
    std::stable_sort(texts.begin(), texts.end(), [](const TVoRptObject *a, const TVoRptObject *b) {
        return a->rect.y() != b->rect.y() ? a->rect.y() < b->rect.y() : a->rect.x() < b->rect.x();
    });
    QStringList out;
    for (const TVoRptObject *o : texts)
        out << o->text;
    return out;
}

QStringList TVoRptDocument::Texts() const {
    QStringList out;
    for (const TVoRptPage &page : pages)
        out << page.Texts();
    return out;
}

void TVoRptDocument::PaintPage(QPainter *painter, int page, double dotsPerInch) const {
    if (page < 0 || page >= pages.size())
        return;
    const double dotsPerMm = dotsPerInch / kMmPerInch;
    painter->save();
    for (const TVoRptObject &o : pages[page].objects) {
        const QRectF r = ToDevice(o.rect, dotsPerMm);
        QPen pen(Qt::black);
        pen.setWidthF(qMax(1.0, o.lineWidth * dotsPerMm));
        painter->setPen(pen);
        switch (o.kind) {
        case TVoRptItem::ikLine:
            painter->drawLine(r.topLeft(), r.bottomRight());
            break;
        case TVoRptItem::ikBox:
            painter->setBrush(o.fill.isValid() ? QBrush(o.fill) : QBrush(Qt::NoBrush));
            painter->drawRect(r);
            painter->setBrush(Qt::NoBrush);
            break;
        case TVoRptItem::ikText: {
            if (o.frame & rfLeft)
                painter->drawLine(r.topLeft(), r.bottomLeft());
            if (o.frame & rfTop)
                painter->drawLine(r.topLeft(), r.topRight());
            if (o.frame & rfRight)
                painter->drawLine(r.topRight(), r.bottomRight());
            if (o.frame & rfBottom)
                painter->drawLine(r.bottomLeft(), r.bottomRight());
            if (o.text.isEmpty())
                break;
            QFont font = VoRptQFont(o.font);
            // Sized for this device, whatever resolution the painter's own device reports.
            font.setPixelSize(qMax(1, qRound(font.pointSizeF() * dotsPerInch / 72.0)));
            painter->setFont(font);
            const double pad = kTextPadding * dotsPerMm;
            painter->drawText(r.adjusted(pad, 0, -pad, 0), TextFlags(o), o.text);
            break;
        }
        }
    }
    painter->restore();
}

void TVoRptDocument::Print(QPagedPaintDevice *device) const {
    QPainter painter(device);
    const double dpi = device->logicalDpiX();
    for (int p = 0; p < pages.size(); ++p) {
        if (p > 0)
            device->newPage();
        PaintPage(&painter, p, dpi);
    }
}

bool TVoRptDocument::WritePdf(const QString &path, QString *error) const {
    {
        QPdfWriter writer(path);
        writer.setResolution(kMeasureDpi);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Velisto"));
        writer.setPageLayout(PageLayout(*this));
        Print(&writer);
    }
    QFile written(path);
    if (written.exists() && written.size() > 0)
        return true;
    if (error)
        *error = QStringLiteral("Impossibile scrivere il file \"%1\".").arg(path);
    return false;
}

void TVoRptDocument::SetUpPrinter(QPrinter *printer) const {
    printer->setFullPage(true);
    printer->setPageLayout(PageLayout(*this));
    printer->setDocName(title);
}
