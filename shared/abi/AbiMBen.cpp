#include "AbiMBen.h"

TdmBeneficiari *dmBeneficiari = nullptr;

TdmBeneficiari::TdmBeneficiari(QObject *parent)
    : QObject(parent), qcdAux(new TVoQueryCollection(this)), xqcBeneficiari(new TVoQueryCollection(this)),
      xqcTelefoni(new TVoQueryCollection(this)), xqcEmail(new TVoQueryCollection(this)),
      xqcWeb(new TVoQueryCollection(this)), xqcDatiLegali(new TVoQueryCollection(this)),
      xqcDatiBancari(new TVoQueryCollection(this)), xqcSedi(new TVoQueryCollection(this)),
      xqcTipoSede(new TVoQueryCollection(this)), xqcSostituente(new TVoQueryCollection(this)),
      qcdSostituito(new TVoQueryCollection(this)), xqcRappresentanti(new TVoQueryCollection(this)),
      xqcDelegatiConto(new TVoQueryCollection(this)), xqcDurc(new TVoQueryCollection(this)),
      xqcQuietanzante(new TVoQueryCollection(this)) {
    setObjectName(QStringLiteral("dmBeneficiari"));
    xqcBeneficiari->SetCommandText(
        QStringLiteral("SELECT ben.*, ana.SANACOGNOME, ana.SANANOME FROM TBEN_BENEFICIARI ben LEFT JOIN "
                       "TANA_ANAGRAFICHE ana ON (ben.IANAID = ana.IANAID) WHERE ben.DDELETE IS NULL ORDER BY "
                       "ben.SBENRAGSOC"));
}

QList<TVoQueryCollection *> TdmBeneficiari::DataSets() const {
    return {qcdAux,        xqcBeneficiari,    xqcTelefoni,      xqcEmail,    xqcWeb,
            xqcDatiLegali, xqcDatiBancari,    xqcSedi,          xqcTipoSede, xqcSostituente,
            qcdSostituito, xqcRappresentanti, xqcDelegatiConto, xqcDurc,     xqcQuietanzante};
}

void TdmBeneficiari::BindConnection(TVoSQLConnection *connection) {
    for (TVoQueryCollection *ds : DataSets())
        ds->SetConnection(connection);
    qquIns = connection;
    qsoSetGetId = connection;
}
