#pragma once
// The shared data module of the beneficiaries registry (suppliers and recipients, companies or
// persons): every dataset of the registry with its statements, the owner keys and computed values
// each statement is given, the recognition of a person already on file, and the localities
// (municipality, postcode, hamlet) of the addresses.
//
// The registry's windows and frames only show these datasets and post them. Rows of the
// beneficiary and of its own lists are retired by their DDELETE time, never deleted: the lists leave
// them out. Delegates and payees of an account, and the types of a seat, are deleted for good.
#include "VoKIE.h"
#include "VoQueryCollection.h"

#include <QList>
#include <QObject>
#include <QString>

class TVoSQLConnection;

// The current beneficiary, as the beneficiary frame shows it; the module writes the keys of the rows
// a post creates into it.
struct TBenType {
    int iBenId = 0;
    // -1 when the beneficiary has no person row.
    int iAnaId = 0;
    // The frame's kind is "Fisica".
    bool IsPerson = false;
    // The tax code typed in the frame, trimmed.
    QString sBenCodFiscale;
    // The detail tab shown (0 seats ... 8 certificates): which lists RefreshBenDetails reopens.
    quint8 DetailTab = 0;
};

// A locality and the row that owns it. An id of -1 is still to be found or created.
struct TComCapFraType {
    int iOwnerId = -1;
    int iComCapId = -1;
    int iSrpcId = -1;
    int iCapId = -1;
    QString sCapValue;
    int iFraQuaId = -1;
    QString sFraQuaDesc;
};

extern TBenType BenType;
// The locality of the current seat (owner: the seat) and of the current payee (owner: the bank data).
extern TComCapFraType SeatComCapFra;
extern TComCapFraType PayeeComCapFra;

// Statements of the beneficiaries list, by the kinds the beneficiary frame knows.
enum TBenStatementsKind {
    bskLegalEntity,
    bskPerson,
    // A legal entity saved as a person: its person row is created and linked.
    bskEntityToPerson,
};

extern const char *const kAnaInsertSQL;
extern const char *const kAnaUpdateSQL;
extern const char *const kBenInsertSQL;
extern const char *const kBenUpdateSQL;
extern const char *const kBenBcaInsertSQL;
extern const char *const kBenBcaUpdateSQL;
extern const char *const kAnaCagInsertSQL;
// The first seat of a new person: the person's current dwelling, as reference seat.
extern const char *const kFirstSeatSQL;
// Publishers' category (%1: 3 publisher, 4 not) added to both lists in publishers mode.
extern const char *const kEditoreInsertSQL;
extern const char *const kEditoreUpdateSQL;
// The bank data of a beneficiary (:IBENID), with payment method, bank and branch.
extern const char *const kDatiBancariSQL;

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

    TKIEAnaIoccGen AnaCCIO;
    TKIENormalizeString AnaNormString;
    TKIEFilterString AnaFilterString;

    // The registry lists publishers (a mode of the durable-goods program's book registers).
    bool BenPublishersMode = false;
    // Amounts of the registry shown with the currency format.
    bool AmountFormat = false;
    // The seat being saved becomes the beneficiary's reference seat.
    bool BenReferenceSeat = false;

    // Binds every dataset to a connection, in the order the menu does.
    void BindConnection(TVoSQLConnection *connection);
    // The datasets in binding order.
    QList<TVoQueryCollection *> DataSets() const;

    // Fills the insert and update lists of the beneficiaries for a kind; publisher is the frame's
    // "Editore" (read in publishers mode only).
    void FillBeneficiariStatements(TBenStatementsKind kind, bool publisher = false);

    // Reopens, for the current beneficiary, the lists of the detail tab in BenType.
    void RefreshBenDetails();
    void CloseBenDetails();

    // Finds or creates, in one transaction, the hamlet, postcode and locality of the record's
    // municipality, postcode and hamlet, and writes their ids into it. A record whose three parts
    // are blank names no locality (ids -1). A database error is shown and the result is false, the
    // record unchanged.
    bool GetOrAddComCap(TComCapFraType &locality);
    // Each -1 when nothing live matches; a blank value matches nothing.
    int FindFraQua(const QString &description);
    int FindCap(const QString &value);
    // An id of -1 matches an empty column.
    int FindComCap(int srpcId, int capId, int fraQuaId);
    int InsertFraQua(const QString &description);
    int InsertCap(const QString &value);
    int InsertComCap(int srpcId, int capId, int fraQuaId);

    // A new key for a table.
    int SetGetId(const QString &table);

    // Whether the user confirms that a person on file with this control code is the one being
    // entered; then BenType names that person and its tax code.
    bool FindSamePerson(int controlCode);

private:
    void SetStatements();
    void HookEvents();
    // The current beneficiary's key (-1 when there is none).
    int CurrentBenId() const;
    void ReopenWith(TVoQueryCollection *collection, const char *param, int value);
    void ReopenPaymentDetails();

    void xqcBeneficiariBeforePost();
    void xqcBeneficiariVoBeforeExec(TVoQueryProp &prop, bool &allow);
    void xqcBeneficiariVoAfterExec(const TVoQueryProp &prop);
    void xqcDatiBancariBeforePost();
    void xqcSediAfterScroll();
    void xqcSediVoBeforeExec(TVoQueryProp &prop);
    void xqcRappresentantiVoAfterExec(const TVoQueryProp &prop);
    void xqcQuietanzanteAfterScroll();

    // What a post of the beneficiaries decided before its transaction, and the beneficiary as the
    // statements of the running write see it (BenType once the post succeeds).
    struct TBenPost {
        bool skipPerson = false;
        int controlCode = 0;
        QVariant dEnd;
        TBenType current;
    } m_post;
    int m_lastRemovedRepresentative = -1;
};

extern TdmBeneficiari *dmBeneficiari;
