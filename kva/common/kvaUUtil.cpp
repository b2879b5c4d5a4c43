#include "kvaUUtil.h"

#include "VoDataSource.h"
#include "VoDates.h"
#include "VoQuery.h"
#include "VoRptTreeView.h"
#include "kvaMAtt.h"

#include <QLocale>

#include <charconv>

int CurrentNumbering = 0;
int CurrentVatIncluded = 0;
int CurrentRegYearId = 0;

namespace {

const char *const kRegisterYearDescSQL =
    "SELECT fac.sfacdesc || '  Anno: ' || anf.iAnfValore AS DESCR, fac.iTfcId, fac.iFacNumeraz, "
    "fac.iFacIvaInclusa FROM TDwgFacAnf dfa INNER JOIN TDwgFac df ON (dfa.IDWGfacID = df.IDWGfacID) "
    "INNER JOIN TFac_Velisto fac ON (df.IfacID = fac.IfacID) INNER JOIN TANF_ANNIFINANZ ANF ON "
    "(dfa.IANFID = ANF.IANFID) WHERE dfa.idwgfacanfid = :idwgfacanfid AND " KVA_OWN_REGISTERS("fac.ITFCID");

const char *const kGoodsCodeLinksSQL = "SELECT * FROM TCfm_CategFacMerce WHERE iMerId = :iMerId;";

// The numbering scope is the register-year or the whole register, after the register's option.
const char *const kMaxNumberYearSQL =
    "SELECT Max(iFBuoNumero) AS iFBuoNumero FROM TFBuo_Buoni buo INNER JOIN TDwgFacAnf dfa ON "
    "(buo.iDwgFacAnfId = "
    "dfa.iDwgFacAnfId) WHERE (buo.iFBuoTipo = :iFBuoTipo) AND (dfa.iDwgFacAnfId=:iDwgFacAnfId);";
const char *const kMaxNumberRegisterSQL = "SELECT Max(iFBuoNumero) AS iFBuoNumero FROM TFBuo_Buoni buo INNER "
                                          "JOIN TDwgFacAnf dfa ON (buo.iDwgFacAnfId = "
                                          "dfa.iDwgFacAnfId) INNER JOIN TDwgFac df ON "
                                          "dfa.iDwgFacId=df.iDwgFacId WHERE (buo.iFBuoTipo = :iFBuoTipo) AND "
                                          "(df.iFacId=:iFacId);";
const char *const kNumberExistsYearSQL =
    "SELECT iFBuoId FROM TFBuo_Buoni buo INNER JOIN TDwgFacAnf dfa ON (buo.iDwgFacAnfId = dfa.iDwgFacAnfId) "
    "WHERE "
    "(buo.iFBuoTipo = :iFBuoTipo) AND (dfa.iDwgFacAnfId=:iDwgFacAnfId) AND (buo.iFBuoNumero = :iFBuoNumero);";
const char *const kNumberExistsRegisterSQL = "SELECT iFBuoId FROM TFBuo_Buoni buo INNER JOIN TDwgFacAnf dfa "
                                             "ON (buo.iDwgFacAnfId = dfa.iDwgFacAnfId) INNER "
                                             "JOIN TDwgFac df ON dfa.iDwgFacId=df.iDwgFacId WHERE "
                                             "(buo.iFBuoTipo = :iFBuoTipo) AND (df.iFacId=:iFacId) AND "
                                             "(buo.iFBuoNumero = :iFBuoNumero);";
const char *const kDateLowSQL =
    "SELECT MAX(dFBuoData) AS dFBuoDataMin FROM TFBuo_Buoni WHERE "
    "(iDwgFacAnfId=:iDwgFacAnfId) AND (iFBuoTipo=:iFBuoTipo) AND (iFBuoNumero<:iFBuoNumero);";
const char *const kDateHighSQL =
    "SELECT MIN(dFBuoData) AS dFBuoDataMax FROM TFBuo_Buoni WHERE "
    "(iDwgFacAnfId=:iDwgFacAnfId) AND (iFBuoTipo=:iFBuoTipo) AND (iFBuoNumero>:iFBuoNumero);";
const char *const kStockSQL =
    "SELECT Giacenza, CostoUniMed FROM PKva_GetGiacenza(:iFarId, :dFBuoData, :iDwgFacAnfId, :iSecId);";
const char *const kCheckStockSQL =
    "SELECT CONTROLLO FROM PKva_ControllaGiac(:iFarId,:iAfcId,:fAfcQuantita,:iBuoId_sca,:iDwgFacAnfId);";

// Binds the numbering scope of the current register to a query.
void BindScope(TVoQuery &q, int type) {
    q.SetParam(QStringLiteral("iFBuoTipo"), type);
    if (CurrentNumbering == 1)
        q.SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    else
        q.SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
}

} // namespace

QVariant GetParamDescription(const QString &name) {
    return AbcParamDescription(name, QString::fromLatin1(kRegisterYearDescSQL), [](const TVoQuery *row) {
        if (!row) {
            CurrentNumbering = 0;
            return;
        }
        CurrentNumbering = row->AsInteger(QStringLiteral("iFacNumeraz"));
        CurrentVatIncluded = row->AsInteger(QStringLiteral("iFacIvaInclusa"));
    });
}

void LoadCurrentRegisterYear(int registerYearId, double &start, double &end) {
    TAbcRegisterYear found;
    if (!ReadRegisterYear(registerYearId, found, start, end))
        return;
    CurrentRegYear = found.yearValue;
    CurrentRegYearId = found.yearId;
    CurrentSchoolRegisterId = found.schoolRegisterId;
    CurrentRegisterYearId = registerYearId;
}

void LoadWorkingContext(bool firstActivation) {
    AbcLoadWorkingContext(firstActivation, &LoadCurrentRegisterYear);
}

void ResetWorkingContext() {
    CurrentNumbering = CurrentVatIncluded = CurrentRegYearId = 0;
    ResetRegisterContext();
}

int NextVoucherNumber(int type) {
    TVoQuery q(QString::fromLatin1(CurrentNumbering == 1 ? kMaxNumberYearSQL : kMaxNumberRegisterSQL));
    BindScope(q, type);
    q.Open();
    return q.AsInteger(QStringLiteral("iFBuoNumero")) + 1;
}

bool VoucherNumberExists(int number, int type) {
    TVoQuery q(QString::fromLatin1(CurrentNumbering == 1 ? kNumberExistsYearSQL : kNumberExistsRegisterSQL));
    BindScope(q, type);
    q.SetParam(QStringLiteral("iFBuoNumero"), number);
    q.Open();
    return !q.Eof();
}

void GetVoucherDateLimits(int number, int type, DateWindow &window) {
    window = {0.0, VoOpenEnd};
    for (const bool low : {true, false}) {
        TVoQuery q(QString::fromLatin1(low ? kDateLowSQL : kDateHighSQL));
        q.SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
            .SetParam(QStringLiteral("iFBuoTipo"), type)
            .SetParam(QStringLiteral("iFBuoNumero"), number);
        q.Open();
        if (q.Eof())
            continue;
        if (low) {
            window.low = q.AsDate(QStringLiteral("dFBuoDataMin"));
        } else {
            // A higher-numbered voucher without a date does not close the window.
            const double high = q.AsDate(QStringLiteral("dFBuoDataMax"));
            if (high != 0.0)
                window.high = high;
        }
    }
}

namespace {
void RunStock(TVoQuery &q, int articleId, int sectorId, double date) {
    q.SetParam(QStringLiteral("iFarId"), articleId)
        .SetParamDate(QStringLiteral("dFBuoData"), date)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iSecId"), sectorId);
    q.Open();
}
} // namespace

double GetStock(int articleId, int sectorId, double date) {
    TVoQuery q(QString::fromLatin1(kStockSQL));
    RunStock(q, articleId, sectorId, date);
    return q.AsFloat(QStringLiteral("GIACENZA"));
}

void GetStockAndCost(int articleId, double &stock, double &cost, int sectorId, double date) {
    stock = 0.0;
    cost = 0.0;
    TVoQuery q(QString::fromLatin1(kStockSQL));
    RunStock(q, articleId, sectorId, date);
    stock = q.AsFloat(QStringLiteral("GIACENZA"));
    cost = q.AsFloat(QStringLiteral("COSTOUNIMED"));
}

bool CheckStock(int articleId, int rowId, int unloadingVoucherId, double quantity) {
    TVoQuery q(QString::fromLatin1(kCheckStockSQL));
    q.SetParam(QStringLiteral("iFarId"), articleId)
        .SetParam(QStringLiteral("iAfcId"), rowId > 0 ? QVariant(rowId) : VoNull(QMetaType::Int))
        .SetParam(QStringLiteral("fAfcQuantita"), quantity)
        .SetParam(QStringLiteral("iBuoId_sca"),
                  unloadingVoucherId > 0 ? QVariant(unloadingVoucherId) : VoNull(QMetaType::Int))
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    q.Open();
    return q.AsInteger(QStringLiteral("CONTROLLO")) != 1;
}

double TruncateDecimals(int decimals, double value) {
    // The shortest decimal text that reads back as the value: 0.29 is cut as "0.29", not as the
    // binary 0.28999..., and very small or large values keep their magnitude.
    char buffer[400];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (res.ec != std::errc())
        return value;
    std::string text(buffer, res.ptr);
    const auto point = text.find('.');
    if (point == std::string::npos)
        return value;
    text.resize(std::min(text.size(), point + 1 + static_cast<size_t>(std::max(decimals, 0))));
    double out = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), out);
    return out;
}

bool GoodsCodeHasCategories(int goodsCodeId) {
    TVoQuery q(QString::fromLatin1(kGoodsCodeLinksSQL));
    q.SetParam(QStringLiteral("iMerId"), goodsCodeId).Open();
    return !q.Eof();
}

int GetBaseReportId() {
    const TVoRptTreeView *tree = dmkvaAtt ? TVoRptTreeView::Of(dmkvaAtt->xarkvaStampe) : nullptr;
    return GetBaseReportId(tree ? tree->GetRptId() : 0);
}

QString ConvertLikeFilter(const QString &filter) {
    static const QString like = QStringLiteral(" LIKE '");
    const QLocale locale;
    auto convert = [&locale](const QString &value) {
        return QStringLiteral("%") + locale.toUpper(value).replace(QLatin1Char('\''), QStringLiteral("''")) +
               QStringLiteral("%");
    };
    if (!filter.startsWith(QLatin1Char('('))) {
        const qsizetype p = filter.indexOf(like);
        if (p < 0 || filter.size() <= p + like.size())
            return filter;
        const qsizetype valueStart = p + like.size();
        const QString rest = filter.mid(valueStart);
        return filter.left(valueStart) + convert(rest.left(rest.size() - 1)) + rest.right(1);
    }
    QString output;
    QString remaining = filter;
    qsizetype p;
    while ((p = remaining.indexOf(like)) >= 0) {
        output += remaining.left(p + like.size());
        remaining = remaining.mid(p + like.size());
        const qsizetype end = remaining.indexOf(QStringLiteral("')"));
        if (end < 0) {
            // An unclosed value: keep the rest as it stands rather than guess where it ends.
            break;
        }
        output += convert(remaining.left(end));
        remaining = remaining.mid(end);
    }
    return output + remaining;
}

void SetControlWritable(TVoDBControl *control, bool writable) {
    control->SetReadOnly(!writable);
    control->Widget()->setEnabled(writable);
}
