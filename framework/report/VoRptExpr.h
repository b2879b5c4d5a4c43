#pragma once
// The expressions of a report layout: what a text item prints, when an item or band shows, what a
// group follows.
//
//   [dataset.FIELD]   a field of a published dataset's current row (names in any case)
//   [name]            a report variable, or [PAGE], [PAGES] (the page and the count of pages) and
//                     [DATE] (today)
//   12.5  'text'      literals (a quote inside a text is written twice)
//   + - * /           arithmetic; + joins texts when one side is a text
//   = <> < <= > >=    comparisons; AND, OR, NOT
//                     (NULL counts as 0 beside a number and as '' beside a text)
//   IIF(c, a, b)      a when c holds, else b
//   SUM(e), COUNT(e)  the sum of e, or how many times e is not NULL, over the rows printed by the
//                     data band of the dataset e names; per report, group or page by the band the
//                     aggregate stands in, or as a last argument REPORT, GROUP or PAGE says; in a
//                     text with a number format, SUM adds each value as that format prints it
//                     (rounded half away from zero to its decimals), exactly
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

struct TVoRptNode;

// Where an aggregate counts its rows.
enum class TVoRptScope { Band, Report, Group, Page };

// What an expression reads while it is evaluated.
class IVoRptValues {
public:
    virtual ~IVoRptValues() = default;
    virtual QVariant Field(const TVoRptNode &node) = 0;
    virtual QVariant Variable(const QString &name) = 0;
    virtual int Page() = 0;
    virtual int Pages() = 0;
    virtual QVariant Aggregate(const TVoRptNode &node) = 0;
};

struct TVoRptNode {
    enum TKind {
        nkLiteral,
        nkField,
        nkVariable,
        nkPage,
        nkPages,
        nkDate,
        nkNeg,
        nkNot,
        nkBinary,
        nkIif,
        nkSum,
        nkCount
    } kind = nkLiteral;
    QVariant value;  // a literal
    QString dataSet; // a field's dataset, as written
    QString name;    // a field, a variable, or the operator of a binary node
    TVoRptScope scope = TVoRptScope::Band;
    std::shared_ptr<TVoRptNode> a, b, c;
};

class TVoRptExpr {
public:
    TVoRptExpr() = default;
    // Reads an expression; a mistake raises EVoError naming the position in the text (from 1).
    static TVoRptExpr Parse(const QString &text);

    bool IsEmpty() const { return !m_root; }
    const QString &Text() const { return m_text; }
    QVariant Evaluate(IVoRptValues &values) const;
    static QVariant EvaluateNode(const TVoRptNode &node, IVoRptValues &values);
    // Whether the value counts as true: a true boolean, a number other than 0, a text not empty.
    static bool Truth(const QVariant &value);
    // A value as a number: NULL and text that is no number are 0, a date its day count.
    static double ToNumber(const QVariant &value);

    // The expression with everything but [PAGES] evaluated now, for texts printed before the count
    // of pages is known.
    TVoRptExpr Freeze(IVoRptValues &values) const;
    bool UsesPages() const;
    bool UsesPage() const;

    // Every node of a kind, depth first in the order written (the root's arguments included).
    QList<const TVoRptNode *> Nodes(TVoRptNode::TKind kind) const;
    // The same inside one node.
    static QList<const TVoRptNode *> NodesOf(const TVoRptNode *node, TVoRptNode::TKind kind);

private:
    std::shared_ptr<TVoRptNode> m_root;
    QString m_text;
};
