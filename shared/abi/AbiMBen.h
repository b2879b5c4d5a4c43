#pragma once
// The shared data module of the beneficiaries registry (suppliers and recipients).
#include "VoQueryCollection.h"

#include <QList>
#include <QObject>

class TVoSQLConnection;

class TdmBeneficiari : public QObject {
    Q_OBJECT
public:
    explicit TdmBeneficiari(QObject *parent = nullptr);

    TVoQueryCollection *qcdAux;
    TVoQueryCollection *xqcBeneficiari;
    TVoQueryCollection *xqcTelefoni;
    TVoQueryCollection *xqcEmail;
    TVoQueryCollection *xqcWeb;
    TVoQueryCollection *xqcDatiLegali;
    TVoQueryCollection *xqcDatiBancari;
    TVoQueryCollection *xqcSedi;
    TVoQueryCollection *xqcTipoSede;
    TVoQueryCollection *xqcSostituente;
    TVoQueryCollection *qcdSostituito;
    TVoQueryCollection *xqcRappresentanti;
    TVoQueryCollection *xqcDelegatiConto;
    TVoQueryCollection *xqcDurc;
    TVoQueryCollection *xqcQuietanzante;
    // Connections of the module's plain query and key procedure.
    TVoSQLConnection *qquIns = nullptr;
    TVoSQLConnection *qsoSetGetId = nullptr;

    // The registry lists publishers (a mode of the durable-goods program's book registers).
    bool BenPublishersMode = false;
    // Amounts of the registry shown with the currency format.
    bool AmountFormat = false;

    // Binds every dataset to a connection, in the order the menu does.
    void BindConnection(TVoSQLConnection *connection);
    // The datasets in binding order.
    QList<TVoQueryCollection *> DataSets() const;
};

extern TdmBeneficiari *dmBeneficiari;
