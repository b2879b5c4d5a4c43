#include "VoTestData.h"

#include "VoExceptions.h"
#include "VoQuery.h"

namespace {

QVariant IdOrNull(int id) {
    return id > 0 ? QVariant(id) : VoNull(QMetaType::Int);
}

int Required(const QVariant &value, const QString &what) {
    if (!value.isValid() || value.isNull())
        throw EVoError(QStringLiteral("dati di prova: %1 non trovato").arg(what));
    return value.toInt();
}

} // namespace

int VoTestNewKey(const QString &table) {
    return VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID(:sTable, 1)"),
                         {{QStringLiteral("sTable"), table}})
        .toInt();
}

void VoTestXmlDefinition(const QString &list, const QString &code, const QString &xml) {
    VoExecSQL(QStringLiteral("INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, BYXARXMLFILE) "
                             "SELECT :id, IYXLSID, :c, :x FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = :l"),
              {{QStringLiteral("id"), VoTestNewKey(QStringLiteral("TYXAR_XMLARCHIVIO"))},
               {QStringLiteral("c"), code},
               {QStringLiteral("x"), xml},
               {QStringLiteral("l"), list}});
}

int VoTestRegisterYear(int year) {
    return Required(
        VoSelectValue(QStringLiteral("SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa "
                                     "INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID "
                                     "INNER JOIN TANF_ANNIFINANZ anf ON anf.IANFID = dfa.IANFID "
                                     "WHERE df.IFACID = :iFacId AND anf.IANFVALORE = :anno"),
                      {{QStringLiteral("iFacId"), VoTestRegister()}, {QStringLiteral("anno"), year}}),
        QStringLiteral("anno %1").arg(year));
}

int VoTestRegister() {
    return Required(VoSelectValue(QStringLiteral(
                        "SELECT MIN(IFACID) FROM TFAC_VELISTO WHERE SFACDESC = 'Facile consumo'")),
                    QStringLiteral("registro"));
}

void VoTestSetRegisterOptions(int registerId, int numbering, const QVariant &vatIncluded) {
    VoExecSQL(
        QStringLiteral("UPDATE TFAC_VELISTO SET IFACNUMERAZ = :n, IFACIVAINCLUSA = :iva WHERE IFACID = :id"),
        {{QStringLiteral("n"), numbering},
         {QStringLiteral("iva"), vatIncluded.isNull() ? VoNull(QMetaType::Int) : vatIncluded},
         {QStringLiteral("id"), registerId}});
}

int VoTestOtherRegisterYear(const QString &description, int year) {
    return VoTestOpenRegister(description, 1, {year}).value(0);
}

QList<int> VoTestOpenRegister(const QString &description, int type, const QList<int> &years, int *facId) {
    const int registerId = VoTestNewKey(QStringLiteral("TFAC_VELISTO"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TFAC_VELISTO (IFACID, SFACDESC, ITFCID, IFACNUMERAZ, IFACIVAINCLUSA) "
                       "VALUES (:id, :desc, :tipo, 1, 0)"),
        {{QStringLiteral("id"), registerId},
         {QStringLiteral("desc"), description},
         {QStringLiteral("tipo"), type}});
    const int dwgFacId = VoTestNewKey(QStringLiteral("TDWGFAC"));
    VoExecSQL(QStringLiteral("INSERT INTO TDWGFAC (IDWGFACID, IDWGID, IFACID) "
                             "SELECT :id, MIN(IDWGID), :iFacId FROM TDOW_DATAOWNER"),
              {{QStringLiteral("id"), dwgFacId}, {QStringLiteral("iFacId"), registerId}});
    QList<int> registerYears;
    for (int year : years) {
        const int dwgFacAnfId = VoTestNewKey(QStringLiteral("TDWGFACANF"));
        VoExecSQL(
            QStringLiteral("INSERT INTO TDWGFACANF (IDWGFACANFID, IDWGFACID, IANFID) "
                           "SELECT :id, :iDwgFacId, IANFID FROM TANF_ANNIFINANZ WHERE IANFVALORE = :anno"),
            {{QStringLiteral("id"), dwgFacAnfId},
             {QStringLiteral("iDwgFacId"), dwgFacId},
             {QStringLiteral("anno"), year}});
        registerYears << dwgFacAnfId;
    }
    if (facId)
        *facId = registerId;
    return registerYears;
}

int VoTestSector(const QString &code) {
    return Required(VoSelectValue(QStringLiteral("SELECT ISECID FROM TSEC_SETTCONS WHERE SSECCOD = :cod"),
                                  {{QStringLiteral("cod"), code}}),
                    QStringLiteral("settore ") + code);
}

int VoTestUnit(const QVariant &factor, const QString &code) {
    const int id = VoTestNewKey(QStringLiteral("TUNM_UNITAMISURA"));
    VoExecSQL(QStringLiteral("INSERT INTO TUNM_UNITAMISURA (IUNMID, SUNMCOD, SUNMDESCS, SUNMMISCARICO, "
                             "SUNMMISSCARICO, FUNMFATTOREPROP) VALUES (:id, :cod, :cod, :cod, :cod, :f)"),
              {{QStringLiteral("id"), id},
               {QStringLiteral("cod"), code},
               {QStringLiteral("f"), factor.isNull() ? VoNull(QMetaType::Double) : factor}});
    return id;
}

int VoTestVatRate(double percent) {
    const int id = VoTestNewKey(QStringLiteral("TALV_ALIQUOTEIVA"));
    VoExecSQL(QStringLiteral("INSERT INTO TALV_ALIQUOTEIVA (IALVID, SALVDESCS, SALVDESCL, FALVIVA) "
                             "VALUES (:id, :cod, :cod, :iva)"),
              {{QStringLiteral("id"), id},
               {QStringLiteral("cod"), QString::number(percent)},
               {QStringLiteral("iva"), percent}});
    return id;
}

int VoTestArticle(const QString &description, int unitId, int vatRateId) {
    const int id = VoTestNewKey(QStringLiteral("TFAR_FACARTICOLI"));
    VoExecSQL(QStringLiteral("INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLDESC, SFARLIBTITOLO, "
                             "SFARLIBAUTORE, SFARLIBEDITORE, IUNMID, IALVID) "
                             "VALUES (:id, :cod, :desc, '', '', '', :unm, :alv)"),
              {{QStringLiteral("id"), id},
               {QStringLiteral("cod"), QStringLiteral("%1").arg(id, 7, 10, QLatin1Char('0'))},
               {QStringLiteral("desc"), description.toUpper()},
               {QStringLiteral("unm"), IdOrNull(unitId)},
               {QStringLiteral("alv"), IdOrNull(vatRateId)}});
    return id;
}

int VoTestDocument(const QString &number, const QDate &date, int typeId, const QString &program) {
    const int id = VoTestNewKey(QStringLiteral("TIDC_INVDOC"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TIDC_INVDOC (IIDCID, DIDCDATA, SIDCNUMERO, SIDCDESC, ITIDID, SIDCPRG) "
                       "VALUES (:id, :d, :n, :n, :type, :prg)"),
        {{QStringLiteral("id"), id},
         {QStringLiteral("d"), date},
         {QStringLiteral("n"), number},
         {QStringLiteral("type"), IdOrNull(typeId)},
         {QStringLiteral("prg"), program}});
    return id;
}

int VoTestVoucher(int kind, const QDate &date, int registerYearId, int number) {
    if (number <= 0)
        number = VoSelectValue(QStringLiteral("SELECT COALESCE(MAX(IFBUONUMERO), 0) + 1 FROM TFBUO_BUONI "
                                              "WHERE IDWGFACANFID = :anno AND IFBUOTIPO = :tipo"),
                               {{QStringLiteral("anno"), registerYearId}, {QStringLiteral("tipo"), kind}})
                     .toInt();
    const int id = VoTestNewKey(QStringLiteral("TFBUO_BUONI"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TFBUO_BUONI (IFBUOID, IDWGFACANFID, IFBUONUMERO, DFBUODATA, SFBUODESC, "
                       "IFBUOTIPO, ILOCKED) VALUES (:id, :anno, :num, :data, '', :tipo, 0)"),
        {{QStringLiteral("id"), id},
         {QStringLiteral("anno"), registerYearId},
         {QStringLiteral("num"), number},
         {QStringLiteral("data"), date.isValid() ? QVariant(date) : VoNull(QMetaType::QDate)},
         {QStringLiteral("tipo"), kind}});
    return id;
}

int VoTestRow(int voucherId, int articleId, double quantity, double unitCost, int sectorId, int vatRateId) {
    const int id = VoTestNewKey(QStringLiteral("TAFC_ARTVELIST"));
    const QVariant rate =
        vatRateId >= 0
            ? IdOrNull(vatRateId)
            : VoSelectValue(QStringLiteral("SELECT IALVID FROM TFAR_FACARTICOLI WHERE IFARID = :id"),
                            {{QStringLiteral("id"), articleId}});
    VoExecSQL(
        QStringLiteral("INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, IFARID, FAFCQUANTITA, FAFCCOSTOUNIT, "
                       "IALVID, ISECID, DINSERT) VALUES (:id, :buo, :far, :q, :c, :alv, :sec, "
                       "(SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP))"),
        {{QStringLiteral("id"), id},
         {QStringLiteral("buo"), voucherId},
         {QStringLiteral("far"), articleId},
         {QStringLiteral("q"), quantity},
         {QStringLiteral("c"), unitCost},
         {QStringLiteral("alv"), rate.isNull() ? VoNull(QMetaType::Int) : rate},
         {QStringLiteral("sec"), IdOrNull(sectorId)}});
    return id;
}

TVoTestStock VoTestStock(int articleId, const QVariant &date, int registerYearId, const QVariant &sectorId) {
    TVoQuery q(
        QStringLiteral("SELECT GIACENZA, COSTOUNIMED FROM PKVA_GETGIACENZA(:iFarId, :dData, :iDwgFacAnfId, "
                       ":iSecId)"));
    q.SetParam(QStringLiteral("iFarId"), articleId)
        .SetParam(QStringLiteral("dData"), date.isNull() ? VoNull(QMetaType::QDateTime) : date)
        .SetParam(QStringLiteral("iDwgFacAnfId"), registerYearId)
        .SetParam(QStringLiteral("iSecId"), sectorId.isNull() ? VoNull(QMetaType::Int) : sectorId);
    q.Open();
    TVoTestStock result;
    if (!q.Eof()) {
        result.stock = q.AsFloat(QStringLiteral("GIACENZA"));
        result.cost = q.AsFloat(QStringLiteral("COSTOUNIMED"));
    }
    result.rows = q.CountToEnd();
    return result;
}

int VoTestCheck(int articleId, const QVariant &rowId, const QVariant &quantity, const QVariant &voucherId,
                int registerYearId) {
    const auto orNull = [](const QVariant &v, QMetaType::Type type) { return v.isNull() ? VoNull(type) : v; };
    TVoQuery q(QStringLiteral(
        "SELECT CONTROLLO FROM PKVA_CONTROLLAGIAC(:iFarId, :iAfcId, :fAfcQuantita, :iBuoId_sca, "
        ":iDwgFacAnfId)"));
    q.SetParam(QStringLiteral("iFarId"), articleId)
        .SetParam(QStringLiteral("iAfcId"), orNull(rowId, QMetaType::Int))
        .SetParam(QStringLiteral("fAfcQuantita"), orNull(quantity, QMetaType::Double))
        .SetParam(QStringLiteral("iBuoId_sca"), orNull(voucherId, QMetaType::Int))
        .SetParam(QStringLiteral("iDwgFacAnfId"), registerYearId);
    q.Open();
    return q.Eof() ? -1 : q.AsInteger(QStringLiteral("CONTROLLO"));
}
