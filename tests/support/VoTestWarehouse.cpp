#include "VoTestWarehouse.h"

#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestSchool.h"

namespace {

QVariant IdOrNull(int id) {
    return id > 0 ? QVariant(id) : VoNull(QMetaType::Int);
}

} // namespace

int VoTestWarehouseArticle(const QString &desc, int merId, const QVariant &factor, qint64 initialCost,
                           int year) {
    const int article = VoTestNewKey(QStringLiteral("TART_ARTICOLI"));
    VoExecSQL(QStringLiteral(
                  "INSERT INTO TART_ARTICOLI (IARTID, SARTCOD, SARTDESCS, IMERID) VALUES (:i, :c, :d, :m)"),
              {{QStringLiteral("i"), article},
               {QStringLiteral("c"), QStringLiteral("W%1").arg(article)},
               {QStringLiteral("d"), desc},
               {QStringLiteral("m"), merId}});
    VoExecSQL(QStringLiteral("INSERT INTO TGIA_GIACENZE (IGIAID, IDWGID, IGIAESERCIZIOFIN, IARTID, IUNMID, "
                             "FGIACOSTOUNIINIZ) VALUES (:i, :d, :y, :a, :u, :c)"),
              {{QStringLiteral("i"), VoTestNewKey(QStringLiteral("TGIA_GIACENZE"))},
               {QStringLiteral("d"), DemoSchoolId()},
               {QStringLiteral("y"), year},
               {QStringLiteral("a"), article},
               {QStringLiteral("u"), VoTestUnit(factor, QStringLiteral("U%1").arg(article))},
               {QStringLiteral("c"), initialCost < 0 ? VoNull(QMetaType::LongLong) : QVariant(initialCost)}});
    return article;
}

int VoTestMovement(int type, const QDate &date, const QString &code, int parent, int supplier, int year) {
    const int movement = VoTestNewKey(QStringLiteral("TMGM_MOVMAGAZZINO"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, IMGMID_P, IDWGID, ITBUID, IBENID, SMGMCOD, "
                       "SMGMDESCS, DMGMDATAMOVIMENTO, IMGMESERCIZIOFIN) VALUES (:i, :p, :d, :t, :b, :c, :s, "
                       ":dt, :y)"),
        {{QStringLiteral("i"), movement},
         {QStringLiteral("p"), IdOrNull(parent)},
         {QStringLiteral("d"), DemoSchoolId()},
         {QStringLiteral("t"), type},
         {QStringLiteral("b"), IdOrNull(supplier)},
         {QStringLiteral("c"), code},
         {QStringLiteral("s"), QStringLiteral("Movimento %1").arg(code)},
         {QStringLiteral("dt"), date},
         {QStringLiteral("y"), year}});
    return movement;
}

int VoTestMovementRow(int movement, int article, double quantity, qint64 unitAmount, int vatRate,
                      qint64 average, int linkedRow) {
    const int row = VoTestNewKey(QStringLiteral("TMGMART"));
    VoExecSQL(QStringLiteral(
                  "INSERT INTO TMGMART (IMGMARTID, IMGMID, IMGMARTID_P, IARTID, IALVID, FMGMARTQUANTITA, "
                  "FMGMARTIMPORTOUNI, FMGMARTIMPUNIMEDIO) VALUES (:i, :m, :p, :a, :v, :q, :u, :avg)"),
              {{QStringLiteral("i"), row},
               {QStringLiteral("m"), movement},
               {QStringLiteral("p"), IdOrNull(linkedRow)},
               {QStringLiteral("a"), article},
               {QStringLiteral("v"), vatRate},
               {QStringLiteral("q"), quantity},
               {QStringLiteral("u"), unitAmount},
               {QStringLiteral("avg"), average < 0 ? VoNull(QMetaType::LongLong) : QVariant(average)}});
    return row;
}
