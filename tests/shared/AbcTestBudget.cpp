#include "AbcTestBudget.h"

#include "AbcMVpro.h"
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTestData.h"
#include "VoTestRegisters.h"
#include "VoWidgetTest.h"
#include "kvaUUtil.h"

#include <QWidget>

namespace {

QVariant DateOrNull(const QDate &date) {
    return date.isValid() ? QVariant(date) : VoNull(QMetaType::QDate);
}

QVariant DeletedAt(bool deleted) {
    return deleted ? QVariant(QDateTime(QDate(2024, 6, 1), QTime(10, 0))) : VoNull(QMetaType::QDateTime);
}

QVariant IdOrNull(int id) {
    return id > 0 ? QVariant(id) : VoNull(QMetaType::Int);
}

int Insert(const QString &table, const QString &sql, QVariantHash params) {
    const int id = VoTestNewKey(table);
    params.insert(QStringLiteral("id"), id);
    VoExecSQL(sql, params);
    return id;
}

QVariantHash Common(const TBudgetRow &row) {
    return {{QStringLiteral("school"), row.school.isValid() ? row.school : VoNull(QMetaType::Int)},
            {QStringLiteral("start"), DateOrNull(row.start)},
            {QStringLiteral("end"), DateOrNull(row.end)},
            {QStringLiteral("del"), DeletedAt(row.deleted)},
            {QStringLiteral("cor"), row.corId}};
}

} // namespace

TBudgetRow BudgetRow(const QVariant &school, const QDate &start, const QDate &end, bool deleted) {
    TBudgetRow row;
    row.school = school;
    row.start = start;
    row.end = end;
    row.deleted = deleted;
    return row;
}

int TestAggregate(const QString &code, int cashFlow, const TBudgetRow &row, int totalType) {
    QVariantHash params = Common(row);
    params.remove(QStringLiteral("cor"));
    params.insert(QStringLiteral("code"), code);
    params.insert(QStringLiteral("fls"), cashFlow);
    params.insert(QStringLiteral("tito"), totalType);
    return Insert(
        QStringLiteral("TAGG_AGGREGATI"),
        QStringLiteral("INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, "
                       "ITITOID, DSTART, DEND, DDELETE) VALUES (:id, :school, :code, 'Aggregato ' || "
                       ":code, :fls, :tito, :start, :end, :del)"),
        params);
}

int TestItem(int aggregateId, const QString &code, const TBudgetRow &row) {
    QVariantHash params = Common(row);
    params.insert(QStringLiteral("agg"), aggregateId);
    params.insert(QStringLiteral("code"), code);
    return Insert(
        QStringLiteral("TVPRO_VOCIPROGETTI"),
        QStringLiteral("INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, ICORID, IAGGID, IDWGID, SVPROCOD, "
                       "SVPRODESCS, DSTART, DEND, DDELETE) VALUES (:id, :cor, :agg, :school, :code, "
                       "'Voce ' || :code, :start, :end, :del)"),
        params);
}

int TestSubItem(int itemId, const QString &code, const TBudgetRow &row) {
    QVariantHash params = Common(row);
    params.insert(QStringLiteral("item"), itemId);
    params.insert(QStringLiteral("code"), code);
    return Insert(
        QStringLiteral("TSVO_SOTTOVOCI"),
        QStringLiteral("INSERT INTO TSVO_SOTTOVOCI (ISVOID, ICORID, IDWGID, IVPROID, SSVODESCS, "
                       "SSVODESCL, DSTART, DEND, DDELETE) VALUES (:id, :cor, :school, :item, :code, "
                       "'Sottovoce ' || :code, :start, :end, :del)"),
        params);
}

int TestModel(int itemId, int schoolId, int yearValue, bool deleted) {
    return Insert(QStringLiteral("TMPR_MODPROGETTI"),
                  QStringLiteral("INSERT INTO TMPR_MODPROGETTI (IMPRID, IVPROID, IDWGID, IMPRESERCIZIOFIN, "
                                 "DDELETE) VALUES (:id, :item, :school, :year, :del)"),
                  {{QStringLiteral("item"), IdOrNull(itemId)},
                   {QStringLiteral("school"), schoolId},
                   {QStringLiteral("year"), yearValue},
                   {QStringLiteral("del"), DeletedAt(deleted)}});
}

int TestApproval(int modelId, int locked, bool deleted) {
    return Insert(
        QStringLiteral("TAPR_APPPROGETTI"),
        QStringLiteral("INSERT INTO TAPR_APPPROGETTI (IAPRID, IMPRID, ILOCKED, DDELETE) VALUES (:id, "
                       ":model, :locked, :del)"),
        {{QStringLiteral("model"), modelId},
         {QStringLiteral("locked"), locked},
         {QStringLiteral("del"), DeletedAt(deleted)}});
}

int TestAmount(int modelId, int itemId, int subItemId, int aggregateId, bool deleted) {
    return Insert(
        QStringLiteral("TVOI_VOCIIMPORTI"),
        QStringLiteral("INSERT INTO TVOI_VOCIIMPORTI (IVOIID, IMPRID, IVPROID, ISVOID, IAGGID, DDELETE) "
                       "VALUES (:id, :model, :item, :sub, :agg, :del)"),
        {{QStringLiteral("model"), modelId},
         {QStringLiteral("item"), IdOrNull(itemId)},
         {QStringLiteral("sub"), IdOrNull(subItemId)},
         {QStringLiteral("agg"), IdOrNull(aggregateId)},
         {QStringLiteral("del"), DeletedAt(deleted)}});
}

void AbcBudgetTest::SetUp() {
    VoDbTest::SetUp();
    kva::ResetWorkingContext();
    dmVproDBQuery = new TdmVproDBQuery;
    dmVproDBQuery->BindConnection(conn.get());
    CashFlow = 2;
    TotalType = 1;
    school = DemoSchoolId();
    ChooseYear(2026);
}

void AbcBudgetTest::TearDown() {
    delete dmVproDBQuery;
    dmVproDBQuery = nullptr;
    xgvmGlobalVar.Clear();
    kva::ResetWorkingContext();
    VoDbTest::TearDown();
}

void AbcBudgetTest::ChooseYear(int yearValue) {
    ChooseRegisterYear(DemoRegisterYear(yearValue));
}

void AbcBudgetTest::Reactivate(QWidget *window) {
    QWidget other;
    VoShowActive(&other);
    other.close();
    VoShowActive(window);
}

QString AbcBudgetTest::Listed(TVoQueryCollection *collection, const QString &field) {
    QStringList values;
    for (collection->First(); !collection->Eof(); collection->Next())
        values << collection->FieldByName(field)->AsString();
    return values.join(QLatin1Char('|'));
}
