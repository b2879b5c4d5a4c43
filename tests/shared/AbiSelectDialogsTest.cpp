// The beneficiary selection dialogs, opened by class name over a select of the opener's: the
// multi-select's check boxes and typed name, its ticks, OK without one; the search dialog narrowing on
// the column entered.
#include "AbiFBenSearch.h"
#include "AbiFMultiSelectBen.h"
#include "VoClassRegistry.h"
#include "VoQueryCollection.h"
#include "VoTestWindows.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// name, ended (NULL: current), traceability to fulfil, tax code, seats and payments for the treasury.
const char *const kBeneficiariSQL =
    "SELECT IBENID, SBENRAGSOC, COALESCE(LBENEND, 0) AS LBENEND, LBENOBBLTRACC, SBENCODFISCALE, ISEDIOIL, "
    "IPAGAMOIL FROM (SELECT 1 AS IBENID, CAST('Rossi Forniture' AS VARCHAR(60)) AS SBENRAGSOC, "
    "CAST(NULL AS INTEGER) AS LBENEND, 0 AS LBENOBBLTRACC, CAST('01234567890' AS VARCHAR(16)) AS "
    "SBENCODFISCALE, 1 AS ISEDIOIL, 1 AS IPAGAMOIL FROM RDB$DATABASE UNION ALL SELECT 2, 'Cartoleria "
    "Verdi', 0, 1, '02345678901', 1, 1 FROM RDB$DATABASE UNION ALL SELECT 3, 'Libreria D''Arco', 0, 0, '', "
    "1, 1 FROM RDB$DATABASE UNION ALL SELECT 4, 'Bianchi Rosa', 0, 0, '03456789012', 1, 0 FROM "
    "RDB$DATABASE UNION ALL SELECT 5, 'Vecchia Rosticceria', 1, 0, '04567890123', 1, 1 FROM RDB$DATABASE) "
    "ORDER BY 1";

class AbiSelectDialogsTest : public kvaWindowTest {
protected:
    static QString Shown(TVoQueryCollection *c) {
        QStringList ids;
        for (int row = 0; row < c->RecordCount(); ++row)
            ids << c->RowValue(row, 0).toString();
        return ids.join(QLatin1Char('|'));
    }
};

} // namespace

TEST_F(AbiSelectDialogsTest, TheMultiSelectNarrowsByItsChecksAndNameAndDropsTheTicks) {
    std::unique_ptr<TfmAbiMultiSelectBen> dlg(
        qobject_cast<TfmAbiMultiSelectBen *>(CreateVoClass(QStringLiteral("TfmAbiMultiSelectBen"))));
    ASSERT_TRUE(dlg);
    dlg->SetCommandText(QString::fromLatin1(kBeneficiariSQL));
    ASSERT_TRUE(VoShowActive(dlg.get()));
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Seleziona il Beneficiario"));
    TVoQueryCollection *c = dlg->frVoMultiSel->xqcMultiSelect;
    EXPECT_EQ(Shown(c), QStringLiteral("1|2|3|4"));

    // OK without a tick stays open.
    VoClick(dlg->buOk);
    EXPECT_EQ(messages->LastText(), QStringLiteral("Non è stato selezionato nessun beneficiario."));
    EXPECT_TRUE(dlg->isVisible());

    struct Case {
        bool traceability, historicised, oil;
        QString shown;
    };
    const Case cases[] = {
        {true, false, false, QStringLiteral("1|3|4")},    {false, true, false, QStringLiteral("5")},
        {false, false, true, QStringLiteral("3|4")},      {true, false, true, QStringLiteral("3|4")},
        {false, false, false, QStringLiteral("1|2|3|4")},
    };
    for (const Case &k : cases) {
        dlg->frVoMultiSel->SelectNone();
        dlg->frVoMultiSel->SetSelected(0, true);
        ASSERT_EQ(dlg->GetSelCount(), 1);
        const std::pair<QCheckBox *, bool> boxes[] = {
            {dlg->ckBenTraccAss, k.traceability}, {dlg->ckBenStor, k.historicised}, {dlg->ckDatiOIL, k.oil}};
        for (const auto &[box, on] : boxes)
            if (box->isChecked() != on)
                VoClick(box);
        EXPECT_EQ(Shown(c), k.shown);
        // Incomplete treasury data tick every row shown, else nothing stays ticked.
        EXPECT_EQ(dlg->GetSelCount(), k.oil ? int(k.shown.count(QLatin1Char('|'))) + 1 : 0)
            << k.shown.toStdString();
    }

    dlg->frVoMultiSel->SetSelected(0, true);
    dlg->edRicerca->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(VoHoldPause(dlg->tmFilt), 500);
    VoType(QStringLiteral("ros"));
    EXPECT_TRUE(dlg->tmFilt->isActive());
    EXPECT_EQ(Shown(c), QStringLiteral("1|2|3|4"));
    dlg->tmFiltTimer();
    EXPECT_EQ(Shown(c), QStringLiteral("1|4"));
    EXPECT_EQ(dlg->GetSelCount(), 0);
    dlg->edRicerca->selectAll();
    VoType(QStringLiteral("d'a"));
    dlg->tmFiltTimer();
    EXPECT_EQ(Shown(c), QStringLiteral("3"));
    dlg->edRicerca->selectAll();
    VoPress(Qt::Key_Backspace);
    EXPECT_EQ(Shown(c), QStringLiteral("1|2|3|4"));

    QVariantList chosen;
    dlg->SetBookmarkList(&chosen);
    dlg->frVoMultiSel->SetSelected(1, true);
    VoClick(dlg->buOk);
    EXPECT_EQ(chosen, QVariantList{2});
}

TEST_F(AbiSelectDialogsTest, TheSearchDialogNarrowsOnTheColumnEntered) {
    std::unique_ptr<TfmAbiBenSearch> dlg(
        qobject_cast<TfmAbiBenSearch *>(CreateVoClass(QStringLiteral("TfmAbiBenSearch"))));
    ASSERT_TRUE(dlg);
    dlg->SetSQL(QString::fromLatin1(kBeneficiariSQL));
    for (int column : {1, 4}) {
        dlg->Columns(column).Visible = true;
        dlg->Columns(column).Indexed = true;
    }
    QString placeholder;
    QString narrowed;
    QString quoted;
    VoWhenModalOpens<TfmAbiBenSearch>([&](TfmAbiBenSearch *form) {
        placeholder = form->edRicerca->text();
        form->Grid()->setCurrentIndex(form->Grid()->model()->index(0, 1));
        form->edRicerca->clear();
        QTest::keyClicks(form->edRicerca, QStringLiteral("ros"));
        form->tmFiltTimer();
        narrowed = Shown(form->DataSet());
        form->edRicerca->clear();
        QTest::keyClicks(form->edRicerca, QStringLiteral("d'a"));
        form->tmFiltTimer();
        quoted = Shown(form->DataSet());
        // Another column starts over with every row.
        form->Grid()->setCurrentIndex(form->Grid()->model()->index(0, 4));
        EXPECT_EQ(form->edRicerca->text(), QStringLiteral("<Cerca Beneficiario>"));
        EXPECT_EQ(form->DataSet()->RecordCount(), 5);
        form->reject();
    });
    dlg->Execute();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Cerca Beneficiario"));
    EXPECT_EQ(placeholder, QStringLiteral("<Cerca Beneficiario>"));
    EXPECT_EQ(narrowed, QStringLiteral("4|1|5"));
    EXPECT_EQ(quoted, QStringLiteral("3"));
}
