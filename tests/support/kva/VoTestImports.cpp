#include "VoTestImports.h"

#include "AbcUContext.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestSchool.h"
#include "kvaUUtil.h"

namespace {

QVariant IdOrNull(int id) {
    return id > 0 ? QVariant(id) : VoNull(QMetaType::Int);
}

QVariant TextOrNull(const QString &text) {
    return text.isNull() ? VoNull(QMetaType::QString) : QVariant(text);
}

} // namespace

int VoTestGoodsEntry(const QString &codeDesc, int category, int *merId) {
    const int mer = VoTestNewKey(QStringLiteral("TMER_CODICIMERCEOL"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE, SMERDESC) VALUES (:m, :c, :d)"),
        {{QStringLiteral("m"), mer},
         {QStringLiteral("c"), QStringLiteral("T%1").arg(mer)},
         {QStringLiteral("d"), codeDesc}});
    if (category > 0)
        VoExecSQL(
            QStringLiteral("INSERT INTO TCFM_CATEGFACMERCE (ICFMID, ICAFID, IMERID) VALUES (:i, :c, :m)"),
            {{QStringLiteral("i"), VoTestNewKey(QStringLiteral("TCFM_CATEGFACMERCE"))},
             {QStringLiteral("c"), category},
             {QStringLiteral("m"), mer}});
    const int entry = VoTestNewKey(QStringLiteral("TCAE_CATEGMERCE"));
    VoExecSQL(QStringLiteral("INSERT INTO TCAE_CATEGMERCE (ICAEID, ICAMID, IMERID) VALUES (:i, 1, :m)"),
              {{QStringLiteral("i"), entry}, {QStringLiteral("m"), mer}});
    if (merId)
        *merId = mer;
    return entry;
}

int VoTestMarkedVoucher(bool inventory, int number, const QDate &date, const QString &marker) {
    if (!inventory) {
        const int id = VoTestNewKey(QStringLiteral("TBBUO_BUONI"));
        VoExecSQL(QStringLiteral(
                      "INSERT INTO TBBUO_BUONI (IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, SBBUODESC, "
                      "IBBUOTIPO, SBBUOAPPLSCARICO) VALUES (:i, :y, :n, :d, :s, 1, :m)"),
                  {{QStringLiteral("i"), id},
                   {QStringLiteral("y"), ParamRegisterYearId()},
                   {QStringLiteral("n"), number},
                   {QStringLiteral("d"), date},
                   {QStringLiteral("s"), QStringLiteral("Scarico %1").arg(number)},
                   {QStringLiteral("m"), marker}});
        return id;
    }
    const int inv = VoTestNewKey(QStringLiteral("TINV_INVENTARI"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TINV_INVENTARI (IINVID, SINVDESC) VALUES (:i, 'Inventario generale')"),
        {{QStringLiteral("i"), inv}});
    const int school = VoTestNewKey(QStringLiteral("TDWGINV"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TDWGINV (IDWGINVID, IDWGID, IINVID) VALUES (:i, :d, :v)"),
        {{QStringLiteral("i"), school}, {QStringLiteral("d"), DemoSchoolId()}, {QStringLiteral("v"), inv}});
    const int year = VoTestNewKey(QStringLiteral("TDWGINVANF"));
    VoExecSQL(QStringLiteral("INSERT INTO TDWGINVANF (IDWGINVANFID, IDWGINVID, IANFID) VALUES (:i, :s, :a)"),
              {{QStringLiteral("i"), year},
               {QStringLiteral("s"), school},
               {QStringLiteral("a"), CurrentRegYearId}});
    const int id = VoTestNewKey(QStringLiteral("TBUO_BUONI"));
    VoExecSQL(QStringLiteral(
                  "INSERT INTO TBUO_BUONI (IBUOID, IDWGINVANFID, IBUONUMERO, DBUODATA, SBUODESC, IBUOTIPO, "
                  "SBUOAPPLSCARICO) VALUES (:i, :y, :n, :d, :s, 1, :m)"),
              {{QStringLiteral("i"), id},
               {QStringLiteral("y"), year},
               {QStringLiteral("n"), number},
               {QStringLiteral("d"), date},
               {QStringLiteral("s"), QStringLiteral("Scarico %1").arg(number)},
               {QStringLiteral("m"), marker}});
    return id;
}

void VoTestHandedGood(bool inventory, int voucherId, const TVoTestHandedGood &good) {
    const QVariantHash values = {{QStringLiteral("v"), voucherId},
                                 {QStringLiteral("d"), TextOrNull(good.desc)},
                                 {QStringLiteral("a"), good.amount},
                                 {QStringLiteral("e"), IdOrNull(good.entry)},
                                 {QStringLiteral("s"), IdOrNull(good.sector)},
                                 {QStringLiteral("f"), IdOrNull(good.site)},
                                 {QStringLiteral("l"), IdOrNull(good.location)},
                                 {QStringLiteral("n"), TextOrNull(good.note)},
                                 {QStringLiteral("t"), TextOrNull(good.title)},
                                 {QStringLiteral("u"), TextOrNull(good.author)},
                                 {QStringLiteral("p"), TextOrNull(good.publisher)}};
    QVariantHash withKey = values;
    if (inventory) {
        withKey.insert(QStringLiteral("i"), VoTestNewKey(QStringLiteral("TINB_BENI")));
        VoExecSQL(QStringLiteral(
                      "INSERT INTO TINB_BENI (IINBID, IBUOID, IBUOIDSCARICO, SINBDESC, IINBIMPORTO, ICAEID, "
                      "ISECID, ISEDINFID, ICLCID, SINBNOTE, SINBLIBTITOLO, SINBLIBAUTORE, SINBLIBEDITORE) "
                      "VALUES (:i, :v, :v, :d, :a, :e, :s, :f, :l, :n, :t, :u, :p)"),
                  withKey);
        return;
    }
    withKey.insert(QStringLiteral("i"), VoTestNewKey(QStringLiteral("TBINB_BENI")));
    VoExecSQL(QStringLiteral(
                  "INSERT INTO TBINB_BENI (IBINBID, IBBUOID, IBBUOIDSCARICO, SBINBDESC, IBINBIMPORTO, "
                  "ICAEID, IAVAID, ISECID, ISEDINFID, ICLCID, SBINBNOTE, SBINBLIBTITOLO, SBINBLIBAUTORE, "
                  "SBINBLIBEDITORE) VALUES (:i, :v, :v, :d, :a, :e, 3, :s, :f, :l, :n, :t, :u, :p)"),
              withKey);
}
