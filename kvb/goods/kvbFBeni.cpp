#include "kvbFBeni.h"

#include "AbcUBounds.h"
#include "AbcUContext.h"
#include "AbeRRicerca.h"
#include "VoQueryCollection.h"
#include "VoSqlText.h"
#include "kvbRBeni.h"

namespace {

const char *const kListSQL =
    "SELECT inb.*, CASE COALESCE(INB.sBInbCodNumero,'') WHEN '' THEN inb.iBInbNumero ELSE inb.iBInbNumero || "
    "'/' || inb.sBInbCodNumero END AS NumCod, (SELECT BEN.SBENRAGSOC FROM TBEN_BENEFICIARI BEN WHERE "
    "BEN.IBENID=INB.IBENID)AS SBENRAGSOC  FROM VBInb_Beni INB INNER JOIN TDwgFacAnf dia ON "
    "(inb.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE "
    "(di.iFacId=:iFacId) ORDER BY inb.dBBuoData, inb.iBInbNumero, inb.sBInbCodNumero";
// The list's keys over the goods and their loading vouchers alone, with every column the list is
// sorted or searched on under the list's names: a code's text is read only when sorted or searched on.
const char *const kKeysSQL =
    "SELECT inb.IBINBID, buo.DBBUODATA, inb.IBINBNUMERO, inb.SBINBCODNUMERO, CASE "
    "COALESCE(inb.sBInbCodNumero,'') "
    "WHEN '' THEN inb.iBInbNumero ELSE inb.iBInbNumero || '/' || inb.sBInbCodNumero END AS NUMCOD, "
    "inb.SBINBDESC, "
    "(SELECT cam.SCAMDESC FROM TCAM_CATEGORIEINV cam WHERE cam.ICAMID = inb.ICAMID) AS SCAMDESC, "
    "buo.IBBUONUMERO, "
    "(SELECT sca.IBBUONUMERO FROM TBBUO_BUONI sca WHERE sca.IBBUOID = inb.IBBUOIDSCARICO) AS IBBUONUMEROSCA, "
    "(SELECT sca.DBBUODATA FROM TBBUO_BUONI sca WHERE sca.IBBUOID = inb.IBBUOIDSCARICO) AS DBBUODATASCA, "
    "inb.IBINBIMPORTO, (SELECT sec.SSECDESCS FROM TSEC_SETTCONS sec WHERE sec.ISECID = inb.ISECID) AS "
    "SSECDESCS, "
    "(SELECT ben.SBENRAGSOC FROM TBEN_BENEFICIARI ben WHERE ben.IBENID = buo.IBENID) AS SBENRAGSOC, "
    "(SELECT ava.SAVADESC FROM TAVA_STATIAVANZA ava WHERE ava.IAVAID = inb.IAVAID) AS SAVADESC, "
    "(SELECT sed.SSEDINFSDESC FROM TSEDINF_SEDEINFO sed WHERE sed.ISEDINFID = inb.ISEDINFID) AS SSEDINFSDESC "
    "FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON (buo.IBBUOID = inb.IBBUOID) INNER JOIN TDwgFacAnf dia "
    "ON "
    "(buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE "
    "(di.iFacId=:iFacId)";
// The keys in the list's own order, walked through the vouchers' dates rather than sorted.
const char *const kWalkSQL =
    "SELECT VO_KEY, VO_PLACE FROM PKVB_BENIINORDINE(:iFacId, :VOAFTER, :VOAFTER1, :VOAFTER2, :VOAFTER3, :VOAFTER4)";
const char *const kUpdateSQL =
    "UPDATE TBInb_Beni  SET sBInbNOTE=:sBInbNOTE,    ICAEID=:ICAEID,ICONDID=:ICONDID  "
    "WHERE (iBInbID=:VOCURRID)";

} // namespace

TfmBeni::TfmBeni(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))), frMaster(new TfrkvbBeni) {
    setObjectName(QStringLiteral("fmBeni"));
    setWindowTitle(QStringLiteral("Elenco beni"));
    Arrange(frMaster, xqcMain);
    xqcMain->AfterOpen.Add([this](TVoQueryCollection *) { xqcMainAfterOpen(); });
}

void TfmBeni::FormCreate() {
    TfmVoRegistry::FormCreate();
    QString select = QString::fromLatin1(kListSQL);
    QString update = QString::fromLatin1(kUpdateSQL);
    QString keys = QString::fromLatin1(kKeysSQL);
    ReplaceCurrDwg(select);
    ReplaceCurrDwg(keys);
    ReplaceCurrDwg(update);
    SetUpRegistry(frMaster, xqcMain, select,
                  {{0, QStringLiteral("iBInbNUMERO"), true},
                   {1, QStringLiteral("sBInbDESC"), true},
                   {2, QStringLiteral("SCAMDESC"), true},
                   {3, QStringLiteral("iBBuoNUMERO"), false},
                   {4, QStringLiteral("dBBuoDATA;iBInbNumero"), false},
                   {5, QStringLiteral("iBBuoNUMEROSCA"), false},
                   {6, QStringLiteral("dBBuoDATASCA"), false},
                   {7, QStringLiteral("iBInbIMPORTO"), false},
                   {8, QStringLiteral("sSecDescS"), true},
                   {9, QStringLiteral("sBenRagSoc"), true},
                   {10, QStringLiteral("SAVADESC"), true},
                   {11, QStringLiteral("sSedInfSDesc"), true}},
                  {QString(), update, QString()});
    // The list reads a view; the update writes the good itself, which must still be there.
    xqcMain->SetTableName(QStringLiteral("TBINB_BENI"));
    xqcMain->SetKeySlice({QStringLiteral("inb.IBINBID"), keys,
                          VoOrderByNames(select, {}), QString::fromLatin1(kWalkSQL)});
    xqcMain->SetFieldBounds(QStringLiteral("iBInbIMPORTO"), AbcAmountBounds(QStringLiteral("Importo")));
    RebuildParamsFromSQL(xqcMain);
    xqcMain->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    frMaster->frRicerca->DataSet = xqcMain;
    frMaster->frRicerca->Grid = frMaster->grFrame;
    frMaster->frRicerca->SetupSearchBox();
}

void TfmBeni::xqcMainAfterOpen() {
    const std::pair<const char *, const char *> formats[] = {{"iBInbIMPORTO", "#,###.00"},
                                                             {"IBBIMIMPORTO", "#,###.00"},
                                                             {"iBBuoNumero", "0000000"},
                                                             {"iBBuoNumeroSca", "0000000"}};
    for (const auto &[name, format] : formats) {
        TVoField *field = xqcMain->FindField(QString::fromLatin1(name));
        if (!field)
            continue;
        field->SetDisplayFormat(QString::fromLatin1(format));
        if (format[0] == '#')
            field->SetDisplayScale(4);
    }
}
