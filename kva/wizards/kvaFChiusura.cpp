#include "kvaFChiusura.h"

#include "AbcUBounds.h"
#include "VoDates.h"
#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoStatistics.h"
#include "VoTransaction.h"
#include "VoWait.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const char *const kInfo = "Con questa operazione verranno impostate tutte le giacenze per l'Esercizio "
                          "Finanziario %d.";
const char *const kNoNextYear =
    "Attenzione!!\r\nNon è stato impostato l'anno finanziario successivo.\r\nNon è possibile proseguire.";
const char *const kDone = "Chiusura completata";
const char *const kCarrying = "Impostazione delle giacenze dell'anno successivo in corso ...";
const char *const kStockChanged = "Le giacenze sono cambiate durante la chiusura. Ripetere la chiusura.";
const char *const kClosingDesc = "Buono di fine anno";
const char *const kOpeningDesc = "Buono di inizio anno";
const char *const kClosingUse = "SCACHIUS";
const char *const kOpeningUse = "CARCHIUS";

// The school register's register-years after the current one, the nearest first.
const char *const kLaterYearsSQL =
    "SELECT dfa.IDWGFACANFID, anf.IANFVALORE FROM TDWGFACANF dfa INNER JOIN TANF_ANNIFINANZ anf ON "
    "(dfa.IANFID = anf.IANFID) WHERE dfa.IDWGFACID = :IDWGFACID AND anf.IANFVALORE > :IANFVALORE ORDER BY "
    "anf.IANFVALORE";
// How many articles have a row, loading or unloading, in a voucher of the register-year.
const char *const kArticlesSQL =
    "SELECT COUNT(*) FROM TFAR_FACARTICOLI far WHERE EXISTS (SELECT 1 FROM TAFC_ARTVELIST afc INNER JOIN "
    "TFBUO_BUONI fbuo ON (afc.IFBUOID = fbuo.IFBUOID) WHERE afc.IFARID = far.IFARID AND fbuo.IDWGFACANFID = "
    ":iDwgFacAnfId)";
// Writes the carrying rows of every article in stock, one result row per article looked at.
const char *const kCarrySQL = "SELECT IFARID, ICARRIED FROM PKVA_RIPORTAGIACENZE(:iDwgFacAnfId, :dData, "
                              ":iBuoChiusura, :iBuoApertura, :iIvaInclusa, :iPrimoId)";
// The first row the closing wrote beyond what rows carried from accepted loads can come to.
const char *const kBeyondBoundsSQL =
    "SELECT FIRST 1 buo.IFBUOTIPO, buo.SFBUODESC, far.SFARLDESC, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT FROM "
    "TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI buo ON (buo.IFBUOID = afc.IFBUOID) INNER JOIN "
    "TFAR_FACARTICOLI far ON (far.IFARID = afc.IFARID) WHERE afc.IFBUOID IN (:c, :o) AND "
    "(afc.FAFCQUANTITA > :fQuantita OR (buo.IFBUOTIPO = 0 AND afc.FAFCCOSTOUNIT > :fCosto))";
const char *const kDropVouchersSQL = "DELETE FROM TFBUO_BUONI WHERE IFBUOID IN (:c, :o)";
// Draws count keys of the voucher rows at once: the first of them.
const char *const kRowKeysSQL = "SELECT L_ICNTID FROM PYSETGETID('TAFC_ARTVELIST', :iCount)";
const char *const kVoucherSQL =
    "INSERT INTO TFBuo_Buoni (iFBuoId, iDwgFacAnfId, iFBuoNUMERO, dFBuoDATA, IBENID, sFBuoDESC, iFBuoTIPO, "
    "dFBuoPROTDATA, sFBuoPROTNUM, ILOCKED, iMgmId, sFBuoUse, iFBuoId_P, lFBuoScaricato) VALUES (:iFBuoId, "
    ":iDwgFacAnfId, :iFBuoNUMERO, :dFBuoDATA, NULL, :sFBuoDESC, :iFBuoTIPO, NULL, NULL, 0, NULL, :sFBuoUse, "
    "NULL, NULL)";
const char *const kLockYearSQL = "UPDATE TFBuo_Buoni SET iLocked=1 WHERE iDwgFacAnfId = :iDwgFacAnfId";
const char *const kLockRegisterSQL =
    "UPDATE TFBuo_Buoni SET iLocked=1 WHERE iDwgFacAnfId IN (SELECT iDwgFacAnfId FROM TDwgFacAnf dfa INNER "
    "JOIN TDwgFac df ON (dfa.iDwgFacId = df.iDwgFacId) WHERE iFacId = :iFacId)";
const char *const kClosingSQL =
    "INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, DINSERT, ITCHID, IINVID, IFACID) VALUES "
    "(:iChaId, :DCHADATACHIUSURA, (SELECT serverdate FROM pygetservertimestamp), 1, NULL, :IFACID);";
const char *const kChaCafSQL =
    "INSERT INTO TCHACAF (ICHACAFID, ICHAID, ICAFID, FCHACAFIMPORTO) VALUES ((SELECT L_ICNTID FROM "
    "PYSETGETID('TCHACAF',1)), :ICHAID, :ICAFID, :FCHACAFIMPORTO);";

// Each category's loads and unloads up to the date, in the register-year or in every year of the
// register. Loads are valued as the stock values them: with their VAT added when the register loads
// amounts without it. Unloading rows are priced per unloading unit, so cost times quantity is their
// value as it stands. Each row counts its amount to the cent, as the registers print it, so that a
// category's value is what its printed rows add up to. The rows are summed from the tables the
// voucher rows' view joins, without the descriptions it adds, which would cost most of the time of
// the sum.
#define KVA_CLOSING_TOTALS(loadVat, scope)                                                                   \
    "SELECT caf.ICAFID, t.IMPORTOCAR, t.IMPORTOSCA FROM TCAF_CATEGORIEFAC caf LEFT JOIN (SELECT "            \
    "far.ICAFID, "                                                                                           \
    "CAST(SUM(IIF(buo.IFBUOTIPO = 0, ROUND(CAST(afc.FAFCCOSTOUNIT * afc.FAFCQUANTITA" loadVat                \
    " AS NUMERIC(18,6)), 2), 0)) AS NUMERIC(18,2)) AS IMPORTOCAR, CAST(SUM(IIF(buo.IFBUOTIPO = 1, "          \
    "ROUND(CAST(afc.FAFCCOSTOUNIT * afc.FAFCQUANTITA AS NUMERIC(18,6)), 2), 0)) AS NUMERIC(18,2)) AS "       \
    "IMPORTOSCA FROM TFBUO_BUONI buo INNER JOIN TAFC_ARTVELIST afc ON (afc.IFBUOID = "                       \
    "buo.IFBUOID) INNER JOIN TFAR_FACARTICOLI far ON (far.IFARID = afc.IFARID) LEFT JOIN TALV_ALIQUOTEIVA "  \
    "alv "                                                                                                   \
    "ON (alv.IALVID = afc.IALVID) WHERE buo.DFBUODATA <= :dBuoData AND " scope " GROUP BY far.ICAFID) t ON " \
    "(t.ICAFID = caf.ICAFID) ORDER BY caf.ICAFID"
#define KVA_LOAD_VAT " + afc.FAFCCOSTOUNIT * afc.FAFCQUANTITA * COALESCE(alv.FALVIVA, 0) / 100"
#define KVA_IN_YEAR "buo.IDWGFACANFID = :iScope"
#define KVA_IN_REGISTER                                                                                      \
    "buo.IDWGFACANFID IN (SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa INNER JOIN TDWGFAC df ON "             \
    "(df.IDWGFACID = dfa.IDWGFACID) WHERE df.IFACID = :iScope)"
const char *const kTotalsSQL[2][2] = {
    // loads without VAT: by register, by register-year
    {KVA_CLOSING_TOTALS(KVA_LOAD_VAT, KVA_IN_REGISTER), KVA_CLOSING_TOTALS(KVA_LOAD_VAT, KVA_IN_YEAR)},
    // loads with VAT included
    {KVA_CLOSING_TOTALS("", KVA_IN_REGISTER), KVA_CLOSING_TOTALS("", KVA_IN_YEAR)}};

// The register-year after the current one: with nextOnly that of the next financial year, else the
// nearest later one; 0 when there is none.
int LaterRegisterYear(bool nextOnly) {
    TVoQuery q(QString::fromLatin1(kLaterYearsSQL));
    q.SetParam(QStringLiteral("IDWGFACID"), CurrentSchoolRegisterId)
        .SetParam(QStringLiteral("IANFVALORE"), CurrentRegYear);
    q.Open();
    if (q.Eof() || (nextOnly && q.AsInteger(QStringLiteral("IANFVALORE")) != CurrentRegYear + 1))
        return 0;
    return q.AsInteger(QStringLiteral("IDWGFACANFID"));
}

int InsertVoucher(int registerYearId, int number, double date, const char *desc, int type, const char *use) {
    const int id = NewId(QStringLiteral("TFBUO_BUONI"));
    TVoQuery q(QString::fromLatin1(kVoucherSQL));
    q.SetParam(QStringLiteral("iFBuoId"), id)
        .SetParam(QStringLiteral("iDwgFacAnfId"), registerYearId)
        .SetParam(QStringLiteral("iFBuoNUMERO"), number)
        .SetParamDate(QStringLiteral("dFBuoDATA"), date)
        .SetParam(QStringLiteral("sFBuoDESC"), QString::fromUtf8(desc))
        .SetParam(QStringLiteral("iFBuoTIPO"), type)
        .SetParam(QStringLiteral("sFBuoUse"), QString::fromLatin1(use));
    q.Exec();
    return id;
}

} // namespace

TfmKvaChiusura::TfmKvaChiusura(QWidget *parent)
    : TfmVoWizard(parent), tsInfo(new QWidget), tsGiacenze(new QWidget), laInfo(new QLabel(tsInfo)),
      ckAzzeraGiac(new QCheckBox(QStringLiteral("Azzera tutte le giacenze al 31/12"), tsInfo)),
      laImpostazioneGiacenze(
          new QLabel(QStringLiteral("Impostazione Giacenze Esercizio Finanziario:"), tsGiacenze)),
      laArticoli(new QLabel(QStringLiteral("Articoli movimentati nell'anno in corso:"), tsGiacenze)),
      laNumArticoli(new QLabel(QStringLiteral("calcolo in corso..."), tsGiacenze)),
      gaProgressArticoli(new QProgressBar(tsGiacenze)) {
    setObjectName(QStringLiteral("fmKvaChiusura"));
    setWindowTitle(QStringLiteral("Chiusura anno"));
    resize(460, 260);
    tsInfo->setObjectName(QStringLiteral("tsInfo"));
    tsGiacenze->setObjectName(QStringLiteral("tsGiacenze"));
    laInfo->setObjectName(QStringLiteral("laInfo"));
    ckAzzeraGiac->setObjectName(QStringLiteral("ckAzzeraGiac"));
    laImpostazioneGiacenze->setObjectName(QStringLiteral("laImpostazioneGiacenze"));
    laArticoli->setObjectName(QStringLiteral("laArticoli"));
    laNumArticoli->setObjectName(QStringLiteral("laNumArticoli"));
    gaProgressArticoli->setObjectName(QStringLiteral("gaProgressArticoli"));

    laInfo->setWordWrap(true);
    laInfo->setMinimumHeight(105);
    laInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    laInfo->setMargin(8);
    laInfo->setStyleSheet(
        QStringLiteral("background-color: teal; color: white; font-weight: bold; font-size: 16px;"));
    ckAzzeraGiac->setVisible(false);
    ckAzzeraGiac->setEnabled(false);
    auto *info = new QVBoxLayout(tsInfo);
    info->addWidget(laInfo);
    info->addWidget(ckAzzeraGiac);
    info->addStretch(1);

    laImpostazioneGiacenze->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    laNumArticoli->setStyleSheet(QStringLiteral("font-weight: bold;"));
    gaProgressArticoli->setRange(0, 1);
    gaProgressArticoli->setValue(0);
    gaProgressArticoli->setTextVisible(false);
    gaProgressArticoli->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: navy; }"));
    auto *stock = new QVBoxLayout(tsGiacenze);
    stock->addWidget(laImpostazioneGiacenze);
    auto *count = new QHBoxLayout;
    count->addWidget(laArticoli);
    count->addWidget(laNumArticoli, 1);
    stock->addLayout(count);
    stock->addWidget(gaProgressArticoli);
    stock->addStretch(1);

    AddPage(tsInfo);
    AddPage(tsGiacenze);
    SetActivePageIndex(0);
    buOk->setEnabled(false);
}

void TfmKvaChiusura::FormCreate() {
    TfmVoWizard::FormCreate();
    laInfo->setText(VoFormat(QString::fromUtf8(kInfo), {QString::number(CurrentRegYear + 1)}));
    // The numbering alone chooses the mode: a register numbered per year starts each year from zero
    // stock and needs the vouchers that carry it over.
    ckAzzeraGiac->setChecked(CurrentNumbering == 1);
    // A year closed already is told first, whatever else is missing.
    const bool closed = kvaYearClosed(ParamRegisterYearId());
    if (closed || LaterRegisterYear(ckAzzeraGiac->isChecked()) == 0) {
        VoMessageDlg(QString::fromUtf8(closed ? kvaClosedYearText : kNoNextYear), mtWarning, mbOK);
        QMetaObject::invokeMethod(
            this, [this] { reject(); }, Qt::QueuedConnection);
    }
}

void TfmKvaChiusura::NavigatorClick(QObject *Sender) {
    TfmVoWizard::NavigatorClick(Sender);
    if (pcMain->currentWidget() != tsGiacenze)
        return;
    buPrior->setEnabled(false);
    buOk->setEnabled(false);
    {
        TVoHourglass hourglass;
        repaint();
        laImpostazioneGiacenze->setText(laImpostazioneGiacenze->text() + QString::number(CurrentRegYear + 1));
        Step("count");
        CountArticles();
        const int count = m_articleCount;
        laNumArticoli->setText(QString::number(count));
        gaProgressArticoli->setRange(0, qMax(count, 1));
        gaProgressArticoli->setValue(0);
        buOk->setEnabled(count > 0);
    }
    buNext->setEnabled(false);
}

void TfmKvaChiusura::CountArticles() {
    m_articleCount = VoSelectValue(QString::fromLatin1(kArticlesSQL),
                                   {{QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId()}})
                         .toInt();
}

void TfmKvaChiusura::buOkClick() {
    buOk->setEnabled(false);
    if (m_articleCount == 0)
        return;
    {
        TVoHourglass hourglass;
        // A save that holds the numbering's row meanwhile is waited for; the closing then runs again
        // from the start and closes what it saved.
        VoWriteRetryingConflicts([this] {
            // Voucher saves take the row of their numbering scope (the register-year, or the register
            // when the numbers run across its years) before they number and check: with it held no
            // voucher of the year is written while the closing reads its stock and locks it.
            kvaLockNumbering();
            // Another copy may have closed the year since this window was opened.
            if (kvaYearClosed(ParamRegisterYearId()))
                throw EVoError(QString::fromUtf8(kvaClosedYearText));
            if (ckAzzeraGiac->isChecked()) {
                Step("articles");
                CarryStock();
                VoExecSQL(QString::fromLatin1(kLockYearSQL),
                          {{QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId()}});
            } else {
                VoExecSQL(QString::fromLatin1(kLockRegisterSQL),
                          {{QStringLiteral("iFacId"), CurrentRegisterId}});
            }
            Step("totals");
            RecordClosing();
            Step("commit");
        });
    }
    // A closing that carries no stock looked at every article too: the bar shows it done before the
    // message says so.
    gaProgressArticoli->setValue(gaProgressArticoli->maximum());
    VoRefreshStaleStatistics();
    buNext->setEnabled(false);
    Step("done");
    VoMessageDlg(QString::fromLatin1(kDone), mtInformation, mbOK);
    // A closed year has nothing more to do here.
    accept();
}

void TfmKvaChiusura::CarryStock() {
    const int registerYearId = ParamRegisterYearId();
    // A key pair for each article moved in the year, as counted when the page was shown: whether an
    // article is in stock is known only as its rows are written.
    const int moved = m_articleCount;
    const int nextYearId = LaterRegisterYear(true);
    TAbcRegisterYear next;
    if (nextYearId == 0 || !ReadRegisterYear(nextYearId, next))
        throw EVoException(QString::fromUtf8(kNoNextYear));
    const int closingId = InsertVoucher(registerYearId, NextVoucherNumber(kvaUnloading), CurrentRegEnd,
                                        kClosingDesc, kvaUnloading, kClosingUse);
    const int openingId = InsertVoucher(nextYearId, 1, next.start, kOpeningDesc, kvaLoading, kOpeningUse);
    // The rows are written in the database, article by article as the result is read.
    TVoQuery carry(QString::fromLatin1(kCarrySQL));
    carry.SetParam(QStringLiteral("iDwgFacAnfId"), registerYearId)
        .SetParam(QStringLiteral("dData"), DaysToDateParam(CurrentRegEnd))
        .SetParam(QStringLiteral("iBuoChiusura"), closingId)
        .SetParam(QStringLiteral("iBuoApertura"), openingId)
        .SetParam(QStringLiteral("iIvaInclusa"), CurrentVatIncluded == 1 ? 1 : 0)
        .SetParam(QStringLiteral("iPrimoId"),
                  VoSelectValue(QString::fromLatin1(kRowKeysSQL), {{QStringLiteral("iCount"), 2 * moved}}));
    // The user may abandon the closing here: nothing of it is then written.
    TVoProgressScope progress(QString::fromUtf8(kCarrying), moved, true, windowTitle());
    int looked = 0, carried = 0;
    for (carry.Open(); !carry.Eof(); carry.Next()) {
        // The keys drawn cover the articles counted: an article moved since then may not take a key
        // drawn by somebody else.
        if (++looked > moved)
            throw EVoException(QString::fromUtf8(kStockChanged));
        carried += carry.AsInteger(QStringLiteral("ICARRIED"));
        gaProgressArticoli->setValue(qMin(looked, gaProgressArticoli->maximum()));
        progress.Step(looked);
    }
    carry.Close();
    // Stock and average costs come from rows once accepted; rows stored before their bounds held may
    // still carry more than the next year's totals can add up.
    TVoQuery beyond(QString::fromLatin1(kBeyondBoundsSQL));
    beyond.SetParam(QStringLiteral("c"), closingId)
        .SetParam(QStringLiteral("o"), openingId)
        .SetParam(QStringLiteral("fQuantita"), AbcMaxUnloadQuantity)
        .SetParam(QStringLiteral("fCosto"), AbcMaxCarriedUnitCost);
    beyond.Open();
    if (!beyond.Eof())
        kvaCheckWrittenRow(
            beyond.AsInteger(QStringLiteral("IFBUOTIPO")), beyond.AsString(QStringLiteral("SFBUODESC")),
            beyond.AsString(QStringLiteral("SFARLDESC")), beyond.AsFloat(QStringLiteral("FAFCQUANTITA")),
            beyond.AsFloat(QStringLiteral("FAFCCOSTOUNIT")), true);
    beyond.Close();
    // Which articles are in stock is known once their rows are written: a year without stock keeps
    // no vouchers.
    if (carried == 0)
        VoExecSQL(QString::fromLatin1(kDropVouchersSQL),
                  {{QStringLiteral("c"), closingId}, {QStringLiteral("o"), openingId}});
    // The articles without rows up to the date were looked at too.
    gaProgressArticoli->setValue(gaProgressArticoli->maximum());
}

void TfmKvaChiusura::RecordClosing() {
    m_chaId = NewId(QStringLiteral("TCHA_CHIUSURAANNO"));
    TVoQuery closing(QString::fromLatin1(kClosingSQL));
    closing.SetParam(QStringLiteral("iChaId"), m_chaId)
        .SetParamDate(QStringLiteral("DCHADATACHIUSURA"), CurrentRegEnd)
        .SetParam(QStringLiteral("IFACID"), CurrentRegisterId);
    closing.Exec();

    const bool byYear = ckAzzeraGiac->isChecked();
    TVoQuery totals(QString::fromLatin1(kTotalsSQL[CurrentVatIncluded == 1 ? 1 : 0][byYear ? 1 : 0]));
    totals.SetParamDate(QStringLiteral("dBuoData"), CurrentRegEnd)
        .SetParam(QStringLiteral("iScope"), byYear ? ParamRegisterYearId() : CurrentRegisterId);
    // The sums come to the cent; their difference is taken exactly, not in binary fractions.
    const auto cents = [&totals](const char *name) {
        return TVoMoney::FromStored(
            VoRoundScaled(totals.AsFloat(QString::fromLatin1(name)), TVoMoney::Decimals));
    };
    QList<QPair<int, TVoMoney>> amounts;
    for (totals.Open(); !totals.Eof(); totals.Next())
        amounts.append(
            {totals.AsInteger(QStringLiteral("ICAFID")), cents("IMPORTOCAR") - cents("IMPORTOSCA")});
    totals.Close();
    TVoQuery category(QString::fromLatin1(kChaCafSQL));
    category.SetParam(QStringLiteral("ICHAID"), m_chaId);
    for (const auto &[cafId, amount] : std::as_const(amounts)) {
        category.SetParam(QStringLiteral("ICAFID"), cafId)
            .SetParam(QStringLiteral("FCHACAFIMPORTO"), double(amount.Stored()) / 10000.0);
        category.Exec();
    }
}

void TfmKvaChiusura::Step(const char *step) const {
    if (OnStep)
        OnStep(step);
}
