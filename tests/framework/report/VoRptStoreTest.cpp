// Layouts in the database and the report tree over them: the standard layouts written at the start,
// the customised reports beside them, the window "Stampe", the preview and the PDF file.
#include "VoRptStore.h"
#include "VoAttivazioni.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoRptEngine.h"
#include "VoRptPages.h"
#include "VoRptTreeView.h"
#include "VoTestDb.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QString Layout(int id, int version, const QString &title = QStringLiteral("Elenco")) {
    return QStringLiteral("<report id=\"%1\" title=\"%2\" folder=\"Registri\" version=\"%3\">"
                          "<summary height=\"5\"><text x=\"0\" y=\"0\" w=\"50\" h=\"5\" caption=\"Versione "
                          "%3\"/></summary>"
                          "<pageFooter height=\"5\"><text x=\"0\" y=\"0\" w=\"50\" h=\"5\" "
                          "expr=\"'Pagina ' + [PAGE] + ' di ' + [PAGES]\"/></pageFooter></report>")
        .arg(id)
        .arg(title)
        .arg(version);
}

class VoRptStoreTest : public VoDbTest {
protected:
    static QString Stored(const QString &code, const QString &list = QStringLiteral("KVA")) {
        return VoSelectValue(
                   QStringLiteral("SELECT x.BYXARXMLFILE FROM TYXAR_XMLARCHIVIO x JOIN TYXLS_XMLLISTA l ON "
                                  "l.IYXLSID = x.IYXLSID WHERE x.SYXARCODICE = :c AND l.SYXLSCODICE = :l"),
                   {{QStringLiteral("c"), code}, {QStringLiteral("l"), list}})
            .toString();
    }
    // A row of the archive in the list "KVA", with the key given or a new one.
    static void Archive(const QString &code, const QString &text, int key = 0) {
        VoExecSQL(
            QStringLiteral("INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, BYXARXMLFILE) "
                           "SELECT :k, IYXLSID, :c, :t FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVA'"),
            {{QStringLiteral("k"), key ? key : VoNewId(QStringLiteral("TYXAR_XMLARCHIVIO"))},
             {QStringLiteral("c"), code},
             {QStringLiteral("t"), text}});
    }
    static void Custom(int id, int base, const QString &title) {
        VoExecSQL(
            QStringLiteral("INSERT INTO TYRPC_RPTCUSTOM (IYRPCID, IYRPTID, SYRPCDESC) VALUES (:i, :b, :t)"),
            {{QStringLiteral("i"), id}, {QStringLiteral("b"), base}, {QStringLiteral("t"), title}});
    }
};

} // namespace

TEST_F(VoRptStoreTest, StandardLayoutsAreWrittenWhenMissingOrOlderAndNothingElseIsTouched) {
    // The fixed row of the article synchronisation (every database has it) has the key a report id
    // may have.
    ASSERT_EQ(VoSelectValue(QStringLiteral("SELECT SYXARCODICE FROM TYXAR_XMLARCHIVIO WHERE IYXARID = 26001"))
                  .toString(),
              QStringLiteral("KVA_SINCRARTICOLI"));
    Custom(1000001, 26001, QStringLiteral("Elenco ridotto"));
    Archive(QStringLiteral("RPT1000001"), Layout(1000001, 1));

    EXPECT_EQ(VoRptSeedLayouts(QStringLiteral("KVA"), {Layout(26001, 1), Layout(26004, 1)}), 2);
    EXPECT_EQ(VoRptSeedLayouts(QStringLiteral("KVA"), {Layout(26001, 1), Layout(26004, 1)}), 0);
    EXPECT_EQ(VoRptSeedLayouts(QStringLiteral("KVA"), {Layout(26001, 2), Layout(26004, 1)}), 1);
    EXPECT_EQ(Stored(QStringLiteral("RPT26001")), Layout(26001, 2));
    // A layout stored newer than the program's stays.
    VoExecSQL(QStringLiteral("UPDATE TYXAR_XMLARCHIVIO SET BYXARXMLFILE = :t WHERE SYXARCODICE = 'RPT26004'"),
              {{QStringLiteral("t"), Layout(26004, 3)}});
    EXPECT_EQ(VoRptSeedLayouts(QStringLiteral("KVA"), {Layout(26001, 2), Layout(26004, 2)}), 0);
    EXPECT_EQ(Stored(QStringLiteral("RPT26004")), Layout(26004, 3));

    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT BYXARXMLFILE FROM TYXAR_XMLARCHIVIO WHERE IYXARID = 26001"))
            .toString(),
        QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("RPT1000001")), Layout(1000001, 1));
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT * FROM TYXAR_XMLARCHIVIO WHERE SYXARCODICE STARTING WITH 'RPT'")),
        3);

    // A program whose list is missing gets one; a layout it cannot read writes nothing.
    EXPECT_EQ(VoRptSeedLayouts(QStringLiteral("KVX"), {Layout(33001, 1)}), 1);
    EXPECT_EQ(Stored(QStringLiteral("RPT33001"), QStringLiteral("KVX")), Layout(33001, 1));
    EXPECT_THROW(VoRptSeedLayouts(QStringLiteral("KVX"), {Layout(33002, 1), QStringLiteral("<report")}),
                 EVoError);
    EXPECT_TRUE(Stored(QStringLiteral("RPT33002"), QStringLiteral("KVX")).isEmpty());
}

TEST_F(VoRptStoreTest, AProgramStartingWhileAnotherWritesTheLayoutsWritesThemAfterItInsteadOfFailing) {
    const QString list =
        VoSelectValue(QStringLiteral("SELECT IYXLSID FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVA'"))
            .toString();
    ASSERT_FALSE(list.isEmpty());
    QProcess other;
    other.start(QStringLiteral(VO_DBPEER),
                {dbPath, QStringLiteral("--lock"), QStringLiteral("TYXLS_XMLLISTA"),
                 QStringLiteral("IYXLSID"), list});
    ASSERT_TRUE(other.waitForReadyRead(30000));
    ASSERT_EQ(other.readLine().trimmed(), QByteArray("locked")) << other.readAllStandardOutput().toStdString();
    EXPECT_EQ(VoRptSeedLayouts(QStringLiteral("KVA"), {Layout(26001, 1)}), 1);
    ASSERT_TRUE(other.waitForFinished(30000));
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardOutput().toStdString();
    EXPECT_EQ(Stored(QStringLiteral("RPT26001")), Layout(26001, 1));
}

TEST_F(VoRptStoreTest, TheTreeShowsCustomisedReportsUnderTheirBaseAndPreviewsAndWritesThem) {
    VoRptSeedLayouts(QStringLiteral("KVA"), {Layout(26001, 1), Layout(26004, 1, QStringLiteral("Buoni"))});
    Custom(1000001, 26001, QStringLiteral("Elenco ridotto"));
    Archive(QStringLiteral("RPT1000001"), Layout(1000001, 1, QStringLiteral("Ridotto")));
    // Without its layout, or without its base, a customised report is not there.
    Custom(1000002, 26004, QStringLiteral("Senza stampa"));
    Custom(1000003, 26099, QStringLiteral("Senza base"));
    Archive(QStringLiteral("RPT1000003"), Layout(1000003, 1));

    TdmVoAttivazioni menu;
    TVoRptTreeView *tree = TVoRptTreeView::Of(menu.AddReport(
        QStringLiteral("xarStampe"), nullptr, QStringLiteral("Stampe"), QStringLiteral("KVA")));
    ASSERT_NE(tree, nullptr);
    tree->Execute();
    TfmVoRptTree *window = tree->Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Stampe"));
    QStringList shown;
    for (QTreeWidgetItemIterator it(window->tvReports); *it; ++it) {
        QString indent;
        for (const QTreeWidgetItem *p = (*it)->parent(); p; p = p->parent())
            indent += QStringLiteral("  ");
        shown << indent + (*it)->text(0);
    }
    EXPECT_EQ(shown, QStringList({"Registri", "  Elenco", "    Elenco ridotto", "  Buoni"}));
    EXPECT_FALSE(window->buPreview->isEnabled());

    ASSERT_TRUE(window->SelectId(1000001));
    window->buPreview->click();
    EXPECT_EQ(tree->GetRptId(), 1000001);
    TfmVoRptPreview *preview = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<TfmVoRptPreview *>(w))
            preview = p;
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Anteprima di stampa"));
    EXPECT_EQ(preview->Document().Texts(), QStringList({"Versione 1", "Pagina 1 di 1"}));
    EXPECT_EQ(preview->pvPages->pageCount(), 1);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ridotto.pdf"));
    TVoRptTreeView::SetFileChooser([&](const QString &suggested) {
        EXPECT_TRUE(suggested.endsWith(QStringLiteral("Ridotto.pdf")));
        return path;
    });
    preview->buPdf->click();
    TVoRptTreeView::SetFileChooser(nullptr);
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    // The user is told where the file went.
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Il PDF è stato salvato nella cartella \"%1\" con il nome "
                                         "\"ridotto.pdf\".")
                              .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()))});
    delete preview;
    delete window;
}
