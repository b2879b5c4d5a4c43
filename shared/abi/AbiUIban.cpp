#include "AbiUIban.h"

#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTransaction.h"

// A deleted bank or branch is never taken again: the lists of the bank data hide it, so a row
// pointing to it could be neither shown nor saved.
const char *const kFindBankSQL = "SELECT BAN.IBANID FROM TBAN_BANCHE BAN WHERE BAN.SBANABI = :ABI AND "
                                 "BAN.DDELETE IS NULL ORDER BY BAN.IBANID";
const char *const kAddBankSQL =
    " INSERT INTO TBAN_BANCHE (IBANID, ICBAID, ISRPCID, SBANABI,                  SBANDESCL, SBANDESCS, "
    "DSTART)               VALUES (:id, NULL, NULL, :ABI,  NULL, :DESC, CURRENT_DATE)    ";
const char *const kFindBranchSQL =
    "SELECT CAB.ISPRID FROM TSPR_SPORTELLICAB CAB WHERE CAB.SSPRCAB = :CAB AND CAB.IBANID = :ABI AND "
    "CAB.DDELETE IS NULL ORDER BY CAB.ISPRID";
const char *const kAddBranchSQL =
    " INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, ISRPCID,     SSPRCAB, SSPRDESCL, SSPRDESCS, "
    "SSPRINDIRIZZO, DSTART, DEND, DDELETE, ILOCKED)                                           VALUES "
    "(:ID, :ABI, NULL, :CAB, NULL, :DESC, NULL,            CURRENT_DATE, NULL, NULL, NULL)             ";

namespace {

// The first row's id of a lookup, or a new row made with a new id and a description.
int FindOrAdd(const char *findSQL, const QVariantHash &keys, const QString &table, const char *addSQL,
              const QString &idParam, const QString &description, bool &added) {
    const QVariant found = VoSelectValue(QString::fromLatin1(findSQL), keys);
    added = !found.isValid();
    if (!added)
        return found.toInt();
    const int id = VoNewId(table);
    QVariantHash values = keys;
    values.insert(idParam, id);
    values.insert(QStringLiteral("DESC"), description);
    VoExecSQL(QString::fromLatin1(addSQL), values);
    return id;
}

} // namespace

TIBAN *GlobalIBAN() {
    static TIBAN calculator = [] {
        auto bban = std::make_unique<TItalianBBAN>();
        bban->SetNormalize(true);
        return TIBAN(std::move(bban));
    }();
    return &calculator;
}

QString CalcIBAN(const QString &abi, const QString &cab, const QString &account) {
    TIBAN *calculator = GlobalIBAN();
    calculator->SetValid(false);
    calculator->DomesticBBAN()->SetBank(abi);
    calculator->DomesticBBAN()->SetBranch(cab);
    calculator->DomesticBBAN()->SetAccount(account);
    return calculator->IBan();
}

bool IsValidIBAN(const QString &text) {
    return GlobalIBAN()->Validate(text);
}

int GetOrAddBank(const QString &abi, bool &added) {
    return FindOrAdd(kFindBankSQL, {{QStringLiteral("ABI"), abi}}, QStringLiteral("TBAN_BANCHE"), kAddBankSQL,
                     QStringLiteral("id"), QStringLiteral("BANCA ABI ") + abi, added);
}

int GetOrAddBranch(const QString &cab, int bankId, bool &added) {
    return FindOrAdd(kFindBranchSQL, {{QStringLiteral("CAB"), cab}, {QStringLiteral("ABI"), bankId}},
                     QStringLiteral("TSPR_SPORTELLICAB"), kAddBranchSQL, QStringLiteral("ID"),
                     QStringLiteral("Agenzia ") + cab, added);
}

bool DecodeIBAN(const QString &text, int &bankId, int &branchId) {
    if (!IsValidIBAN(text))
        return false;
    const QString abi = GlobalIBAN()->DomesticBBAN()->Bank();
    const QString cab = GlobalIBAN()->DomesticBBAN()->Branch();
    bool bankAdded = false;
    bool branchAdded = false;
    TVoTransaction transaction;
    transaction.StartTransaction();
    const int bank = GetOrAddBank(abi, bankAdded);
    const int branch = GetOrAddBranch(cab, bank, branchAdded);
    transaction.Commit();
    bankId = bank;
    branchId = branch;
    if (bankAdded || branchAdded) {
        QString message = QStringLiteral("Attenzione!!!\r\n");
        if (bankAdded)
            message += QStringLiteral("E' stata aggiunta una nuova Banca con l'ABI: ") + abi +
                       QStringLiteral(".") + QStringLiteral("\r\n") +
                       QStringLiteral("Controllare i dati della Banca nella sezzione \"BANCHE\".") +
                       QStringLiteral("\r\n");
        if (branchAdded)
            message += QStringLiteral("E' stato aggiunto un nuova Sportello con il CAB: ") + cab +
                       QStringLiteral(",") + QStringLiteral(" per la banca ABI: ") + abi +
                       QStringLiteral(".") + QStringLiteral("\r\n") +
                       QStringLiteral("Controllare i dati dello Sportello nella sezzione \"BANCHE\".");
        VoMessageDlg(message, mtInformation, mbOK);
    }
    return true;
}
