#include "VoTestSchool.h"

#include "VoDates.h"
#include "VoQuery.h"
#include "VoTestData.h"

int DemoSchoolId() {
    return VoSelectValue(QStringLiteral("SELECT MIN(IDWGID) FROM TDOW_DATAOWNER")).toInt();
}

int YearId(int yearValue) {
    return VoSelectValue(QStringLiteral("SELECT IANFID FROM TANF_ANNIFINANZ WHERE IANFVALORE = :v"),
                         {{QStringLiteral("v"), yearValue}})
        .toInt();
}

int MakeFinancialYear(int yearValue, double start, double end) {
    const int id = VoTestNewKey(QStringLiteral("TANF_ANNIFINANZ"));
    TVoQuery q(
        QStringLiteral("INSERT INTO TANF_ANNIFINANZ (IANFID, IANFVALORE, DANFVOREXINIZIO, DANFVOREXFINE) "
                       "VALUES (:id, :v, :s, :e)"));
    q.SetParam(QStringLiteral("id"), id).SetParam(QStringLiteral("v"), yearValue);
    q.SetParamDate(QStringLiteral("s"), start).SetParamDate(QStringLiteral("e"), end);
    q.Exec();
    return id;
}

TVoTestRegister MakeRegister(const QString &desc, int type, int numbering, int vatIncluded) {
    TVoTestRegister r;
    r.facId = VoTestNewKey(QStringLiteral("TFAC_VELISTO"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TFAC_VELISTO (IFACID, SFACDESC, ITFCID, IFACNUMERAZ, IFACIVAINCLUSA) "
                       "VALUES (:id, :d, :t, :n, :v)"),
        {{QStringLiteral("id"), r.facId},
         {QStringLiteral("d"), desc},
         {QStringLiteral("t"), type},
         {QStringLiteral("n"), numbering},
         {QStringLiteral("v"), vatIncluded}});
    r.schoolRegId = VoTestNewKey(QStringLiteral("TDWGFAC"));
    VoExecSQL(QStringLiteral("INSERT INTO TDWGFAC (IDWGFACID, IDWGID, IFACID) VALUES (:id, :s, :f)"),
              {{QStringLiteral("id"), r.schoolRegId},
               {QStringLiteral("s"), DemoSchoolId()},
               {QStringLiteral("f"), r.facId}});
    return r;
}

int OpenRegisterYear(int schoolRegId, int yearValue, double start, double end) {
    const int id = VoTestNewKey(QStringLiteral("TDWGFACANF"));
    TVoQuery q(QStringLiteral("INSERT INTO TDWGFACANF (IDWGFACANFID, IDWGFACID, IANFID, DDWGFACANFINIZIO, "
                              "DDWGFACANFFINE) VALUES (:id, :df, :anf, :s, :e)"));
    q.SetParam(QStringLiteral("id"), id)
        .SetParam(QStringLiteral("df"), schoolRegId)
        .SetParam(QStringLiteral("anf"), YearId(yearValue));
    q.SetParamDate(QStringLiteral("s"), start).SetParamDate(QStringLiteral("e"), end);
    q.Exec();
    return id;
}

int DemoRegisterYear(int yearValue) {
    return VoSelectValue(
               QStringLiteral("SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa INNER JOIN TANF_ANNIFINANZ a "
                              "ON a.IANFID = dfa.IANFID INNER JOIN TDWGFAC df ON df.IDWGFACID = "
                              "dfa.IDWGFACID INNER JOIN TFAC_VELISTO f ON f.IFACID = df.IFACID WHERE "
                              "a.IANFVALORE = :v AND f.SFACDESC = 'Facile consumo'"),
               {{QStringLiteral("v"), yearValue}})
        .toInt();
}
