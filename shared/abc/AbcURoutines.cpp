#include "AbcURoutines.h"

#include "AbcCProgram.h"
#include "VoDataSource.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoRptStore.h"
#include "VoSearchDialog.h"

namespace {

const char *const kSystemYearSQL =
    " SELECT TANF_ANNIFINANZ.DANFVOREXINIZIO, TANF_ANNIFINANZ.DANFVOREXFINE FROM "
    "TANF_ANNIFINANZ WHERE TANF_ANNIFINANZ.IANFVALORE = :IANFVALORE";

const char *const kRegisterHasYearSQL =
    " SELECT dfa.iDwgFacAnfId, anf.IANFID, dfa.iDwgFacId, dfa.DDWGFACANFINIZIO, dfa.DDWGFACANFFINE FROM "
    "TDwgFacAnf dfa INNER JOIN TANF_ANNIFINANZ anf ON (dfa.IANFID = anf.IANFID) WHERE (anf.IANFVALORE = "
    ":IANFVALORE) AND (dfa.iDwgFacId = :iDwgFacId)";

// The neighbouring register-year: %1 is MAX or MIN, %2 the comparison. The register-year left out is
// compared by id, with -1 leaving out none (a NULL would leave out every row).
const char *const kNeighbourYearSQL =
    "SELECT dfa.iDwgFacAnfId, dfa.DDWGFACANFINIZIO AS INIZIOUTENTE, dfa.DDWGFACANFFINE AS FINEUTENTE, "
    "anf.DANFVOREXINIZIO AS INIZIOVOREX, anf.DANFVOREXFINE AS FINEVOREX, anf.IANFVALORE AS ANNOFIN "
    "FROM TDwgFacAnf dfa INNER JOIN TANF_ANNIFINANZ anf ON (dfa.IANFID = anf.IANFID) "
    "WHERE (dfa.iDwgFacId = :iDwgFacId) AND (dfa.iDwgFacAnfId <> :iDwgFacAnfId) AND anf.IANFVALORE = "
    "(SELECT %1(a2.IANFVALORE) FROM TDwgFacAnf d2 INNER JOIN TANF_ANNIFINANZ a2 ON (d2.IANFID = a2.IANFID) "
    "WHERE (d2.iDwgFacId = :iDwgFacId) AND (d2.iDwgFacAnfId <> :iDwgFacAnfId) AND (a2.IANFVALORE %2 "
    ":IANFVALORE))";

const char *const kXmlArchiveSQL =
    "SELECT TYXar.bYXarXmlFile FROM TYXar_XmlArchivio TYXar INNER JOIN TYXls_XmlLista TYXls ON "
    "(TYXls.iYXlsId "
    "= TYXar.iYXlsId) WHERE sYXarCodice = :sYXarCodice AND TYXls.sYXlsCodice = :sYXlsCodice";

} // namespace

int NewId(const QString &tableName) {
    return VoNewId(tableName);
}

int GetBaseReportId(int reportId) {
    return VoRptBaseId(reportId);
}

void LoadXmlArchive(QString &target, const QString &code, const QString &listCode) {
    TVoQuery q(QString::fromLatin1(kXmlArchiveSQL));
    q.SetParam(QStringLiteral("sYXarCodice"), code)
        .SetParam(QStringLiteral("sYXlsCodice"), listCode.isEmpty() ? AbcProgram().Code : listCode);
    q.Open();
    if (q.Eof())
        throw EVoError(VoFormat(QStringLiteral("XML codice %s Non trovato nel DB"), {code}));
    target = q.AsString(QStringLiteral("bYXarXmlFile"));
}

void GetSystemYearDates(int yearValue, DateWindow &window) {
    TVoQuery q(QString::fromLatin1(kSystemYearSQL));
    q.SetParam(QStringLiteral("IANFVALORE"), yearValue);
    q.Open();
    window.low = q.AsDate(QStringLiteral("DANFVOREXINIZIO"));
    window.high = q.AsDate(QStringLiteral("DANFVOREXFINE"));
}

bool RegisterHasYear(int schoolRegisterId, int yearValue) {
    TVoQuery q(QString::fromLatin1(kRegisterHasYearSQL));
    q.SetParam(QStringLiteral("IANFVALORE"), yearValue)
        .SetParam(QStringLiteral("iDwgFacId"), schoolRegisterId);
    q.Open();
    return !q.Eof();
}

namespace {
void NeighbourRegisterYear(bool previous, int schoolRegisterId, int leaveOutId, DateWindow &window, int &year,
                           int &registerYearId) {
    TVoQuery q(QString::fromLatin1(kNeighbourYearSQL)
                   .arg(previous ? QStringLiteral("MAX") : QStringLiteral("MIN"),
                        previous ? QStringLiteral("<") : QStringLiteral(">")));
    q.SetParam(QStringLiteral("iDwgFacId"), schoolRegisterId)
        .SetParam(QStringLiteral("iDwgFacAnfId"), leaveOutId)
        .SetParam(QStringLiteral("IANFVALORE"), year);
    q.Open();
    const double startUser = q.AsDate(QStringLiteral("INIZIOUTENTE"));
    const double endUser = q.AsDate(QStringLiteral("FINEUTENTE"));
    const double startYear = q.AsDate(QStringLiteral("INIZIOVOREX"));
    const double endYear = q.AsDate(QStringLiteral("FINEVOREX"));
    // The previous year is told apart by its end, the next one by its start.
    const bool empty = previous ? (VoIsNoDate(endUser) && VoIsNoDate(endYear))
                                : (VoIsNoDate(startUser) && VoIsNoDate(startYear));
    if (empty) {
        (previous ? window.high : window.low) = VoNoDate;
        year = -1;
        return;
    }
    window.low = VoIsNoDate(startUser) ? startYear : startUser;
    window.high = VoIsNoDate(endUser) ? endYear : endUser;
    registerYearId = q.AsInteger(QStringLiteral("iDwgFacAnfId"));
    year = q.AsInteger(QStringLiteral("ANNOFIN"));
}
} // namespace

void GetPreviousRegisterYear(int schoolRegisterId, int leaveOutId, DateWindow &window, int &year,
                             int &registerYearId) {
    NeighbourRegisterYear(true, schoolRegisterId, leaveOutId, window, year, registerYearId);
}

void GetNextRegisterYear(int schoolRegisterId, int leaveOutId, DateWindow &window, int &year,
                         int &registerYearId) {
    NeighbourRegisterYear(false, schoolRegisterId, leaveOutId, window, year, registerYearId);
}

void RefuseDeleteWhileUsed(const QString &usersSQL, const QString &keyParam, const QVariant &key,
                           const QString &message) {
    TVoQuery q(usersSQL);
    q.SetParam(keyParam, key);
    q.Open();
    if (!q.Eof())
        throw EVoError(message);
}

void GuardDeleteWhileUsed(TVoQueryCollection *collection, const QString &table, const QString &keyField,
                          const QString &usersSQL, const QString &message) {
    collection->BeforeWrite.Add([=](TVoQueryCollection *c, int listKind) {
        if (listKind != skDelete)
            return;
        const QVariant key = c->FieldByName(keyField)->Value();
        VoLockRow(table, keyField, key);
        RefuseDeleteWhileUsed(usersSQL, keyField, key, message);
    });
}

void SetSearchForm(TVoSearchDialog *form, const QStringList &captions, const QList<int> &widths) {
    if (captions.size() != widths.size()) {
        VoMessageDlg(QStringLiteral("Parametri del SetSearchForm sbagliati"), mtError, mbOK);
        return;
    }
    for (int i = 0; i < captions.size(); ++i) {
        TVoSearchColumn &column = form->Columns(i + 1);
        column.Visible = true;
        column.Indexed = true;
        column.Caption = captions[i];
        column.Width = widths[i];
    }
}

void SetSearchForm(TVoSearchDialog *form, const QStringList &captions) {
    SetSearchForm(form, captions, QList<int>(captions.size(), 200));
}

void SetSearchFormTable(TVoSearchDialog *form, const QString &name) {
    SetSearchForm(form, {QStringLiteral("Tabella ") + name}, {450});
}

void SetControlWritable(TVoDBControl *control, bool writable) {
    control->SetReadOnly(!writable);
    control->Widget()->setEnabled(writable);
}
