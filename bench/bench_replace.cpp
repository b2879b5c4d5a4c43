// Times the bulk data replacement on a catalogue of 20,000 articles: the article picker filled (the
// query read, the items made and sorted by code) beside its query read bare, and one replacement of
// the category over 5,000 picked articles in one transaction, beside the same 5,000 rows written by
// their keys.
//
//   bench_replace
#include "VoBench.h"
#include "VoClassRegistry.h"
#include "VoIdComboBox.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoStatistics.h"
#include "kvaFDataReplace.h"
#include "kvaRDblLstArtSelect.h"
#include "kvaURegistries.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>
#include <memory>

namespace {

constexpr int kCatalogue = 20000;
constexpr int kPicked = 5000;

// Articles "CATALOGO n" of the first three categories, up to the catalogue's size.
const char *const kMoreArticlesSQL = "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLDESC, "
                                     "SFARLIBTITOLO, SFARLIBAUTORE, SFARLIBEDITORE, "
                                     "ICAFID) WITH RECURSIVE N AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL "
                                     "SELECT I + 1 FROM N WHERE I < 999) "
                                     "SELECT (SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0)), "
                                     "LPAD(100000 + a.I * 1000 + b.I, 7, '0'), "
                                     "'CATALOGO ' || MOD(a.I * 1000 + b.I, 997), '', '', '', 1 + MOD(a.I * "
                                     "1000 + b.I, 3) FROM N a CROSS JOIN N b "
                                     "WHERE a.I * 1000 + b.I < :n";

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_replace"));
    if (!bench.Ok())
        return 1;
    kvaRegisterWindows();
    QTextStream &out = Out();
    const int present = VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI")).toInt();
    VoExecSQL(QString::fromLatin1(kMoreArticlesSQL), {{QStringLiteral("n"), kCatalogue - present}});
    // As the programs find the data once they start.
    VoRefreshStaleStatistics();
    out << "catalogue of " << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI")).toInt()
        << " articles\n\n";

    std::unique_ptr<TfrKvaDblLstArtSelect> picker;
    out << "picker created and filled:       "
        << VoMillis([&] { picker = std::make_unique<TfrKvaDblLstArtSelect>(); }) << " ms\n";
    VoBenchBeside(QStringLiteral("picker filled again"), VoMedianMillis(kVoBenchRuns, [&] { picker->ReloadLists(); }),
                  QStringLiteral("its query read bare"), VoMedianOf(kVoBenchRuns, [] {
                      return VoBenchBareRead(qqoVoGlobConn,
                                             QStringLiteral("SELECT far.iFarId, far.sFarSDesc, far.sFarLDesc, caf.sCafDesc "
                                                            "FROM TFar_FacArticoli far LEFT JOIN TCaf_CategorieFac caf ON "
                                                            "(far.iCafId = caf.iCafId) LEFT JOIN TAlv_AliquoteIva alv ON "
                                                            "(far.iAlvId = alv.iAlvId) WHERE (1=1)"));
                  }));
    picker.reset();

    std::unique_ptr<TfmKvaDataReplace> fm(
        qobject_cast<TfmKvaDataReplace *>(CreateVoClass(QStringLiteral("TfmKvaDataReplace"))));
    fm->show();
    fm->lbFieldList->setCurrentRow(0);
    fm->buNext->click();
    TfrKvaDblLstArtSelect *frame = fm->frKvaDblLstArtSelect1;
    for (int i = 0; i < kPicked; ++i)
        frame->lvLeft->topLevelItem(i)->setSelected(true);
    out << "5,000 articles moved right:      " << VoMillis([&] { frame->MoveSelectedRight(); }) << " ms\n";
    fm->buNext->click();
    auto *newCategory = qobject_cast<TVoIdComboBox *>(fm->NewValueEditor());
    newCategory->setCurrentIndex(newCategory->findText(QStringLiteral("Materiale didattico")));
    // The same rows written by their keys, the statement prepared once, in a transaction rolled back.
    const QList<int> picked = frame->SelectedIds();
    qqoVoGlobConn->StartTransaction();
    double byKey = 0;
    {
        QSqlQuery write(qqoVoGlobConn->Database());
        write.prepare(QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = ? WHERE IFARID = ?"));
        byKey = VoMillis([&] {
            for (const int id : picked) {
                write.bindValue(0, newCategory->SelectedId());
                write.bindValue(1, id);
                write.exec();
            }
        });
    }
    qqoVoGlobConn->Rollback();
    VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"));
    VoBenchBeside(QStringLiteral("category replaced on %1 (once)").arg(picked.size()), VoMillis([&] { fm->Replace(); }),
                  QStringLiteral("the same rows written by their keys, prepared once"), byKey);
    out << "  " << bench.messages->LastText() << "\n";
    return 0;
}
