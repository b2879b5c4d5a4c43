#pragma once
// The shared data module of the delivery sectors and their responsibles.
#include "VoQueryCollection.h"

#include <QObject>

class TVoSQLConnection;

class TdmSecSettCons : public QObject {
    Q_OBJECT
public:
    explicit TdmSecSettCons(QObject *parent = nullptr);

    TVoQueryCollection *qcdAux;
    TVoQueryCollection *xqcsettConsegna;
    TVoQueryCollection *xqcResponsabili;
    TVoSQLConnection *qquTmp = nullptr;

    void BindConnection(TVoSQLConnection *connection);
};

extern TdmSecSettCons *dmSecSettCons;
