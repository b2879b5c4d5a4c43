#include "VoRptLayout.h"

#include "VoExceptions.h"

#include <QDomDocument>
#include <QDomElement>
#include <QSet>
#include <QXmlStreamReader>

namespace {

// Reads the parts of one layout, knowing the layout for its messages.
class TReader {
public:
    TReader(TVoRptLayout &layout, const QString &xml)
        : m_layout(layout), m_lines(xml.split(QLatin1Char('\n'))) {}

    void Report(const QDomElement &root) {
        if (root.hasAttribute(QStringLiteral("id")))
            m_layout.id = root.attribute(QStringLiteral("id")).toInt();
        m_layout.title = root.attribute(QStringLiteral("title"));
        m_layout.folder = root.attribute(QStringLiteral("folder"));
        m_layout.version = root.attribute(QStringLiteral("version"), QStringLiteral("1")).toInt();
        const QString page = root.attribute(QStringLiteral("page"), QStringLiteral("A4"));
        if (page.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
            m_layout.pageSize = QSizeF(210, 297);
        else if (page.compare(QLatin1String("A3"), Qt::CaseInsensitive) == 0)
            m_layout.pageSize = QSizeF(297, 420);
        else
            Refuse(root, QStringLiteral("formato di pagina \"%1\" sconosciuto").arg(page));
        m_layout.landscape = root.attribute(QStringLiteral("orientation"))
                                 .compare(QLatin1String("landscape"), Qt::CaseInsensitive) == 0;
        if (root.hasAttribute(QStringLiteral("margins"))) {
            const QList<double> m = Numbers(root, QStringLiteral("margins"), 4);
            m_layout.margins = QMarginsF(m[0], m[1], m[2], m[3]);
        }
        for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            const QString tag = e.tagName();
            if (tag == QLatin1String("masterData"))
                m_layout.masters << DataBand(e);
            else if (tag == QLatin1String("reportTitle"))
                Single(m_layout.reportTitle, e);
            else if (tag == QLatin1String("pageHeader"))
                Single(m_layout.pageHeader, e);
            else if (tag == QLatin1String("columnHeader"))
                Single(m_layout.columnHeader, e);
            else if (tag == QLatin1String("summary"))
                Single(m_layout.summary, e);
            else if (tag == QLatin1String("pageFooter"))
                Single(m_layout.pageFooter, e);
            else
                Refuse(e, QStringLiteral("banda \"%1\" sconosciuta").arg(tag));
        }
    }

private:
    [[noreturn]] void Refuse(const QDomNode &node, const QString &what) const {
        m_layout.Refuse(node.lineNumber(), StartColumn(node), what);
    }
    // Where an element's start tag begins (the document gives where it ends).
    int StartColumn(const QDomNode &node) const {
        const int line = node.lineNumber() - 1;
        if (line < 0 || line >= m_lines.size())
            return node.columnNumber();
        const qsizetype open = m_lines[line].lastIndexOf(QLatin1Char('<'), qMax(0, node.columnNumber() - 1));
        return open < 0 ? node.columnNumber() : int(open) + 1;
    }

    double Number(const QDomElement &e, const QString &name, double defaultValue = 0) const {
        if (!e.hasAttribute(name))
            return defaultValue;
        bool ok = false;
        const double value = e.attribute(name).toDouble(&ok);
        if (!ok)
            Refuse(e, QStringLiteral("valore \"%1\" di %2 non valido").arg(e.attribute(name), name));
        return value;
    }
    QList<double> Numbers(const QDomElement &e, const QString &name, int count) const {
        QList<double> out;
        for (const QString &part : e.attribute(name).split(QLatin1Char(','))) {
            bool ok = false;
            out << part.trimmed().toDouble(&ok);
            if (!ok)
                break;
        }
        if (out.size() != count)
            Refuse(e, QStringLiteral("%1 vuole %2 numeri separati da virgole").arg(name).arg(count));
        return out;
    }
    TVoRptExpr Expression(const QDomElement &e, const QString &name) const {
        try {
            return TVoRptExpr::Parse(e.attribute(name));
        } catch (const EVoError &error) {
            Refuse(e, error.Message());
        }
    }

    void Single(std::optional<TVoRptBand> &slot, const QDomElement &e) {
        if (slot)
            Refuse(e, QStringLiteral("banda \"%1\" ripetuta").arg(e.tagName()));
        slot = Band(e);
    }

    TVoRptBand Band(const QDomElement &e, bool nested = false) {
        TVoRptBand band;
        band.kind = e.tagName();
        band.height = Number(e, QStringLiteral("height"));
        band.visible = Expression(e, QStringLiteral("visible"));
        band.line = e.lineNumber();
        band.column = StartColumn(e);
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            const QString tag = c.tagName();
            if (tag == QLatin1String("text") || tag == QLatin1String("line") || tag == QLatin1String("box"))
                band.items << Item(c);
            else if (!nested)
                Refuse(c, QStringLiteral("elemento \"%1\" fuori posto").arg(tag));
        }
        return band;
    }

    TVoRptDataBand DataBand(const QDomElement &e) {
        TVoRptDataBand data;
        data.dataSet = e.attribute(QStringLiteral("dataset")).trimmed();
        if (data.dataSet.isEmpty())
            Refuse(e, QStringLiteral("banda \"%1\" senza dataset").arg(e.tagName()));
        data.columns = qMax(1, int(Number(e, QStringLiteral("columns"), 1)));
        data.band = Band(e, true);
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            const QString tag = c.tagName();
            if (tag == QLatin1String("detailData")) {
                data.details << DataBand(c);
            } else if (tag == QLatin1String("groupHeader") || tag == QLatin1String("groupFooter")) {
                const TVoRptExpr expr = Expression(c, QStringLiteral("expr"));
                if (expr.IsEmpty())
                    Refuse(c, QStringLiteral("banda \"%1\" senza expr").arg(tag));
                TVoRptGroup *group = nullptr;
                for (TVoRptGroup &g : data.groups)
                    if (g.expr.Text().simplified() == expr.Text().simplified())
                        group = &g;
                if (!group) {
                    data.groups.append({expr, std::nullopt, std::nullopt});
                    group = &data.groups.last();
                }
                std::optional<TVoRptBand> &slot =
                    tag == QLatin1String("groupHeader") ? group->header : group->footer;
                Single(slot, c);
            } else if (tag != QLatin1String("text") && tag != QLatin1String("line") &&
                       tag != QLatin1String("box")) {
                Refuse(c, QStringLiteral("elemento \"%1\" fuori posto").arg(tag));
            }
        }
        if (data.columns > 1 && (!data.groups.isEmpty() || !data.details.isEmpty()))
            Refuse(e, QStringLiteral("una banda su più colonne non può avere gruppi né dettagli"));
        return data;
    }

    TVoRptItem Item(const QDomElement &e) {
        TVoRptItem item;
        item.kind = e.tagName() == QLatin1String("line")  ? TVoRptItem::ikLine
                    : e.tagName() == QLatin1String("box") ? TVoRptItem::ikBox
                                                          : TVoRptItem::ikText;
        item.x = Number(e, QStringLiteral("x"));
        item.y = Number(e, QStringLiteral("y"));
        item.w = Number(e, QStringLiteral("w"));
        item.h = Number(e, QStringLiteral("h"));
        item.line = e.lineNumber();
        item.column = StartColumn(e);
        item.visible = Expression(e, QStringLiteral("visible"));
        item.lineWidth = Number(e, QStringLiteral("width"), 0.2);
        if (e.hasAttribute(QStringLiteral("fill")))
            item.fill = QColor(e.attribute(QStringLiteral("fill")));
        if (item.kind != TVoRptItem::ikText)
            return item;
        item.caption = e.attribute(QStringLiteral("caption"));
        item.expr = Expression(e, QStringLiteral("expr"));
        item.format = e.attribute(QStringLiteral("format"));
        item.scale = int(Number(e, QStringLiteral("scale"), 0));
        item.wrap = e.attribute(QStringLiteral("wrap")) == QLatin1String("1");
        const QString align = e.attribute(QStringLiteral("align"), QStringLiteral("left"));
        item.align = align == QLatin1String("right")    ? Qt::AlignRight
                     : align == QLatin1String("center") ? Qt::AlignHCenter
                                                        : Qt::AlignLeft;
        const QStringList font = e.attribute(QStringLiteral("font")).split(QLatin1Char(','));
        for (int i = 0; i < font.size(); ++i) {
            const QString part = font[i].trimmed();
            bool number = false;
            const double size = part.toDouble(&number);
            if (number)
                item.font.size = size;
            else if (part == QLatin1String("bold"))
                item.font.bold = true;
            else if (part == QLatin1String("italic"))
                item.font.italic = true;
            else if (i == 0)
                item.font.family = part;
        }
        for (const QString &side :
             e.attribute(QStringLiteral("frame")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString s = side.trimmed();
            item.frame |= s == QLatin1String("all")     ? rfAll
                          : s == QLatin1String("left")  ? rfLeft
                          : s == QLatin1String("top")   ? rfTop
                          : s == QLatin1String("right") ? rfRight
                          : s == QLatin1String("bottom")
                              ? rfBottom
                              : (Refuse(e, QStringLiteral("cornice \"%1\" sconosciuta").arg(s)), 0);
        }
        return item;
    }

    TVoRptLayout &m_layout;
    const QStringList m_lines;
};

// Walks every expression of the layout with its place.
template <class F> void ForEachExpr(const TVoRptBand &band, F &&f) {
    f(band.visible, band.line, band.column);
    for (const TVoRptItem &item : band.items) {
        f(item.visible, item.line, item.column);
        f(item.expr, item.line, item.column);
    }
}

} // namespace

TVoRptLayout TVoRptLayout::Parse(const QString &xml, int id) {
    TVoRptLayout layout;
    layout.id = id;
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(xml, &message, &line, &column))
        layout.Refuse(line, column, QStringLiteral("XML non valido (%1)").arg(message.trimmed()));
    const QDomElement root = document.documentElement();
    if (root.tagName() != QLatin1String("report"))
        layout.Refuse(root.lineNumber(), root.columnNumber(), QStringLiteral("manca l'elemento \"report\""));
    TReader(layout, xml).Report(root);
    return layout;
}

bool TVoRptLayout::ReadHeader(const QString &xml, int *id, QString *title, QString *folder, int *version) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd() && !reader.isStartElement())
        reader.readNext();
    if (!reader.isStartElement() || reader.name() != QLatin1String("report"))
        return false;
    const QXmlStreamAttributes a = reader.attributes();
    *id = a.value(QLatin1String("id")).toInt();
    *title = a.value(QLatin1String("title")).toString();
    *folder = a.value(QLatin1String("folder")).toString();
    const QStringView v = a.value(QLatin1String("version"));
    *version = v.isEmpty() ? 1 : v.toInt();
    return true;
}

QList<TVoRptReference> TVoRptLayout::References() const {
    QList<TVoRptReference> out;
    QSet<QString> seen;
    const auto add = [&](TVoRptReference::TKind kind, const QString &dataSet, const QString &name, int line,
                         int column) {
        const QString key = QString::number(kind) + dataSet.toUpper() + QLatin1Char('.') + name.toUpper();
        if (!seen.contains(key)) {
            seen.insert(key);
            out.append({kind, dataSet, name, line, column});
        }
    };
    const auto expression = [&](const TVoRptExpr &expr, int line, int column) {
        for (const TVoRptNode *n : expr.Nodes(TVoRptNode::nkField)) {
            add(TVoRptReference::rkDataSet, n->dataSet, QString(), line, column);
            add(TVoRptReference::rkField, n->dataSet, n->name, line, column);
        }
        for (const TVoRptNode *n : expr.Nodes(TVoRptNode::nkVariable))
            add(TVoRptReference::rkVariable, QString(), n->name, line, column);
    };
    const auto band = [&](const std::optional<TVoRptBand> &b) {
        if (b)
            ForEachExpr(*b, expression);
    };
    // Data bands name their dataset before their items do.
    const std::function<void(const TVoRptDataBand &)> data = [&](const TVoRptDataBand &d) {
        add(TVoRptReference::rkDataSet, d.dataSet, QString(), d.band.line, d.band.column);
        ForEachExpr(d.band, expression);
        for (const TVoRptGroup &g : d.groups) {
            const TVoRptBand &first = g.header ? *g.header : *g.footer;
            expression(g.expr, first.line, first.column);
            band(g.header);
            band(g.footer);
        }
        for (const TVoRptDataBand &detail : d.details)
            data(detail);
    };
    band(reportTitle);
    band(pageHeader);
    band(columnHeader);
    for (const TVoRptDataBand &m : masters)
        data(m);
    band(summary);
    band(pageFooter);
    return out;
}

QStringList TVoRptLayout::DataSets() const {
    QStringList out;
    for (const TVoRptReference &r : References())
        if (r.kind == TVoRptReference::rkDataSet)
            out << r.dataSet;
    return out;
}

QString TVoRptLayout::Name() const {
    return title.isEmpty() ? QStringLiteral("Stampa %1").arg(id)
                           : QStringLiteral("Stampa \"%1\" (%2)").arg(title).arg(id);
}

void TVoRptLayout::Refuse(int line, int column, const QString &what) const {
    throw EVoError(
        QStringLiteral("%1, riga %2, colonna %3: %4.").arg(Name()).arg(line).arg(column).arg(what));
}
