// The goods documents as this program keeps them: the consumables register's window with this
// program's frame, which requires the supplier or recipient and leaves number and date free.
#include "VoClassRegistry.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoDataSource.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTestDb.h"
#include "VoWidgetTest.h"
#include "kvbFDoc.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <gtest/gtest.h>

using kvbDocTest = VoDbTest;

TEST_F(kvbDocTest, ADocumentNamesItsProvenanceOrDestination) {
    auto *fm = qobject_cast<TfmkvbDoc *>(CreateVoClass(QStringLiteral("TfmkvbDoc")));
    ASSERT_TRUE(fm);
    VoShowActive(fm);
    TfrkvaDoc *fr = fm->frMaster;
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Tipo di documenti"));
    auto *form = qobject_cast<QFormLayout *>(fr->xleBenef->parentWidget()->layout());
    ASSERT_TRUE(form);
    auto *label = qobject_cast<QLabel *>(form->labelForField(fr->xleBenef));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), QStringLiteral("Provenienza / Destinazione"));

    ASSERT_TRUE(fr->xacInsert->Execute());
    TVoQueryCollection *data = fm->xqcMain;
    data->FieldByName(QStringLiteral("SIDCDESC"))->SetAsString(QStringLiteral("Fattura arredi"));
    data->FieldByName(QStringLiteral("ITIDID"))
        ->SetAsInteger(
            VoSelectValue(QStringLiteral("SELECT ITIDID FROM TTID_TIPOINVDOC WHERE STIDCODICE = 'FAT'"))
                .toInt());
    EXPECT_FALSE(fr->xdsMain->Post());
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral(
                                     "Attenzione ! \r\nCampo obbligatorio \"fornitore / destinatario\". ")});
    data->FieldByName(QStringLiteral("IBENID"))
        ->SetAsInteger(VoSelectValue(QStringLiteral("SELECT MIN(IBENID) FROM TBEN_BENEFICIARI")).toInt());
    messages->Clear();
    EXPECT_TRUE(fr->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT SIDCPRG FROM TIDC_INVDOC WHERE SIDCDESC = 'Fattura arredi' AND "
                                     "SIDCNUMERO IS NULL AND DIDCDATA IS NULL"))
            .toString(),
        QStringLiteral("11000"));
    fm->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
