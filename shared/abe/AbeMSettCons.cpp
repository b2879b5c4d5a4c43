#include "AbeMSettCons.h"

TdmSecSettCons *dmSecSettCons = nullptr;

TdmSecSettCons::TdmSecSettCons(QObject *parent)
    : QObject(parent), qcdAux(new TVoQueryCollection(this)), xqcsettConsegna(new TVoQueryCollection(this)),
      xqcResponsabili(new TVoQueryCollection(this)) {
    setObjectName(QStringLiteral("dmSecSettCons"));
    xqcsettConsegna->SetCommandText(QStringLiteral(
        "SELECT sec.*, stz.ISTZNUM, stz.SSTZSDESC, edf.SEDFCODICE, edf.SEDFDESCS FROM TSEC_SETTCONS sec "
        "LEFT JOIN TSTZ_STANZA stz ON (sec.ISTZID = stz.ISTZID) LEFT JOIN TEDF_EDIFICIO edf ON "
        "(stz.IEDFID = edf.IEDFID) WHERE sec.DDELETE IS NULL ORDER BY sec.SSECCOD"));
    xqcResponsabili->SetCommandText(
        QStringLiteral("SELECT rsp.*, ana.SANACOGNOME, ana.SANANOME FROM TRSP_RESPONSABILI rsp LEFT JOIN "
                       "TANA_ANAGRAFICHE ana ON (rsp.IANAID = ana.IANAID) WHERE rsp.ISECID = :ISECID AND "
                       "rsp.DDELETE IS NULL"));
}

void TdmSecSettCons::BindConnection(TVoSQLConnection *connection) {
    qcdAux->SetConnection(connection);
    xqcsettConsegna->SetConnection(connection);
    xqcResponsabili->SetConnection(connection);
    qquTmp = connection;
}
