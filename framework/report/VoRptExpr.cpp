#include "VoRptExpr.h"

#include "VoDates.h"
#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoQuery.h"

#include <QDate>
#include <functional>

namespace {

using TNodePtr = std::shared_ptr<TVoRptNode>;

TNodePtr MakeNode(TVoRptNode::TKind kind) {
    auto node = std::make_shared<TVoRptNode>();
    node->kind = kind;
    return node;
}

TNodePtr Literal(const QVariant &value) {
    auto node = MakeNode(TVoRptNode::nkLiteral);
    node->value = value;
    return node;
}

// Reads the text from left to right; pos is where the next token starts.
class TParser {
public:
    explicit TParser(const QString &text) : m_text(text) {}

    TNodePtr Whole() {
        TNodePtr node = Or();
        Skip();
        if (m_pos < m_text.size())
            Fail(QStringLiteral("non atteso \"%1\"").arg(m_text.mid(m_pos, 10)));
        return node;
    }

private:
    [[noreturn]] void Fail(const QString &what) const {
        throw EVoError(
            QStringLiteral("espressione \"%1\", posizione %2: %3").arg(m_text).arg(m_pos + 1).arg(what));
    }
    void Skip() {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }
    bool Sign(const QString &sign) {
        Skip();
        if (!QStringView(m_text).mid(m_pos).startsWith(sign))
            return false;
        m_pos += sign.size();
        return true;
    }
    // A word of letters, digits and underscores, read only when it is the given one (any case).
    bool Word(const QString &word) {
        Skip();
        const qsizetype end = WordEnd(m_pos);
        if (end == m_pos || m_text.mid(m_pos, end - m_pos).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        m_pos = end;
        return true;
    }
    qsizetype WordEnd(qsizetype from) const {
        while (from < m_text.size() && (m_text[from].isLetterOrNumber() || m_text[from] == QLatin1Char('_')))
            ++from;
        return from;
    }
    void Expect(const QString &sign) {
        if (!Sign(sign))
            Fail(QStringLiteral("manca \"%1\"").arg(sign));
    }

    TNodePtr Binary(const QString &op, TNodePtr a, TNodePtr b) {
        auto node = MakeNode(TVoRptNode::nkBinary);
        node->name = op;
        node->a = std::move(a);
        node->b = std::move(b);
        return node;
    }
    TNodePtr Or() {
        TNodePtr node = And();
        while (Word(QStringLiteral("OR")))
            node = Binary(QStringLiteral("OR"), node, And());
        return node;
    }
    TNodePtr And() {
        TNodePtr node = Compare();
        while (Word(QStringLiteral("AND")))
            node = Binary(QStringLiteral("AND"), node, Compare());
        return node;
    }
    TNodePtr Compare() {
        TNodePtr node = Add();
        for (const char *op : {"<>", "<=", ">=", "=", "<", ">"})
            if (Sign(QString::fromLatin1(op)))
                return Binary(QString::fromLatin1(op), node, Add());
        return node;
    }
    // Operands joined left to right by any of the signs.
    TNodePtr Chain(TNodePtr (TParser::*operand)(), std::initializer_list<const char *> signs) {
        TNodePtr node = (this->*operand)();
        for (bool more = true; more;) {
            more = false;
            for (const char *sign : signs)
                if (Sign(QString::fromLatin1(sign))) {
                    node = Binary(QString::fromLatin1(sign), node, (this->*operand)());
                    more = true;
                    break;
                }
        }
        return node;
    }
    TNodePtr Add() { return Chain(&TParser::Multiply, {"+", "-"}); }
    TNodePtr Multiply() { return Chain(&TParser::Unary, {"*", "/"}); }
    TNodePtr Unary() {
        if (Sign(QStringLiteral("-"))) {
            auto node = MakeNode(TVoRptNode::nkNeg);
            node->a = Unary();
            return node;
        }
        if (Word(QStringLiteral("NOT"))) {
            auto node = MakeNode(TVoRptNode::nkNot);
            node->a = Unary();
            return node;
        }
        return Primary();
    }
    TNodePtr Primary() {
        Skip();
        if (m_pos >= m_text.size())
            Fail(QStringLiteral("espressione incompleta"));
        const QChar c = m_text[m_pos];
        if (c == QLatin1Char('('))
            return Parenthesised();
        if (c == QLatin1Char('\''))
            return Text();
        if (c == QLatin1Char('['))
            return Reference();
        if (c.isDigit())
            return Number();
        if (Word(QStringLiteral("IIF"))) {
            auto node = MakeNode(TVoRptNode::nkIif);
            Expect(QStringLiteral("("));
            node->a = Or();
            Expect(QStringLiteral(","));
            node->b = Or();
            Expect(QStringLiteral(","));
            node->c = Or();
            Expect(QStringLiteral(")"));
            return node;
        }
        for (const auto kind : {TVoRptNode::nkSum, TVoRptNode::nkCount})
            if (Word(kind == TVoRptNode::nkSum ? QStringLiteral("SUM") : QStringLiteral("COUNT")))
                return Aggregate(kind);
        Fail(QStringLiteral("non atteso \"%1\"").arg(m_text.mid(m_pos, 10)));
    }
    TNodePtr Parenthesised() {
        Expect(QStringLiteral("("));
        TNodePtr node = Or();
        Expect(QStringLiteral(")"));
        return node;
    }
    TNodePtr Text() {
        QString value;
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            if (m_text[m_pos] != QLatin1Char('\'')) {
                value += m_text[m_pos];
            } else if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == QLatin1Char('\'')) {
                value += QLatin1Char('\'');
                ++m_pos;
            } else {
                ++m_pos;
                return Literal(value);
            }
        }
        Fail(QStringLiteral("testo senza l'apice di chiusura"));
    }
    TNodePtr Number() {
        qsizetype end = m_pos;
        while (end < m_text.size() && (m_text[end].isDigit() || m_text[end] == QLatin1Char('.')))
            ++end;
        bool ok = false;
        const double value = m_text.mid(m_pos, end - m_pos).toDouble(&ok);
        if (!ok)
            Fail(QStringLiteral("numero non valido"));
        m_pos = end;
        return Literal(value);
    }
    TNodePtr Reference() {
        const qsizetype close = m_text.indexOf(QLatin1Char(']'), m_pos);
        if (close < 0)
            Fail(QStringLiteral("manca \"]\""));
        const QString inside = m_text.mid(m_pos + 1, close - m_pos - 1).trimmed();
        if (inside.isEmpty())
            Fail(QStringLiteral("riferimento vuoto"));
        m_pos = close + 1;
        const qsizetype dot = inside.indexOf(QLatin1Char('.'));
        if (dot > 0) {
            auto node = MakeNode(TVoRptNode::nkField);
            node->dataSet = inside.left(dot).trimmed();
            node->name = inside.mid(dot + 1).trimmed();
            return node;
        }
        if (inside.compare(QLatin1String("PAGE"), Qt::CaseInsensitive) == 0)
            return MakeNode(TVoRptNode::nkPage);
        if (inside.compare(QLatin1String("PAGES"), Qt::CaseInsensitive) == 0)
            return MakeNode(TVoRptNode::nkPages);
        if (inside.compare(QLatin1String("DATE"), Qt::CaseInsensitive) == 0)
            return MakeNode(TVoRptNode::nkDate);
        auto node = MakeNode(TVoRptNode::nkVariable);
        node->name = inside;
        return node;
    }
    TNodePtr Aggregate(TVoRptNode::TKind kind) {
        auto node = MakeNode(kind);
        Expect(QStringLiteral("("));
        node->a = Or();
        if (Sign(QStringLiteral(","))) {
            if (Word(QStringLiteral("REPORT")))
                node->scope = TVoRptScope::Report;
            else if (Word(QStringLiteral("GROUP")))
                node->scope = TVoRptScope::Group;
            else if (Word(QStringLiteral("PAGE")))
                node->scope = TVoRptScope::Page;
            else
                Fail(QStringLiteral("atteso REPORT, GROUP o PAGE"));
        }
        Expect(QStringLiteral(")"));
        if (!TVoRptExpr::NodesOf(node->a.get(), TVoRptNode::nkSum).isEmpty() ||
            !TVoRptExpr::NodesOf(node->a.get(), TVoRptNode::nkCount).isEmpty())
            Fail(QStringLiteral("un totale dentro un totale"));
        if (TVoRptExpr::NodesOf(node->a.get(), TVoRptNode::nkField).isEmpty())
            Fail(QStringLiteral("il totale non nomina un campo"));
        return node;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
};

bool IsText(const QVariant &v) {
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
}

bool IsDate(const QVariant &v) {
    return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime;
}

double Number(const QVariant &v) {
    if (v.isNull() || !v.isValid())
        return 0.0;
    if (IsDate(v))
        return VariantToDays(v);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1.0 : 0.0;
    if (IsText(v)) {
        double d = 0.0;
        return VoTextToFloat(VoVariantToText(v), &d) ? d : 0.0;
    }
    return v.toDouble();
}

// Compares two values: numbers and dates by their number, the rest as texts; NULL is '' against a
// text and 0 against a number.
int Order(const QVariant &a, const QVariant &b) {
    const bool nullA = a.isNull() || !a.isValid();
    const bool nullB = b.isNull() || !b.isValid();
    if (nullA && nullB)
        return 0;
    if (IsText(a) || IsText(b)) {
        const int c =
            (nullA ? QString() : VoVariantToText(a)).compare(nullB ? QString() : VoVariantToText(b));
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const double x = Number(a);
    const double y = Number(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

QVariant Apply(const QString &op, const QVariant &a, const QVariant &b) {
    // Joined texts show dates and numbers as the user reads them.
    if (op == QLatin1String("+") && (IsText(a) || IsText(b)))
        return VoDisplayText(a) + VoDisplayText(b);
    if (op == QLatin1String("+"))
        return Number(a) + Number(b);
    if (op == QLatin1String("-"))
        return Number(a) - Number(b);
    if (op == QLatin1String("*"))
        return Number(a) * Number(b);
    if (op == QLatin1String("/")) {
        const double d = Number(b);
        return d == 0.0 ? QVariant() : QVariant(Number(a) / d);
    }
    const int o = Order(a, b);
    if (op == QLatin1String("="))
        return o == 0;
    if (op == QLatin1String("<>"))
        return o != 0;
    if (op == QLatin1String("<"))
        return o < 0;
    if (op == QLatin1String("<="))
        return o <= 0;
    if (op == QLatin1String(">"))
        return o > 0;
    return o >= 0;
}

QVariant Eval(const TVoRptNode &n, IVoRptValues &values) {
    switch (n.kind) {
    case TVoRptNode::nkLiteral:
        return n.value;
    case TVoRptNode::nkField:
        return values.Field(n);
    case TVoRptNode::nkVariable:
        return values.Variable(n.name);
    case TVoRptNode::nkPage:
        return values.Page();
    case TVoRptNode::nkPages:
        return values.Pages();
    case TVoRptNode::nkDate:
        return QDate::currentDate();
    case TVoRptNode::nkNeg:
        return -Number(Eval(*n.a, values));
    case TVoRptNode::nkNot:
        return !TVoRptExpr::Truth(Eval(*n.a, values));
    case TVoRptNode::nkIif:
        return TVoRptExpr::Truth(Eval(*n.a, values)) ? Eval(*n.b, values) : Eval(*n.c, values);
    case TVoRptNode::nkSum:
    case TVoRptNode::nkCount:
        return values.Aggregate(n);
    case TVoRptNode::nkBinary:
        if (n.name == QLatin1String("AND"))
            return TVoRptExpr::Truth(Eval(*n.a, values)) && TVoRptExpr::Truth(Eval(*n.b, values));
        if (n.name == QLatin1String("OR"))
            return TVoRptExpr::Truth(Eval(*n.a, values)) || TVoRptExpr::Truth(Eval(*n.b, values));
        return Apply(n.name, Eval(*n.a, values), Eval(*n.b, values));
    }
    return QVariant();
}

TNodePtr Frozen(const TNodePtr &node, IVoRptValues &values) {
    if (!node)
        return node;
    switch (node->kind) {
    case TVoRptNode::nkPages:
    case TVoRptNode::nkLiteral:
        return node;
    case TVoRptNode::nkNeg:
    case TVoRptNode::nkNot:
    case TVoRptNode::nkIif:
    case TVoRptNode::nkBinary: {
        auto copy = std::make_shared<TVoRptNode>(*node);
        copy->a = Frozen(node->a, values);
        copy->b = Frozen(node->b, values);
        copy->c = Frozen(node->c, values);
        return copy;
    }
    default:
        return Literal(Eval(*node, values));
    }
}

void Collect(const TVoRptNode *node, TVoRptNode::TKind kind, QList<const TVoRptNode *> &out) {
    if (!node)
        return;
    if (node->kind == kind)
        out << node;
    Collect(node->a.get(), kind, out);
    Collect(node->b.get(), kind, out);
    Collect(node->c.get(), kind, out);
}

} // namespace

TVoRptExpr TVoRptExpr::Parse(const QString &text) {
    TVoRptExpr expr;
    expr.m_text = text;
    if (!text.trimmed().isEmpty())
        expr.m_root = TParser(text).Whole();
    return expr;
}

QVariant TVoRptExpr::Evaluate(IVoRptValues &values) const {
    return m_root ? Eval(*m_root, values) : QVariant();
}

QVariant TVoRptExpr::EvaluateNode(const TVoRptNode &node, IVoRptValues &values) {
    return Eval(node, values);
}

double TVoRptExpr::ToNumber(const QVariant &value) {
    return Number(value);
}

bool TVoRptExpr::Truth(const QVariant &value) {
    if (value.isNull() || !value.isValid())
        return false;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (IsText(value))
        return !VoVariantToText(value).isEmpty();
    if (IsDate(value))
        return true;
    return value.toDouble() != 0.0;
}

TVoRptExpr TVoRptExpr::Freeze(IVoRptValues &values) const {
    TVoRptExpr frozen;
    frozen.m_text = m_text;
    frozen.m_root = Frozen(m_root, values);
    return frozen;
}

bool TVoRptExpr::UsesPages() const {
    return !Nodes(TVoRptNode::nkPages).isEmpty();
}

bool TVoRptExpr::UsesPage() const {
    return !Nodes(TVoRptNode::nkPage).isEmpty();
}

QList<const TVoRptNode *> TVoRptExpr::Nodes(TVoRptNode::TKind kind) const {
    return NodesOf(m_root.get(), kind);
}

QList<const TVoRptNode *> TVoRptExpr::NodesOf(const TVoRptNode *node, TVoRptNode::TKind kind) {
    QList<const TVoRptNode *> out;
    Collect(node, kind, out);
    return out;
}
