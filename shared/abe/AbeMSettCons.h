#pragma once
// The shared data module of the delivery sectors and their responsibles. Both programs create it at
// start-up; the menu guard of "Settori di consegna" binds it to the global connection before the
// window opens.
//
// The sectors list either the current ones (no end, or an end not before the server's today) or the
// historicised ones (ended before it). A new sector starts on the server's date, which an update never
// changes. The responsibles are the current sector's, opened again whenever the sector changes, and a
// new responsible belongs to the current sector. Deleting either marks the row deleted: voucher rows
// and goods histories keep naming their sector.
#include "VoQueryCollection.h"

#include <QObject>

class TVoMasterDetail;

// The personnel category of the responsibles among the persons of the suite.
inline constexpr int SecResponsabiliCategory = 3;
class TVoSQLConnection;

class TdmSecSettCons : public QObject {
    Q_OBJECT
public:
    explicit TdmSecSettCons(QObject *parent = nullptr);

    TVoQueryCollection *qcdAux;
    TVoQueryCollection *xqcsettConsegna;
    TVoQueryCollection *xqcResponsabili;
    // The responsibles following the current sector.
    TVoMasterDetail *const mdResponsabili;

    void BindConnection(TVoSQLConnection *connection);

    // The sectors' select for the current or the historicised ones (the collection is closed).
    void SetHistoricised(bool historicised);
    bool Historicised() const { return m_historicised; }

    // The server's date without its time; raises the database's error when it cannot be read.
    double ServerDate();

private:
    void xqcsettConsegnaVoBeforeExec(TVoQueryProp &Prop);

    TVoSQLConnection *m_connection = nullptr;
    bool m_historicised = false;
};

extern TdmSecSettCons *dmSecSettCons;
