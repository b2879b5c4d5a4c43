#include "VoRptEngine.h"

#include "VoClassRegistry.h"
#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoMDIMain.h"
#include "VoMessages.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoRptLayout.h"
#include "VoRptPages.h"
#include "VoTransaction.h"
#include "VoWait.h"

#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <cmath>
#include <cstdlib>
#include <optional>

// --- What is published -----------------------------------------------------------------------------------

namespace {

QList<TfrDBDataSet *> &Publishers() {
    static QList<TfrDBDataSet *> list;
    return list;
}

QHash<QString, QList<QPointer<QObject>>> &Variables() {
    static QHash<QString, QList<QPointer<QObject>>> variables;
    return variables;
}

} // namespace

TfrDBDataSet::TfrDBDataSet(QObject *owner, TVoQueryCollection *dataSet) : QObject(owner), m_dataSet(dataSet) {
    Publishers().append(this);
}

TfrDBDataSet::~TfrDBDataSet() {
    Publishers().removeAll(this);
}

QString TfrDBDataSet::UserName() const {
    if (!m_userName.isEmpty() || !m_dataSet)
        return m_userName;
    return m_dataSet->objectName();
}

TfrDBDataSet *TfrDBDataSet::Find(const QString &name) {
    for (TfrDBDataSet *p : std::as_const(Publishers()))
        if (p->UserName().compare(name, Qt::CaseInsensitive) == 0)
            return p;
    return nullptr;
}

void VoRptPublishVariable(QObject *owner, const QString &name) {
    Variables()[name.toUpper()].append(owner);
}

bool VoRptVariablePublished(const QString &name) {
    const auto it = Variables().constFind(name.toUpper());
    if (it == Variables().constEnd())
        return false;
    for (const QPointer<QObject> &owner : *it)
        if (owner)
            return true;
    return false;
}

// --- A run ---------------------------------------------------------------------------------------------

namespace {

// Decimals a total adds up exactly in whole units: more than any amount prints, few enough that
// the whole units of any register's total fit a 64-bit integer.
constexpr int kMostDecimals = 6;

// A value as a total counts it: rounded half away from zero to the decimals it prints with, in
// units of 10^-decimals, or for an item of a scale in units of 10^-scale rounded to those decimals.
qint64 Units(double value, int decimals, int scale) {
    if (scale == 0)
        return VoRoundScaled(value, decimals);
    const qint64 units = qint64(std::llround(value));
    if (decimals >= scale)
        return units;
    qint64 step = 1;
    for (int i = decimals; i < scale; ++i)
        step *= 10;
    const qint64 rounded = (std::abs(units) + step / 2) / step * step;
    return units < 0 ? -rounded : rounded;
}

// A whole number of 10^-scale units as the number it stands for, rounded half away from zero to the
// decimals of the format in integers, so that no amount is off by a cent through binary fractions.
QVariant Scaled(const QVariant &value, const QString &format, int scale) {
    const qint64 units = Units(TVoRptExpr::ToNumber(value), qMax(0, VoFormatDecimals(format)), scale);
    qint64 divisor = 1;
    for (int i = 0; i < scale; ++i)
        divisor *= 10;
    return double(units / divisor) + double(units % divisor) / double(divisor);
}

QString Formatted(const QVariant &value, const QString &format, int scale = 0) {
    if (value.isNull() || !value.isValid())
        return QString();
    if (scale > 0 && VoIsNumber(value))
        return Formatted(Scaled(value, format, scale), format);
    const int type = value.typeId();
    if (!format.isEmpty() && type == QMetaType::QDate)
        return value.toDate().toString(format);
    if (!format.isEmpty() && type == QMetaType::QDateTime)
        return value.toDateTime().toString(format);
    double number = 0.0;
    if (!format.isEmpty() &&
        (VoIsNumber(value) || (type == QMetaType::QString && VoTextToFloat(value.toString(), &number))))
        return VoFormatFloat(format, VoIsNumber(value) ? value.toDouble() : number);
    if (type == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return VoDisplayText(value);
}

bool SameValue(const QVariant &a, const QVariant &b) {
    const bool nullA = a.isNull() || !a.isValid();
    const bool nullB = b.isNull() || !b.isValid();
    return nullA || nullB ? nullA == nullB : VoVariantToText(a) == VoVariantToText(b);
}

// An item laid out in a band, before the band is placed.
struct TBuilt {
    QList<TVoRptObject> objects;
    // The objects whose text waits for the count of pages, with what they print.
    QList<QPair<int, TVoRptExpr>> deferred;
    QList<QString> formats;
    double height = 0;
};

class TRun : public IVoRptValues {
public:
    TRun(TVoReport &engine, const TVoRptLayout &layout, const TVoReport::TFirstPage &firstPage)
        : m_engine(engine), m_layout(layout), m_firstPage(firstPage) {}
    ~TRun() override { ReleaseFilters(); }

    // Every name the layout uses is published; the totals know where they count.
    void Check() {
        for (const TVoRptReference &r : m_layout.References()) {
            if (r.kind == TVoRptReference::rkDataSet) {
                TfrDBDataSet *publisher = TfrDBDataSet::Find(r.dataSet);
                if (!publisher || !publisher->DataSet())
                    m_layout.Refuse(r.line, r.column,
                                    QStringLiteral("dataset \"%1\" non pubblicato").arg(r.dataSet));
                m_dataSets.insert(r.dataSet.toUpper(), publisher);
            } else if (r.kind == TVoRptReference::rkVariable && !VoRptVariablePublished(r.name)) {
                m_layout.Refuse(r.line, r.column,
                                QStringLiteral("variabile \"%1\" non pubblicata").arg(r.name));
            }
        }
        const auto fixed = [&](const std::optional<TVoRptBand> &band, TVoRptScope scope) {
            if (band)
                AddTotals(*band, scope, nullptr);
        };
        fixed(m_layout.reportTitle, TVoRptScope::Report);
        fixed(m_layout.pageHeader, TVoRptScope::Page);
        fixed(m_layout.columnHeader, TVoRptScope::Page);
        fixed(m_layout.summary, TVoRptScope::Report);
        fixed(m_layout.pageFooter, TVoRptScope::Page);
        for (const TVoRptDataBand &m : m_layout.masters)
            AddTotals(m);
    }

    // The selection forms; false when the user cancelled one.
    bool SelectRows() {
        for (const QString &name : m_layout.DataSets()) {
            auto *publisher = qobject_cast<TVofrDBDataSet *>(m_dataSets.value(name.toUpper()));
            if (publisher && publisher->ShowSelectForm && !Select(publisher))
                return false;
        }
        return true;
    }

    std::unique_ptr<TVoRptDocument> LayOut() {
        m_clock.start();
        const auto hideProgress = qScopeGuard([this] { m_progress.reset(); });
        m_document = std::make_unique<TVoRptDocument>();
        m_document->title = m_layout.title;
        m_document->paperSize = m_layout.PaperSize();
        m_document->landscape = m_layout.landscape;
        // The masters' datasets open before anything prints, so that what their BeforeOpen handlers
        // ask the user (a period) is known to the titles and headers.
        for (const TVoRptDataBand &master : m_layout.masters) {
            TVoQueryCollection *rows = Collection(master.dataSet);
            if (!rows->Active()) {
                rows->Open();
                m_fresh.insert(rows);
            }
            CheckFields(master.dataSet);
        }
        // Nothing asks the user anything from here on: the rows are read in one transaction rather
        // than each detail in one of its own, which on a long report is most of the time it takes.
        TVoTransaction reading(m_layout.masters.isEmpty()
                                   ? nullptr
                                   : Collection(m_layout.masters.first().dataSet)->Connection());
        if (!m_layout.masters.isEmpty())
            reading.StartTransaction();
        StartPage();
        for (const TVoRptDataBand &master : m_layout.masters)
            Walk(master, true);
        if (m_layout.summary)
            Place(*m_layout.summary);
        EndPage();
        // The second pass: the count of pages is known.
        m_pages = m_document->PageCount();
        for (const TDeferred &d : std::as_const(m_deferred)) {
            TVoRptObject &o = m_document->pages[d.page].objects[d.object];
            o.text = Formatted(d.expr.Evaluate(*this), d.format);
            if (!o.wrap)
                o.font.size = VoRptFittingSize(o.text, o.font, o.rect.width());
        }
        if (reading.Active())
            reading.Commit();
        return std::move(m_document);
    }

    // --- IVoRptValues
    QVariant Field(const TVoRptNode &node) override {
        TVoQueryCollection *data = Collection(node.dataSet);
        if (!data->Active())
            return QVariant();
        const TVoField *field = data->FindField(node.name);
        if (!field)
            m_layout.Refuse(m_line, m_column,
                            QStringLiteral("campo \"%1.%2\" non trovato").arg(node.dataSet, node.name));
        return field->Value();
    }
    QVariant Variable(const QString &name) override {
        QVariant value;
        m_engine.OnGetValue(name, value);
        return value;
    }
    int Page() override { return m_page + 1; }
    int Pages() override { return m_pages; }
    QVariant Aggregate(const TVoRptNode &node) override {
        const auto it = m_totalOf.constFind(&node);
        if (it == m_totalOf.constEnd())
            return QVariant();
        const TTotal &t = m_totals[*it];
        if (node.kind == TVoRptNode::nkCount)
            return QVariant(t.count);
        if (t.decimals < 0)
            return QVariant(t.sum);
        // Units of the scale stay units, for the item to scale as it prints them.
        if (t.scale > 0)
            return QVariant(t.units);
        return QVariant(double(t.units) / std::pow(10.0, t.decimals));
    }

private:
    struct TTotal {
        const TVoRptNode *node = nullptr;
        TVoRptScope scope = TVoRptScope::Report;
        const TVoRptGroup *group = nullptr;
        QString dataSet;
        // A total printed with decimals adds up its values as they print, each rounded half away
        // from zero to those decimals, in whole units: what a reader adds by hand is what it shows.
        // Without them (no number format), the plain sum.
        int decimals = -1;
        int scale = 0;
        qint64 units = 0;
        double sum = 0;
        qint64 count = 0;
    };
    struct TDeferred {
        int page = 0;
        int object = 0;
        TVoRptExpr expr;
        QString format;
    };
    struct TColumns {
        const TVoRptDataBand *band = nullptr;
        int column = 0;
        double lineHeight = 0;
    };

    TVoQueryCollection *Collection(const QString &name) const {
        return m_dataSets.value(name.toUpper())->DataSet();
    }

    // --- Totals
    void AddTotals(const TVoRptBand &band, TVoRptScope scope, const TVoRptGroup *group) {
        for (const TVoRptItem &item : band.items)
            for (const TVoRptExpr *expr : {&item.expr, &item.visible})
                for (const auto kind : {TVoRptNode::nkSum, TVoRptNode::nkCount})
                    for (const TVoRptNode *node : expr->Nodes(kind)) {
                        TTotal t;
                        t.node = node;
                        t.scope = node->scope == TVoRptScope::Band ? scope : node->scope;
                        if (t.scope == TVoRptScope::Group && !group)
                            m_layout.Refuse(item.line, item.column,
                                            QStringLiteral("totale GROUP fuori da un gruppo"));
                        t.group = t.scope == TVoRptScope::Group ? group : nullptr;
                        t.dataSet = TVoRptExpr::NodesOf(node->a.get(), TVoRptNode::nkField)
                                        .first()
                                        ->dataSet.toUpper();
                        t.scale = item.scale;
                        const int decimals = VoFormatDecimals(item.format);
                        if (decimals >= 0 && (decimals <= kMostDecimals || item.scale > 0))
                            t.decimals = decimals;
                        m_totalOf.insert(node, int(m_totals.size()));
                        m_totals.append(t);
                    }
    }
    void AddTotals(const TVoRptDataBand &data) {
        AddTotals(data.band, TVoRptScope::Report, nullptr);
        for (const TVoRptGroup &g : data.groups) {
            if (g.header)
                AddTotals(*g.header, TVoRptScope::Group, &g);
            if (g.footer)
                AddTotals(*g.footer, TVoRptScope::Group, &g);
        }
        for (const TVoRptDataBand &d : data.details)
            AddTotals(d);
    }
    void Count(const QString &dataSet) {
        const QString name = dataSet.toUpper();
        for (TTotal &t : m_totals) {
            if (t.dataSet != name)
                continue;
            const QVariant v = TVoRptExpr::EvaluateNode(*t.node->a, *this);
            if (v.isNull() || !v.isValid())
                continue;
            if (t.decimals >= 0)
                t.units += Units(TVoRptExpr::ToNumber(v), t.decimals, t.scale);
            else
                t.sum += TVoRptExpr::ToNumber(v);
            ++t.count;
        }
    }
    void Reset(TVoRptScope scope, const TVoRptGroup *group = nullptr) {
        for (TTotal &t : m_totals)
            if (t.scope == scope && t.group == group)
                t.sum = t.units = t.count = 0;
    }

    // --- Selection forms
    bool Select(TVofrDBDataSet *publisher) {
        TVoQueryCollection *data = publisher->DataSet();
        QWidget *window = CreateVoClass(publisher->SelectFormClass, TfmVoMDIMain::Instance());
        std::unique_ptr<QWidget> owned(window);
        auto *form = qobject_cast<TfmVoMultiSelect *>(window);
        if (!form)
            throw EVoError(QStringLiteral("La classe \"%1\" non è un modulo di selezione.")
                               .arg(publisher->SelectFormClass));
        form->SetCommandText(data->CommandText());
        for (int i = 0; i < data->Params().Count(); ++i)
            if (data->Params()[i].Bound())
                form->SetParam(data->Params()[i].Name(), data->Params()[i].Value());
        publisher->OnBeforeSelectForm(publisher, form);
        QVariantList chosen;
        form->SetBookmarkList(&chosen);
        if (form->exec() != QDialog::Accepted)
            return false;
        publisher->OnAfterSelectForm(publisher, form);
        if (!publisher->DoAfterSelect || chosen.isEmpty())
            return true;
        QSet<QString> keys;
        for (const QVariant &id : std::as_const(chosen))
            keys.insert(VoVariantToText(id));
        data->SetRowFilter([keys](const TVoQueryCollection *c) {
            return c->FieldCount() > 0 && keys.contains(VoVariantToText(c->Fields(0)->Value()));
        });
        m_filtered << data;
        return true;
    }
    void ReleaseFilters() {
        for (const QPointer<TVoQueryCollection> &data : std::as_const(m_filtered))
            if (data)
                VoGuarded([&] { data->ClearRowFilter(); });
        m_filtered.clear();
    }

    // --- Data
    void CheckFields(const QString &dataSet) {
        if (m_checked.contains(dataSet.toUpper()))
            return;
        m_checked.insert(dataSet.toUpper());
        const TVoQueryCollection *data = Collection(dataSet);
        for (const TVoRptReference &r : m_layout.References())
            if (r.kind == TVoRptReference::rkField && r.dataSet.compare(dataSet, Qt::CaseInsensitive) == 0 &&
                !data->FindField(r.name))
                m_layout.Refuse(r.line, r.column,
                                QStringLiteral("campo \"%1.%2\" non trovato").arg(r.dataSet, r.name));
    }
    QVariantList GroupValues(const TVoRptDataBand &data) {
        QVariantList values;
        for (const TVoRptGroup &g : data.groups) {
            const TVoRptBand &first = g.header ? *g.header : *g.footer;
            m_line = first.line;
            m_column = first.column;
            values << g.expr.Evaluate(*this);
        }
        return values;
    }
    // A master's rows are the steps of the progress.
    void Walk(const TVoRptDataBand &data, bool master = false) {
        TVoQueryCollection *rows = Collection(data.dataSet);
        // Just opened, it stands on its first row and has scrolled there.
        if (!m_fresh.remove(rows)) {
            if (!rows->Active())
                rows->Open();
            else
                rows->First();
        }
        CheckFields(data.dataSet);
        if (rows->IsEmpty())
            return;
        int level = 0;
        for (;;) {
            const QVariantList values = GroupValues(data);
            for (int g = level; g < data.groups.size(); ++g) {
                Reset(TVoRptScope::Group, &data.groups[g]);
                if (data.groups[g].header)
                    Place(*data.groups[g].header);
            }
            if (data.columns > 1)
                PlaceAcross(data);
            else
                Place(data.band);
            Count(data.dataSet);
            for (const TVoRptDataBand &detail : data.details)
                Walk(detail);
            if (master)
                Progress();
            // The footers print while the last row of their group is still the current one.
            QVariantList next;
            const bool more = rows->ReadRow(rows->RecNo(), [&] { next = GroupValues(data); });
            level = 0;
            while (more && level < values.size() && SameValue(values[level], next[level]))
                ++level;
            for (int g = int(data.groups.size()) - 1; g >= level; --g)
                if (data.groups[g].footer)
                    Place(*data.groups[g].footer);
            if (!more)
                break;
            rows->Next();
        }
        FlushColumns();
    }

    // A master's row laid out: past the quiet time the wait window shows how far the run is and
    // takes "Annulla", which ends the run here with EVoAbort.
    void Progress() {
        ++m_mastersDone;
        if (!m_progress) {
            if (m_clock.elapsed() < m_engine.ProgressAfterMs)
                return;
            int masters = 0;
            for (const TVoRptDataBand &master : m_layout.masters)
                masters += Collection(master.dataSet)->RecordCount();
            m_progress.emplace(QStringLiteral("Stampa in corso ..."), masters, true, m_layout.title);
        }
        m_progress->Step(m_mastersDone);
    }

    // The first page as the run will give it, but for the count of pages, which is not known yet.
    void HandFirstPage() {
        TVoRptDocument first;
        first.title = m_document->title;
        first.paperSize = m_document->paperSize;
        first.landscape = m_document->landscape;
        first.pages << m_document->pages.first();
        for (const TDeferred &d : std::as_const(m_deferred))
            if (d.page == 0)
                first.pages[0].objects[d.object].text.clear();
        m_firstPage(first);
    }

    // --- Pages
    double Bottom() const {
        const double footer = m_layout.pageFooter ? m_layout.pageFooter->height : 0;
        return m_document->paperSize.height() - m_layout.margins.bottom() - footer;
    }
    double Width() const {
        return m_document->paperSize.width() - m_layout.margins.left() - m_layout.margins.right();
    }
    bool Visible(const TVoRptExpr &visible) {
        return visible.IsEmpty() || TVoRptExpr::Truth(visible.Evaluate(*this));
    }
    TBuilt Build(const TVoRptBand &band) {
        TBuilt built;
        built.height = band.height;
        for (const TVoRptItem &item : band.items) {
            m_line = item.line;
            m_column = item.column;
            if (!Visible(item.visible))
                continue;
            TVoRptObject o;
            o.kind = item.kind;
            o.rect = QRectF(item.x, item.y, item.w, item.h);
            o.font = item.font;
            o.align = item.align;
            o.frame = item.frame;
            o.wrap = item.wrap;
            o.lineWidth = item.lineWidth;
            o.fill = item.fill;
            if (item.kind == TVoRptItem::ikText) {
                o.text = item.expr.IsEmpty() ? item.caption
                                             : Formatted(item.expr.Evaluate(*this), item.format, item.scale);
                if (item.expr.UsesPages())
                    built.deferred.append({int(built.objects.size()), item.expr.Freeze(*this)});
                if (!item.wrap && !o.text.isEmpty())
                    o.font.size = VoRptFittingSize(o.text, o.font, item.w);
                if (item.wrap && !o.text.isEmpty()) {
                    const double needed = VoRptWrappedHeight(o.text, o.font, item.w, item.align);
                    o.rect.setHeight(qMax(item.h, needed));
                    built.height = qMax(built.height, item.y + o.rect.height());
                }
            }
            built.formats.append(item.format);
            built.objects.append(o);
        }
        return built;
    }
    static bool UsesPage(const TVoRptBand &band) {
        for (const TVoRptItem &item : band.items)
            if (item.expr.UsesPage() || item.visible.UsesPage())
                return true;
        return false;
    }
    void Put(const TBuilt &built, double x, double y) {
        TVoRptPage &page = m_document->pages[m_page];
        const int first = int(page.objects.size());
        for (TVoRptObject o : built.objects) {
            o.rect.translate(x, y);
            page.objects.append(o);
        }
        for (const auto &d : built.deferred)
            m_deferred.append({m_page, first + d.first, d.second, built.formats[d.first]});
    }
    // A band in the flow: on the next page, under the repeated headers, when it does not fit.
    void Place(const TVoRptBand &band) {
        FlushColumns();
        if (!Visible(band.visible))
            return;
        TBuilt built = Build(band);
        if (m_y + built.height > Bottom() + 1e-9 && m_y > m_contentTop + 1e-9) {
            NewPage();
            if (UsesPage(band))
                built = Build(band);
        }
        Put(built, m_layout.margins.left(), m_y);
        m_y += built.height;
    }
    void PlaceAcross(const TVoRptDataBand &data) {
        if (m_columns.band != &data) {
            FlushColumns();
            m_columns = {&data, 0, 0};
        }
        if (!Visible(data.band.visible))
            return;
        const TBuilt built = Build(data.band);
        if (m_columns.column == 0 && m_y + built.height > Bottom() + 1e-9 && m_y > m_contentTop + 1e-9) {
            m_columns.band = nullptr;
            NewPage();
            m_columns = {&data, 0, 0};
        }
        Put(built, m_layout.margins.left() + m_columns.column * Width() / data.columns, m_y);
        m_columns.lineHeight = qMax(m_columns.lineHeight, built.height);
        if (++m_columns.column == data.columns)
            FlushColumns();
    }
    void FlushColumns() {
        if (m_columns.band && m_columns.column > 0)
            m_y += m_columns.lineHeight;
        if (m_columns.band)
            m_columns = {m_columns.band, 0, 0};
    }
    // Placed where it belongs whatever the room left.
    void PlaceFixed(const std::optional<TVoRptBand> &band, double y) {
        if (!band || !Visible(band->visible))
            return;
        const TBuilt built = Build(*band);
        Put(built, m_layout.margins.left(), y);
        m_y = y + built.height;
    }
    void StartPage() {
        if (m_page == 0 && m_firstPage)
            HandFirstPage();
        m_document->pages.append(TVoRptPage());
        m_page = int(m_document->pages.size()) - 1;
        Reset(TVoRptScope::Page);
        m_y = m_layout.margins.top();
        if (m_page == 0)
            PlaceFixed(m_layout.reportTitle, m_y);
        PlaceFixed(m_layout.pageHeader, m_y);
        PlaceFixed(m_layout.columnHeader, m_y);
        m_contentTop = m_y;
    }
    void EndPage() {
        const double y = m_y;
        if (m_layout.pageFooter)
            PlaceFixed(m_layout.pageFooter, Bottom());
        m_y = y;
    }
    void NewPage() {
        EndPage();
        StartPage();
    }

    TVoReport &m_engine;
    const TVoRptLayout &m_layout;
    QHash<QString, TfrDBDataSet *> m_dataSets; // by upper-case name
    QSet<QString> m_checked;
    QSet<TVoQueryCollection *> m_fresh;
    TVoReport::TFirstPage m_firstPage;
    QElapsedTimer m_clock;
    std::optional<TVoProgressScope> m_progress;
    int m_mastersDone = 0;
    QList<QPointer<TVoQueryCollection>> m_filtered;
    QList<TTotal> m_totals;
    QHash<const TVoRptNode *, int> m_totalOf;
    std::unique_ptr<TVoRptDocument> m_document;
    QList<TDeferred> m_deferred;
    TColumns m_columns;
    int m_page = -1;
    int m_pages = 0;
    double m_y = 0;
    double m_contentTop = 0;
    // Where the expression being evaluated stands, for the messages.
    int m_line = 0;
    int m_column = 0;
};

} // namespace

TVoReport::TVoReport(QObject *parent) : QObject(parent) {}

TVoReport::~TVoReport() = default;

std::unique_ptr<TVoRptDocument> TVoReport::Run(const TVoRptLayout &layout, const TFirstPage &firstPage) {
    if (m_running)
        throw EVoError(QStringLiteral("Una stampa è già in corso."));
    m_running = true;
    const auto done = qScopeGuard([this] { m_running = false; });
    std::unique_ptr<TVoRptDocument> document;
    {
        TRun run(*this, layout, firstPage);
        // EVoAbort (a handler that told the user already, or a Cancel) ends the run without a word.
        VoGuarded([&] {
            run.Check();
            if (run.SelectRows())
                document = run.LayOut();
        });
        // The program closes its datasets, whatever became of the run.
        VoGuarded([this] { OnEndDoc(); });
    }
    return document;
}
