#include "VoTestRegistries.h"

#include "VoQuery.h"
#include "VoTestData.h"

namespace {

QVariant IdOrNull(int id) {
    return id > 0 ? QVariant(id) : VoNull(QMetaType::Int);
}

} // namespace

int VoTestBeneficiary(const QString &name, const QVariant &personId) {
    const int id = VoTestNewKey(QStringLiteral("TBEN_BENEFICIARI"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, IANAID, SBENRAGSOC) VALUES (:id, :ana, :name)"),
        {{QStringLiteral("id"), id},
         {QStringLiteral("ana"), personId.isValid() ? personId : VoNull(QMetaType::Int)},
         {QStringLiteral("name"), name}});
    return id;
}

int VoTestPlace(const QString &municipality) {
    return VoSelectValue(QStringLiteral("SELECT MIN(ISRPCID) FROM VSRPC WHERE SCOMDESC = :c"),
                         {{QStringLiteral("c"), municipality}})
        .toInt();
}

int VoTestBank(const QString &abi, int placeId, const QString &description) {
    const int id = VoTestNewKey(QStringLiteral("TBAN_BANCHE"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TBAN_BANCHE (IBANID, ISRPCID, SBANABI, SBANDESCS, DSTART) VALUES "
                       "(:id, :place, :abi, :descr, CURRENT_DATE)"),
        {{QStringLiteral("id"), id},
         {QStringLiteral("place"), IdOrNull(placeId)},
         {QStringLiteral("abi"), abi},
         {QStringLiteral("descr"), description.isEmpty() ? QStringLiteral("BANCA ") + abi : description}});
    return id;
}

int VoTestBranch(int bankId, const QString &cab, int placeId) {
    const int id = VoTestNewKey(QStringLiteral("TSPR_SPORTELLICAB"));
    VoExecSQL(QStringLiteral("INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, ISRPCID, SSPRCAB, SSPRDESCS, "
                             "DSTART) VALUES (:id, :bank, :place, :cab, :descr, CURRENT_DATE)"),
              {{QStringLiteral("id"), id},
               {QStringLiteral("bank"), bankId},
               {QStringLiteral("place"), IdOrNull(placeId)},
               {QStringLiteral("cab"), cab},
               {QStringLiteral("descr"), QStringLiteral("SPORTELLO ") + cab}});
    return id;
}

int VoTestBankData(int benId, int paymentMethod, int branchId, const QString &account) {
    const int id = VoTestNewKey(QStringLiteral("TSPRBEN"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TSPRBEN (ISPRBENID, IBENID, IMPGID, ISPRID, SSPRBENNUMCC, DSTART) "
                       "VALUES (:id, :ben, :method, :branch, :account, CURRENT_DATE)"),
        {{QStringLiteral("id"), id},
         {QStringLiteral("ben"), benId},
         {QStringLiteral("method"), IdOrNull(paymentMethod)},
         {QStringLiteral("branch"), IdOrNull(branchId)},
         {QStringLiteral("account"), account.isNull() ? VoNull(QMetaType::QString) : QVariant(account)}});
    return id;
}

int VoTestForeignPlace(const QString &city, int stateId) {
    const int municipality = VoTestNewKey(QStringLiteral("TCOM_COMUNI"));
    VoExecSQL(QStringLiteral("INSERT INTO TCOM_COMUNI (ICOMID, SCOMDESC, DSTART) VALUES (:id, :city, "
                             "'0001-01-01')"),
              {{QStringLiteral("id"), municipality}, {QStringLiteral("city"), city}});
    const int place = VoTestNewKey(QStringLiteral("TSRPC"));
    VoExecSQL(QStringLiteral("INSERT INTO TSRPC (ISRPCID, ISTAID, IPROID, ICOMID, DSTART) VALUES (:id, "
                             ":state, 20000, :com, '0001-01-01')"),
              {{QStringLiteral("id"), place},
               {QStringLiteral("state"), stateId},
               {QStringLiteral("com"), municipality}});
    return place;
}

int VoTestPerson(const QString &surname, const QString &name, const QDate &born, const QString &taxCode,
                 int placeId) {
    const int id = VoTestNewKey(QStringLiteral("TANA_ANAGRAFICHE"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, SANANOME, DANANASCITA, "
                       "SANACODFISCALE, ISRPCID, SANACOGNOMENOMEIDX) VALUES (:id, :surname, :name, :born, "
                       ":tax, :place, :idx)"),
        {{QStringLiteral("id"), id},
         {QStringLiteral("surname"), surname},
         {QStringLiteral("name"), name},
         {QStringLiteral("born"), born},
         {QStringLiteral("tax"), taxCode.isEmpty() ? VoNull(QMetaType::QString) : QVariant(taxCode)},
         {QStringLiteral("place"), IdOrNull(placeId)},
         {QStringLiteral("idx"), surname + name}});
    return id;
}
