#include "AbeMSettCons.h"

#include "AbcUBounds.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMasterDetail.h"
#include "VoQuery.h"

TdmSecSettCons *dmSecSettCons = nullptr;

namespace {

const char *const kSectorsSQL =
    " SELECT sec.ISECID, sec.ISTZID, sec.SSECCOD, sec.SSECDESCS, sec.SSECDESCL, sec.ISECDISPONIBILITA, "
    "sec.ISECSBILANCIAMENTO, sec.ISECSTANZIAMENTO, sec.DSTART, sec.DEND, sec.DDELETE, stz.ISTZNUM, "
    "stz.SSTZSDESC, edf.IEDFID, edf.SEDFCODICE, edf.SEDFDESCS FROM TSEC_SETTCONS sec LEFT JOIN TSTZ_STANZA "
    "stz ON (stz.ISTZID = sec.ISTZID AND stz.DDELETE IS NULL) LEFT JOIN TEDF_EDIFICIO edf ON (edf.IEDFID = "
    "stz.IEDFID AND edf.DDELETE IS NULL) WHERE (sec.DDELETE IS NULL) AND %1 ORDER BY sec.SSECCOD";
const char *const kCurrentSectors = "((sec.DEND IS NULL) OR (sec.dEnd >= CURRENT_DATE))";
const char *const kHistoricisedSectors = "((sec.DEND IS NOT NULL) AND (sec.dEnd < CURRENT_DATE))";
const char *const kSectorInsertSQL =
    " INSERT INTO TSEC_SETTCONS (ISECID, ISTZID, SSECCOD, SSECDESCS, SSECDESCL, ISECDISPONIBILITA, "
    "ISECSBILANCIAMENTO, ISECSTANZIAMENTO, DSTART, DEND) VALUES (:VOGENID, :ISTZID, :SSECCOD, :SSECDESCS, "
    ":SSECDESCL, :ISECDISPONIBILITA, :ISECSBILANCIAMENTO, :ISECSTANZIAMENTO, :DSTART, :DEND)";
const char *const kSectorUpdateSQL =
    " UPDATE TSEC_SETTCONS SET ISTZID = :ISTZID, SSECCOD = :SSECCOD, SSECDESCS = :SSECDESCS , SSECDESCL = "
    ":SSECDESCL, ISECDISPONIBILITA = :ISECDISPONIBILITA, ISECSBILANCIAMENTO = :ISECSBILANCIAMENTO, "
    "ISECSTANZIAMENTO = :ISECSTANZIAMENTO, DEND = :DEND WHERE TSEC_SETTCONS.ISECID = :VOCURRID";
const char *const kSectorDeleteSQL =
    " UPDATE TSEC_SETTCONS SET DDELETE = CURRENT_TIMESTAMP WHERE TSEC_SETTCONS.ISECID = :VOCURRID";

// The responsibles' table is named by its alias throughout: Firebird refuses the table's own name
// once an alias is declared.
const char *const kResponsabiliSQL =
    " SELECT rsp.IRSPID, rsp.ISECID, rsp.sRspProtNomina, rsp.dRspDataNomina, rsp.DSTART, rsp.DEND, "
    "rsp.DDELETE, TANA_ANAGRAFICHE.IANAID, TANA_ANAGRAFICHE.SANACODFISCALE, TANA_ANAGRAFICHE.SANANOME, "
    "TANA_ANAGRAFICHE.SANACOGNOME, TANA_ANAGRAFICHE.DANANASCITA, TANACAG.SANACAGCODE, rsp.sRspQualifica "
    "FROM TRSP_RESPONSABILI rsp INNER JOIN TANA_ANAGRAFICHE ON (TANA_ANAGRAFICHE.IANAID = rsp.IANAID AND "
    "TANA_ANAGRAFICHE.DDELETE IS NULL) INNER JOIN TANACAG ON (TANACAG.IANAID = TANA_ANAGRAFICHE.IANAID AND "
    "TANACAG.DDELETE IS NULL) WHERE rsp.ISECID = :ISECID AND TANACAG.ICAGID = :ICAGID AND rsp.DDELETE IS "
    "NULL";
const char *const kResponsabileInsertSQL =
    " INSERT INTO TRSP_RESPONSABILI (IRSPID, ISECID, IANAID, DSTART, sRspQualifica, dEnd, sRspProtNomina, "
    "dRspDataNomina) VALUES (:VOGENID, :ISECID, :IANAID, :DSTART, :sRspQualifica, :dEnd, :sRspProtNomina, "
    ":dRspDataNomina)";
const char *const kResponsabileUpdateSQL =
    " UPDATE TRSP_RESPONSABILI SET IANAID = :IANAID, sRspQualifica = :sRspQualifica, dEnd = :dEnd, dStart = "
    ":dStart, sRspProtNomina = :sRspProtNomina, dRspDataNomina = :dRspDataNomina WHERE IRSPID = :VOCURRID";
const char *const kResponsabileDeleteSQL =
    " UPDATE TRSP_RESPONSABILI SET DDELETE = CURRENT_TIMESTAMP WHERE IRSPID = :VOCURRID";
const char *const kServerDateSQL = " SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP";

void SetStatements(TVoQueryCollection *c, const char *insert, const char *update, const char *del) {
    c->SQLInsert.Add(QString::fromLatin1(insert));
    c->SQLUpdate.Add(QString::fromLatin1(update));
    c->SQLDelete.Add(QString::fromLatin1(del));
    c->SetPacketRecords(25);
}

} // namespace

TdmSecSettCons::TdmSecSettCons(QObject *parent)
    : QObject(parent), qcdAux(new TVoQueryCollection(this)), xqcsettConsegna(new TVoQueryCollection(this)),
      xqcResponsabili(new TVoQueryCollection(this)),
      mdResponsabili(new TVoMasterDetail(xqcsettConsegna, xqcResponsabili, QStringLiteral("ISECID"), this)) {
    setObjectName(QStringLiteral("dmSecSettCons"));
    xqcsettConsegna->setObjectName(QStringLiteral("xqcsettConsegna"));
    xqcResponsabili->setObjectName(QStringLiteral("xqcResponsabili"));
    SetHistoricised(false);
    SetStatements(xqcsettConsegna, kSectorInsertSQL, kSectorUpdateSQL, kSectorDeleteSQL);
    // An imbalance may go either way; what a sector has and is given is zero or more.
    xqcsettConsegna->SetFieldBounds(QStringLiteral("ISECDISPONIBILITA"),
                                    AbcAmountBounds(QStringLiteral("Disponibilità")));
    xqcsettConsegna->SetFieldBounds(QStringLiteral("ISECSBILANCIAMENTO"),
                                    {-AbcMaxAmount, true, AbcMaxAmount, 4, QStringLiteral("Sbilanciamento")});
    xqcsettConsegna->SetFieldBounds(QStringLiteral("ISECSTANZIAMENTO"),
                                    AbcAmountBounds(QStringLiteral("Sbilanciamento annuo")));
    xqcResponsabili->SetCommandText(QString::fromLatin1(kResponsabiliSQL));
    xqcResponsabili->SetParam(QStringLiteral("ICAGID"), SecResponsabiliCategory);
    SetStatements(xqcResponsabili, kResponsabileInsertSQL, kResponsabileUpdateSQL, kResponsabileDeleteSQL);
    xqcsettConsegna->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &Prop, bool &) { xqcsettConsegnaVoBeforeExec(Prop); });
}

void TdmSecSettCons::BindConnection(TVoSQLConnection *connection) {
    m_connection = connection;
    for (TVoQueryCollection *c : {qcdAux, xqcsettConsegna, xqcResponsabili})
        c->SetConnection(connection);
}

void TdmSecSettCons::SetHistoricised(bool historicised) {
    m_historicised = historicised;
    xqcsettConsegna->Close();
    xqcsettConsegna->SetCommandText(
        QString::fromLatin1(kSectorsSQL)
            .arg(QLatin1String(historicised ? kHistoricisedSectors : kCurrentSectors)));
}

double TdmSecSettCons::ServerDate() {
    TVoQuery qquTmp(QString::fromLatin1(kServerDateSQL), m_connection);
    qquTmp.Open();
    if (qquTmp.IsEmpty() || qquTmp.IsNull(QStringLiteral("SERVERDATE")))
        throw EVoError(QStringLiteral("La data del server non è disponibile."));
    return DateToDays(qquTmp.Value(QStringLiteral("SERVERDATE")).toDateTime().date());
}

void TdmSecSettCons::xqcsettConsegnaVoBeforeExec(TVoQueryProp &Prop) {
    if (Prop.TableName == QLatin1String("TSEC_SETTCONS") && Prop.Kind == skInsert)
        Prop.Values.AddDate(QStringLiteral("DSTART"), ServerDate());
}
