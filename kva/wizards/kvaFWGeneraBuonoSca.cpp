#include "kvaFWGeneraBuonoSca.h"

#include "VoDBDateEdit.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoStringGrid.h"
#include "VoTransaction.h"
#include "VoWait.h"
#include "kvaFImpWizard.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Each loading voucher is tested only until one of its articles is found in stock.
const char *const kBuoniTuttiSQL =
    "SELECT FBUO.IFBUOID, FBUO.IFBUONUMERO, FBUO.DFBUODATA, FBUO.SFBUODESC, (SELECT BEN.SBENRAGSOC FROM "
    "TBEN_BENEFICIARI BEN WHERE BEN.IBENID=FBUO.IBENID) AS SBENRAGSOC FROM TFBUO_BUONI FBUO WHERE "
    "FBUO.IDWGFACANFID = :IDWGFACANFID AND FBUO.IFBUOTIPO=0 AND EXISTS (SELECT 1 FROM TAFC_ARTVELIST AFC "
    "WHERE AFC.IFBUOID=FBUO.IFBUOID) ORDER BY FBUO.IFBUONUMERO";
const char *const kBuoniDaScaricareSQL =
    "SELECT FBUO.IFBUOID, FBUO.IFBUONUMERO, FBUO.DFBUODATA, FBUO.SFBUODESC, (SELECT BEN.SBENRAGSOC FROM "
    "TBEN_BENEFICIARI BEN WHERE BEN.IBENID=FBUO.IBENID) AS SBENRAGSOC FROM TFBUO_BUONI FBUO WHERE "
    "FBUO.IDWGFACANFID = :IDWGFACANFID AND FBUO.IFBUOTIPO=0 AND COALESCE(FBUO.lFBuoScaricato, 0) = 0 AND "
    "EXISTS (SELECT 1 FROM TAFC_ARTVELIST AFC WHERE AFC.IFBUOID=FBUO.IFBUOID AND (SELECT GIACENZA FROM "
    "PKVA_GETGIACENZA(AFC.iFarId,CURRENT_DATE,FBUO.IDWGFACANFID,-1))>0) ORDER BY FBUO.IFBUONUMERO";

const char *const kRigheSQL =
    "SELECT afc.iafcid, afc.FAFCCOSTOUNIT, afc.FAFCQUANTITA, afc.SFARSDESC, afc.iFarId, afc.SFARLDESC, "
    "afc.IALVID, afc.SALVDESCS, COALESCE(afc.fUnmFattoreProp,1) AS fUnmFattoreProp, afc.iSecId, "
    "afc.iSedInfId, afc.iClcId, afc.iRspId, afc.sSecDescS, afc.fAlvIva, ana.sanacognome ||' '|| "
    "ana.sananome AS sResponsabile FROM VAFC_ARTVELIST afc LEFT JOIN TRsp_Responsabili rsp ON (afc.iRspId = "
    "rsp.iRspId) LEFT JOIN TAna_Anagrafiche ana ON (rsp.iAnaId = ana.iAnaId) WHERE afc.IFBUOID = :IFBUOID";
const char *const kGiacenzaSQL =
    "SELECT Giacenza, CostoUniMed FROM PKva_GetGiacenza(:iFarId, :dFBuoData, :iDwgFacAnfId, :iSecId);";

const char *const kScaricatoSQL = "UPDATE TFBuo_Buoni SET lFBuoScaricato = 1 WHERE iFBuoId = :iFBuoId;";
const char *const kRigaCaricoSQL = "SELECT * FROM TAfc_ArtVelist afc WHERE (afc.iAfcId=:iAfcId)";

const char *const kCausaleProposta = "14";
const char *const kGiacenzaInferiore = "C'è una giacenza inferiore della quantità che si vuole scaricare";
const char *const kNothingInStock =
    "Nessun articolo del buono ha giacenza alla data di scarico: non c'è nulla da scaricare.";
const char *const kGenerated = "Generato il buono di scarico n. %s del %s con %s.";

// Quantities are shown and kept with three decimals, comma separated.
QString Fixed3(double value) {
    return QString::number(value, 'f', 3).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString Text(const char *utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TfmKvaWGeneraBuonoSca::TfmKvaWGeneraBuonoSca(QWidget *parent)
    : TfmVoImpWizard(parent), tsDataScarico(new QWidget), dtpDataScarico(new TVoDBDateEdit(tsDataScarico)) {
    setWindowTitle(QStringLiteral("Generazione automatica Buono"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(1000, 400);

    sgBuoni->AddColumn(QStringLiteral("IFBUONUMERO"), QStringLiteral("Numero"), 100);
    sgBuoni->AddColumn(QStringLiteral("DFBUODATA"), QStringLiteral("Data"), 100);
    sgBuoni->AddColumn(QStringLiteral("SFBUODESC"), QStringLiteral("Descrizione"), 300);
    sgBuoni->AddColumn(QStringLiteral("SBENRAGSOC"), QStringLiteral("Ragione sociale"), 300);

    auto *dateLayout = new QVBoxLayout(tsDataScarico);
    dateLayout->addWidget(new QLabel(
        QStringLiteral("Inserire la data in cui si desidera scaricare il buono selezionato"), tsDataScarico));
    dtpDataScarico->setObjectName(QStringLiteral("dtpDataScarico"));
    dateLayout->addWidget(dtpDataScarico, 0, Qt::AlignLeft);
    dateLayout->addStretch(1);
    pcMain->insertWidget(pgDataScarico, tsDataScarico);

    SetGoodsColumns(colCount, {{colCodice, QStringLiteral("Codice"), 70},
                               {colDesc, QStringLiteral("Descrizione"), 150},
                               {colCaricata, Text("Q.tà caricata"), 60},
                               {colGiacenza, QStringLiteral("Giacenza"), 60},
                               {colQuantita, Text("Q.tà da scaricare"), 90},
                               {colSede, QStringLiteral("Sede"), 150},
                               {colLuogo, QStringLiteral("Luogo di Scarico"), 150},
                               {colResp, QStringLiteral("Responsabile del luogo"), 120},
                               {colCausale, QStringLiteral("Causale di Scarico"), 120}});

    // A caption wider than its column's width widens the column rather than being cut.
    for (int column = 0; column < colCount; ++column)
        if (!sgArticoli->isColumnHidden(column))
            sgArticoli->setColumnWidth(
                column, qMax(sgArticoli->columnWidth(column),
                             sgArticoli->fontMetrics().horizontalAdvance(sgArticoli->Cells(column, 0)) + 16));

    TVoImpSearch site = TfmKvaImpWizard::SiteSearch(colSede, colSedeId);
    site.buttonCaption = QStringLiteral("Selezione unica sede");
    site.listed = {{1, QStringLiteral("Sede"), 300}};
    AddSearch(site);

    TVoImpSearch sector;
    sector.column = colLuogo;
    sector.idColumn = colSecId;
    sector.buttonCaption = QStringLiteral("Selezione unico luogo");
    sector.sql =
        QStringLiteral(" SELECT TSEC_SETTCONS.ISECID, TSEC_SETTCONS.SSECCOD, TSEC_SETTCONS.SSECDESCS FROM "
                       "TSEC_SETTCONS");
    sector.keyField = QStringLiteral("ISECID");
    sector.shownField = QStringLiteral("SSECDESCS");
    sector.shownTitle = QStringLiteral("Luogo di Scarico");
    // A responsible belongs to a sector: another sector leaves the row without one.
    sector.emptiedOnChange = {colRspId, colResp};
    sector.listed = {{1, QStringLiteral("Codice"), 50}, {2, QStringLiteral("Descrizione"), 400}};
    AddSearch(sector);

    TVoImpSearch responsible;
    responsible.column = colResp;
    responsible.idColumn = colRspId;
    responsible.buttonCaption = QStringLiteral("Selezione unico resp");
    responsible.sql = QStringLiteral(
        " SELECT rsp.iRspId, ana.sAnaNome, ana.sAnaCognome, rsp.sRspQualifica  FROM TRsp_Responsabili rsp   "
        "INNER JOIN TAna_Anagrafiche ana ON (rsp.iAnaId = ana.iAnaId)  WHERE rsp.iSecId = :ISECID;");
    responsible.keyField = QStringLiteral("IRSPID");
    responsible.shownField = QStringLiteral("SANACOGNOME");
    responsible.shownTitle = QStringLiteral("Responsabile del luogo");
    responsible.paramName = QStringLiteral("ISECID");
    responsible.paramColumn = colSecId;
    responsible.listed = {{1, QStringLiteral("Nome"), 200},
                          {2, QStringLiteral("Cognome"), 200},
                          {3, QStringLiteral("Qualifica"), 100}};
    AddSearch(responsible);

    TVoImpSearch causal;
    causal.column = colCausale;
    causal.idColumn = colCavId;
    causal.buttonCaption = QStringLiteral("Selezione unica causale");
    causal.sql =
        QStringLiteral(" SELECT ICAVID, SCAVCODICE, SCAVDESC FROM TCAV_CAUSALIINV  WHERE iCavTipo = 1");
    causal.keyField = QStringLiteral("ICAVID");
    causal.shownField = QStringLiteral("SCAVDESC");
    causal.shownTitle = QStringLiteral("Causale di Scarico");
    causal.listed = {{1, QStringLiteral("Codice"), 50}, {2, QStringLiteral("Descrizione"), 400}};
    AddSearch(causal);

    for (int column : {colSede, colLuogo, colResp, colCausale}) {
        SameButton(column)->setMinimumWidth(121);
        SameButton(column)->hide();
    }

    sgArticoli->OnCellText.Add([](int column, int row, QString &text) {
        if (column != colQuantita || row < 1)
            return;
        double value = 0.0;
        if (!TryDecimal(text, &value))
            value = 0.0;
        text = Fixed3(TruncateDecimals(6, value));
    });
    sgArticoli->OnGetEditText.Add([](int column, int row, QString &text) {
        if (column != colQuantita || row < 1)
            return;
        double value = 0.0;
        if (!TryDecimal(QString(text).remove(QLatin1Char('.')).trimmed(), &value))
            value = 0.0;
        text = Fixed3(TruncateDecimals(3, value));
    });
    sgArticoli->OnKeyDown.Add([this](QKeyEvent *e, bool &swallow) {
        if (e->key() == Qt::Key_Delete && sgArticoli->Col() != colQuantita)
            swallow = true;
    });
    sgArticoli->OnKeyPress.Add([this](QChar &c) {
        // Control characters (backspace, Enter, Escape) always reach the grid.
        if (!c.isPrint())
            return;
        const int column = sgArticoli->Col();
        if (column >= colSede) {
            c = QChar();
        } else if (column == colQuantita) {
            if (c == QLatin1Char('.') || c == QLatin1Char(','))
                c = QLatin1Char(',');
            else if (c != QLatin1Char('-') && (c < QLatin1Char('0') || c > QLatin1Char('9')))
                c = QChar();
        }
    });
    sgArticoli->OnKeyUp.Add([this](QKeyEvent *) { VoGuarded([this] { CheckQuantity(); }); });
}

void TfmKvaWGeneraBuonoSca::FormCreate() {
    TfmVoImpWizard::FormCreate();
    sgArticoli->SetSelectableColumns({colQuantita, colSede, colLuogo, colResp, colCausale});
    sgArticoli->SetEditableColumns({colQuantita});
    SetActivePageIndex(pgBuoni);
}

void TfmKvaWGeneraBuonoSca::FormShow() {
    TfmVoImpWizard::FormShow();
    TVoHourglass hourglass;
    xqcBuoni->Close();
    xqcBuoni->SetCommandText(
        QString::fromLatin1(SoloDaScaricare == 0 ? kBuoniTuttiSQL : kBuoniDaScaricareSQL));
    xqcBuoni->SetParam(QStringLiteral("IDWGFACANFID"), ParamRegisterYearId());
    xqcBuoni->Open();
    xqcBuoni->FieldByName(QStringLiteral("IFBUONUMERO"))->SetDisplayFormat(QStringLiteral("0000000"));
    CheckButtons();
    sgBuoni->setFocus();
}

void TfmKvaWGeneraBuonoSca::CheckButtons() {
    TfmVoImpWizard::CheckButtons();
    // Once the grid is built there is no way back to the date or the list.
    if (ActivePageIndex() == pgArticoli)
        buPrior->setEnabled(false);
    if (ActivePageIndex() == pgBuoni && xqcBuoni->Active() && xqcBuoni->IsEmpty())
        buNext->setEnabled(false);
    buOk->setEnabled(ActivePageIndex() == pgArticoli);
}

double TfmKvaWGeneraBuonoSca::UnloadDate() const {
    return DateToDays(dtpDataScarico->Date());
}

void TfmKvaWGeneraBuonoSca::pcMainChanging(QObject *, bool &AllowChange) {
    if (ActivePageIndex() != pgDataScarico)
        return;
    const QString problem =
        kvaVoucherDateProblem(UnloadDate(), NextVoucherNumber(kvaUnloading), kvaUnloading, 0, 0);
    if (problem.isEmpty())
        return;
    AllowChange = false;
    VoMessageDlg(problem, mtError, mbOK);
}

void TfmKvaWGeneraBuonoSca::NavigatorClick(QObject *Sender) {
    TfmVoWizard::NavigatorClick(Sender);
    if (ActivePageIndex() == pgDataScarico) {
        ProposeDate();
    } else if (ActivePageIndex() == pgArticoli) {
        for (int column : {colSede, colLuogo, colResp, colCausale}) {
            SameButton(column)->setEnabled(false);
            SameButton(column)->show();
        }
        TVoHourglass hourglass;
        ClearGoods();
        LoadGoods();
        sgArticoli->setFocus();
    }
}

void TfmKvaWGeneraBuonoSca::ProposeDate() {
    double date = xqcBuoni->FieldByName(QStringLiteral("DFBUODATA"))->AsDate();
    if (date < CurrentRegStart)
        date = CurrentRegStart;
    if (date > CurrentRegEnd)
        date = CurrentRegEnd;
    DateWindow window;
    kva::GetVoucherDateLimits(NextVoucherNumber(kvaUnloading), kvaUnloading, window);
    if (date < window.low)
        date = window.low;
    dtpDataScarico->SetDate(DaysToDate(date));
}

void TfmKvaWGeneraBuonoSca::LoadGoods() {
    m_articles.clear();
    TVoQuery rows(QString::fromLatin1(kRigheSQL));
    rows.SetParam(QStringLiteral("IFBUOID"), xqcBuoni->FieldByName(QStringLiteral("IFBUOID"))->Value());
    // The stock of each article of the voucher, asked through one statement prepared once: in one
    // transaction, not one of its own per article.
    TVoTransaction reading;
    reading.StartTransaction();
    TVoQuery stock(QString::fromLatin1(kGiacenzaSQL));
    const auto text = [&rows](const char *field) { return rows.AsString(QString::fromLatin1(field)); };
    for (rows.Open(); !rows.Eof(); rows.Next()) {
        stock.Close();
        stock.SetParam(QStringLiteral("iFarId"), rows.Value(QStringLiteral("IFARID")))
            .SetParamDate(QStringLiteral("dFBuoData"), UnloadDate())
            .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
            .SetParam(QStringLiteral("iSecId"), -1)
            .Open();
        const double giacenza = stock.AsFloat(QStringLiteral("GIACENZA"));
        if (giacenza <= 0.0)
            continue;
        const double costo = stock.AsFloat(QStringLiteral("COSTOUNIMED"));
        double fattore = rows.AsFloat(QStringLiteral("FUNMFATTOREPROP"));
        if (fattore == 0.0)
            fattore = 1.0;
        const double caricata = rows.AsFloat(QStringLiteral("FAFCQUANTITA"));
        const int row = AppendGoodsRow();
        const auto set = [this, row](int column, const QString &value) {
            sgArticoli->SetCells(column, row, value);
        };
        set(colFattore, DecimalText(fattore));
        set(colAfcId, text("IAFCID"));
        set(colSedeId, CurrentSiteId > 0 ? QString::number(CurrentSiteId) : text("ISEDINFID"));
        set(colSecId, text("ISECID"));
        set(colRspId, text("IRSPID"));
        set(colCavId, QString::fromLatin1(kCausaleProposta));
        set(colCodice, text("SFARSDESC"));
        set(colDesc, text("SFARLDESC"));
        set(colCaricata, DecimalText(fattore * caricata));
        set(colGiacenza, DecimalText(fattore * giacenza));
        set(colCosto, DecimalText(costo / fattore));
        set(colQuantita, DecimalText(fattore * qMin(giacenza, caricata)));
        set(colSede, CurrentSiteDesc);
        set(colLuogo, text("SSECDESCS"));
        set(colResp, text("SRESPONSABILE"));
        set(colCausale, QStringLiteral("Impiego dotazione"));
        m_articles << rows.AsInteger(QStringLiteral("IFARID"));
    }
    stock.Close();
    rows.Close();
    reading.Commit();
    DropTrailingRow();
}

void TfmKvaWGeneraBuonoSca::CheckQuantity() {
    const int row = sgArticoli->Row();
    if (sgArticoli->Col() != colQuantita || row < 1 || sgArticoli->Cells(colQuantita, row).isEmpty())
        return;
    // A text not yet a number (a lone "-" while typing) waits for the next key.
    double quantity = 0.0, stock = 0.0;
    if (!TryDecimal(sgArticoli->Cells(colQuantita, row), &quantity) ||
        !TryDecimal(sgArticoli->Cells(colGiacenza, row), &stock) || quantity <= stock)
        return;
    VoMessageDlg(Text("Giacenza inferiore della quantità che si vuole scaricare"), mtError, mbOK);
    sgArticoli->SetCells(colQuantita, row, QStringLiteral("0"));
}

bool TfmKvaWGeneraBuonoSca::SameForAllAllowed(int column) {
    if (column != colResp)
        return true;
    int sector = CellId(colSecId, 1);
    for (int row = 2; row < sgArticoli->RowCount(); ++row)
        if (CellId(colSecId, row) != sector)
            sector = -1;
    if (sector != -1)
        return true;
    VoMessageDlg(Text("Funzione disponibile solo se il luogo di scarico è impostato uguale per tutti gli "
                      "articoli."),
                 mtWarning, mbOK);
    return false;
}

QString TfmKvaWGeneraBuonoSca::PickedText(const TVoImpSearch &search) {
    if (search.column != colResp)
        return TfmVoImpWizard::PickedText(search);
    return VoVariantToText(fmSearchDialog->SelectedValue(QStringLiteral("SANACOGNOME"))) + QLatin1Char(' ') +
           VoVariantToText(fmSearchDialog->SelectedValue(QStringLiteral("SANANOME")));
}

void TfmKvaWGeneraBuonoSca::buOkClick() {
    if (!GeneraBuonoScarico())
        return;
    VoMessageDlg(
        VoFormat(Text(kGenerated),
                 {QStringLiteral("%1").arg(m_number, 7, 10, QLatin1Char('0')), FormatDays(UnloadDate()),
                  m_rows == 1 ? Text("1 riga") : QStringLiteral("%1 righe").arg(m_rows)}),
        mtInformation, mbOK);
    accept();
}

bool TfmKvaWGeneraBuonoSca::GeneraBuonoScarico() {
    try {
        return ImportSelected();
    } catch (const EVoAbort &) {
        // "Annulla" of the wait window: nothing was written and the user knows why.
    } catch (const std::exception &e) {
        // The error's own text is the engine's only as the detail, as everywhere else.
        const TVoFailureText failure = VoFailureText(e);
        TVoShownMessage message{QStringLiteral("Importa beni ") + failure.text, mtError, mbOK};
        message.detail = failure.detail;
        VoMessageDlg(message);
    }
    return false;
}

bool TfmKvaWGeneraBuonoSca::RowsComplete() {
    const auto refuse = [](const char *message) {
        VoMessageDlg(Text(message), mtError, mbOK);
        return false;
    };
    // The grid keeps one empty row when no article of the voucher has stock at the date.
    if (m_articles.isEmpty())
        return refuse(kNothingInStock);
    for (int row = 1; row < sgArticoli->RowCount(); ++row) {
        const double quantity = CellNumber(colQuantita, row);
        if (quantity > CellNumber(colGiacenza, row))
            return refuse(kGiacenzaInferiore);
        if (sgArticoli->Cells(colSede, row).isEmpty() && quantity > 0.0)
            return refuse("Compilare per tutti i beni il campo sede");
        if (sgArticoli->Cells(colLuogo, row).isEmpty() && quantity > 0.0)
            return refuse("Compilare per tutti i beni il campo Luogo di Scarico");
    }
    // Rows of one article draw on the same stock.
    QHash<int, double> total;
    for (int row = 1; row < sgArticoli->RowCount() && row <= m_articles.size(); ++row) {
        const double quantity = CellNumber(colQuantita, row);
        if (quantity <= 0.0)
            continue;
        double &sum = total[m_articles[row - 1]];
        sum += quantity;
        if (sum > CellNumber(colGiacenza, row))
            return refuse(kGiacenzaInferiore);
    }
    return true;
}

bool TfmKvaWGeneraBuonoSca::Post() {
    const int loading = xqcBuoni->FieldByName(QStringLiteral("IFBUOID"))->AsInteger();
    const int year = DaysToDate(xqcBuoni->FieldByName(QStringLiteral("DFBUODATA"))->AsDate()).year();
    kvaLockNumbering();
    const int number = NextVoucherNumber(kvaUnloading);
    // A voucher saved since the date page may have moved the date's bounds.
    const QString dateProblem = kvaVoucherDateProblem(UnloadDate(), number, kvaUnloading, 0, 0);
    if (!dateProblem.isEmpty())
        throw EVoError(dateProblem);
    // No other copy changes these articles' stock until the commit; it is checked again after the rows.
    QList<int> articles;
    for (int r = 1; r < sgArticoli->RowCount() && r <= m_articles.size(); ++r)
        if (CellNumber(colQuantita, r) > 0.0 && !articles.contains(m_articles[r - 1]))
            articles << m_articles[r - 1];
    std::sort(articles.begin(), articles.end());
    for (const int article : articles)
        VoLockRow(QStringLiteral("TFAR_FACARTICOLI"), QStringLiteral("IFARID"), article);
    const int voucher = NewId(QStringLiteral("TFBUO_BUONI"));
    TVoQuery header(QString::fromLatin1(kvaSQLBuoInsert));
    header.SetParam(QStringLiteral("VOGENID"), voucher)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iFBuoNUMERO"), number)
        .SetParamDate(QStringLiteral("dFBuoDATA"), UnloadDate())
        .SetParamNull(QStringLiteral("IBENID"), QMetaType::Int)
        .SetParam(QStringLiteral("sFBuoDESC"), QStringLiteral(""))
        .SetParam(QStringLiteral("iFBuoTipo"), kvaUnloading)
        .SetParamNull(QStringLiteral("dFBuoPROTDATA"), QMetaType::QDate)
        .SetParamNull(QStringLiteral("sFBuoPROTNUM"), QMetaType::QString)
        .SetParamNull(QStringLiteral("iMgmId"), QMetaType::Int)
        .SetParam(QStringLiteral("sFBuoUse"), QStringLiteral("SCAAUTO"))
        .SetParam(QStringLiteral("iFBuoId_P"), loading)
        .SetParamNull(QStringLiteral("lFBuoScaricato"), QMetaType::Short)
        .Exec();
    VoExecSQL(QString::fromLatin1(kScaricatoSQL), {{QStringLiteral("iFBuoId"), loading}});

    TVoQuery source(QString::fromLatin1(kRigaCaricoSQL));
    TVoQuery row(QString::fromLatin1(kvaSQLAfcInsert));
    int written = 0;
    for (int r = 1; r < sgArticoli->RowCount(); ++r) {
        StepRow(r);
        const double quantity = CellNumber(colQuantita, r);
        if (quantity <= 0.0)
            continue;
        kvaCheckWrittenRow(kvaUnloading,
                           QStringLiteral("Buono di carico numero %1")
                               .arg(xqcBuoni->FieldByName(QStringLiteral("IFBUONUMERO"))->AsInteger()),
                           sgArticoli->Cells(colDesc, r), quantity, CellNumber(colCosto, r));
        source.Close();
        source.SetParam(QStringLiteral("iAfcId"), int(CellNumber(colAfcId, r))).Open();
        if (source.Eof())
            throw EVoError(QStringLiteral("riga del buono di carico non trovata"));
        row.SetParam(QStringLiteral("VOGENID"), NewId(QStringLiteral("TAFC_ARTVELIST")))
            .SetParam(QStringLiteral("IFBUOID"), voucher)
            .SetParam(QStringLiteral("ISECID"), int(CellNumber(colSecId, r)))
            .SetParamNull(QStringLiteral("ICLCID"), QMetaType::Int)
            .SetParam(QStringLiteral("ISEDINFID"), int(CellNumber(colSedeId, r)))
            .SetParam(QStringLiteral("iFarId"), source.Value(QStringLiteral("IFARID")))
            .SetParam(QStringLiteral("IVPROID"), source.Value(QStringLiteral("IVPROID")))
            .SetParam(QStringLiteral("ICONDID"), source.Value(QStringLiteral("ICONDID")))
            .SetParam(QStringLiteral("iAlvId"), source.Value(QStringLiteral("IALVID")))
            .SetParam(QStringLiteral("iRspId"), CellIdOrNull(colRspId, r))
            .SetParam(QStringLiteral("ICAVID"), CellIdOrNull(colCavId, r))
            .SetParam(QStringLiteral("FAFCQUANTITA"), quantity)
            .SetParam(QStringLiteral("FAFCCOSTOUNIT"), CellNumber(colCosto, r))
            .SetParam(QStringLiteral("BAFCNOTE"), source.AsString(QStringLiteral("BAFCNOTE")))
            .SetParam(QStringLiteral("IINBANNOASSUNZ"), year)
            .Exec();
        ++written;
    }
    for (const int article : articles)
        if (!CheckStock(article, -1, -1, 0))
            throw EVoError(QString::fromUtf8(kGiacenzaInferiore));
    m_voucher = voucher;
    m_number = number;
    m_rows = written;
    return true;
}
