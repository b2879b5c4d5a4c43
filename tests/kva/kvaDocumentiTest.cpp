// Documents as a user keeps them: the program code a new document takes from its type, the documents
// this program lists, and the "Documenti" page of the loading voucher, where a document that names a
// supplier gives it to a voucher without one.
#include "VoClassRegistry.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "VoTestWindows.h"
#include "kvaFBuoni.h"
#include "kvaFDoc.h"
#include "kvaRBuoIdc.h"
#include "kvaRBuoniCarico.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDate>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

QString Warning(const QString &text) {
    return QStringLiteral("Attenzione ! \r\n%1. ").arg(text);
}

QVariant Supplier(const QString &name) {
    return VoSelectValue(QStringLiteral("SELECT IBENID FROM TBEN_BENEFICIARI WHERE SBENRAGSOC = :n"),
                         {{QStringLiteral("n"), name}});
}

QString Program(const QString &number) {
    return VoSelectValue(
               QStringLiteral("SELECT SIDCPRG || '/' || ITIDID FROM TIDC_INVDOC WHERE SIDCNUMERO = :n"),
               {{QStringLiteral("n"), number}})
        .toString();
}

using kvaDocumentiTest = kvaWindowTest;

} // namespace

TEST_F(kvaDocumentiTest, ADocumentTakesItsProgramCodeFromItsTypeOnce) {
    VoTestDocument(QStringLiteral("ALTRO"), QDate(2026, 1, 2), 1, QStringLiteral("20000"));
    VoTestDocument(QStringLiteral("CORTO"), QDate(2026, 1, 2), 1, QStringLiteral("1000"));
    auto *fm = Open<TfmkvaDoc>(QStringLiteral("TfmkvaDoc"));
    ASSERT_TRUE(fm);
    TfrkvaDoc *fr = fm->frMaster;
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Tipo di documenti"));
    // The demo's documents of both programs, the one without supplier among them; not the two added.
    EXPECT_EQ(
        fm->xqcMain->RecordCount(),
        VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TIDC_INVDOC WHERE SIDCPRG LIKE '1____'")).toInt());
    EXPECT_TRUE(fm->xqcMain->Locate(QStringLiteral("SIDCNUMERO"), QStringLiteral("D-1")));
    EXPECT_TRUE(fm->xqcMain->FieldByName(QStringLiteral("sBenRagSoc"))->IsNull());

    ASSERT_TRUE(fr->xacInsert->Execute());
    EXPECT_FALSE(fr->xdsMain->Post());
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"numero\". ")});
    struct Typed {
        QString number, type;
    };
    for (const Typed &t : {Typed{QStringLiteral("F-77"), QStringLiteral("Fattura")},
                           Typed{QStringLiteral("T-5"), QStringLiteral("Documento di trasporto")}}) {
        if (fm->xqcMain->State() == dsBrowse) {
            ASSERT_TRUE(fr->xacInsert->Execute());
        }
        VoTypeInto(fr->xedNumero, t.number);
        VoTypeDate(fr->xdeData, QStringLiteral("20/04/2026"));
        VoTypeInto(fr->xedDesc, QStringLiteral("Cancelleria varia"));
        VoTypeInto(fr->xleTipoDoc, t.type);
        messages->Clear();
        ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
    }
    EXPECT_EQ(Program(QStringLiteral("F-77")), QStringLiteral("11000/1"));
    EXPECT_EQ(Program(QStringLiteral("T-5")), QStringLiteral("10000/2"));

    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("SIDCNUMERO"), QStringLiteral("F-77")));
    ASSERT_TRUE(fr->xacEdit->Execute());
    VoTypeInto(fr->xleTipoDoc, QStringLiteral("Documento di trasporto"));
    ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_EQ(Program(QStringLiteral("F-77")), QStringLiteral("11000/2"));
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(kvaDocumentiTest, LinkedDocumentsGiveTheirSupplierToAVoucherWithoutOne) {
    const int ry = VoTestRegisterYear(2026);
    ChooseRegisterYear(ry);
    VoTestDocument(QStringLiteral("Vecchia"), QDate(2024, 12, 31));
    VoTestDocument(QStringLiteral("Un anno prima"), QDate(2025, 1, 1));
    const int without = VoTestVoucher(kvaLoading, QDate(2026, 3, 1), ry, 1);
    const int with = VoTestVoucher(kvaLoading, QDate(2026, 3, 2), ry, 2);
    const QVariant cartoleria = Supplier(QStringLiteral("Cartoleria Centrale s.r.l."));
    const QVariant igiene = Supplier(QStringLiteral("Igiene Ambienti s.n.c."));
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET IBENID = :b WHERE IFBUOID = :v"),
              {{QStringLiteral("b"), igiene}, {QStringLiteral("v"), with}});
    auto *fm = Open<TfmkvaBuoni>(QStringLiteral("TfmkvaBuoni"));
    ASSERT_TRUE(fm);
    TfrkvaBuoIdc *fr = fm->frBuoDoc;
    fm->pcDetail->setCurrentWidget(fm->tsDoc);
    const auto supplierOf = [](int voucher) {
        return VoSelectValue(QStringLiteral("SELECT IBENID FROM TFBUO_BUONI WHERE IFBUOID = :v"),
                             {{QStringLiteral("v"), voucher}});
    };
    const auto link = [&](const QString &search) {
        EXPECT_TRUE(fr->xacInsert->Execute());
        EXPECT_EQ(QApplication::focusWidget(), fr->xelDocumento);
        VoSearchAndChoose(search);
        return fr->xacPost->Execute() && fm->xqcDoc->State() == dsBrowse;
    };

    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("IFBUONUMERO"), 1));
    ASSERT_TRUE(fr->xacInsert->Execute());
    TVoSearchSeen seen;
    VoSearchAndChoose(QStringLiteral("donati"), &seen);
    EXPECT_EQ(seen.titles, (QStringList{QStringLiteral("Numero"), QStringLiteral("Data"),
                                        QStringLiteral("Tipo"), QStringLiteral("Descrizione")}));
    EXPECT_EQ(seen.rows,
              VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TIDC_INVDOC WHERE SIDCPRG LIKE '1____' "
                                           "AND DIDCDATA BETWEEN '2025-01-01' AND '2026-12-31'"))
                  .toInt())
        << "the demo's documents and the one dated a year before the register-year";
    EXPECT_EQ(fr->xelBenef->text(), QString());
    EXPECT_EQ(fr->xelNumero->text(), QStringLiteral("D-1"));
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_TRUE(supplierOf(without).isNull()) << "a document without supplier gives none";

    ASSERT_TRUE(link(QStringLiteral("Carta e")));
    EXPECT_EQ(supplierOf(without), cartoleria);
    EXPECT_EQ(fm->frMaster->xelBenef->text(), QStringLiteral("Cartoleria Centrale s.r.l."));
    EXPECT_EQ(fm->xqcDoc->FieldByName(QStringLiteral("sIdcNumero"))->AsString(), QStringLiteral("125"));
    ASSERT_TRUE(link(QStringLiteral("toner")));
    EXPECT_EQ(supplierOf(without), cartoleria) << "the supplier taken stays";
    EXPECT_EQ(fm->xqcDoc->RecordCount(), 3);

    EXPECT_FALSE(link(QStringLiteral("Carta e")));
    EXPECT_EQ(messages->Texts(),
              QStringList{Warning(QStringLiteral("Documento già associato a questo buono"))});
    fr->xacCancel->Execute();

    // The same document on another voucher, which keeps its own supplier.
    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("IFBUONUMERO"), 2));
    messages->Clear();
    ASSERT_TRUE(link(QStringLiteral("Carta e"))) << messages->LastText().toStdString();
    EXPECT_EQ(supplierOf(with), igiene);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFBUOIDC bi JOIN TIDC_INVDOC idc ON idc.IIDCID = "
                                         "bi.IIDCID WHERE idc.SIDCNUMERO = '125'")),
              2);

    // Links go only to a voucher saved and at rest.
    ASSERT_TRUE(fm->frMaster->xacEdit->Execute());
    EXPECT_FALSE(fr->xacInsert->Execute());
    fm->frMaster->xacCancel->Execute();
    ASSERT_TRUE(fm->frMaster->xacInsert->Execute());
    EXPECT_FALSE(fr->xacInsert->Execute());
    fm->frMaster->xacCancel->Execute();
    EXPECT_TRUE(fr->xacInsert->isEnabled());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(kvaDocumentiTest, AnEmptyListOfVouchersTakesNoDocument) {
    ChooseRegisterYear(VoTestRegisterYear(2027));
    auto *fm = Open<TfmkvaBuoni>(QStringLiteral("TfmkvaBuoni"));
    ASSERT_TRUE(fm);
    ASSERT_TRUE(fm->xqcMain->IsEmpty());
    EXPECT_FALSE(fm->frBuoDoc->xacInsert->Execute());
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFBUOIDC")), 0);
}

TEST_F(kvaDocumentiTest, AnUnloadingVoucherLinksADocumentAndTakesNoSupplier) {
    const int ry = VoTestRegisterYear(2026);
    ChooseRegisterYear(ry);
    const int voucher = VoTestVoucher(kvaUnloading, QDate(2026, 3, 1), ry, 1);
    auto *fm = Open<TfmkvaBuoniSca>(QStringLiteral("TfmkvaBuoniSca"));
    ASSERT_TRUE(fm);
    fm->pcDetail->setCurrentWidget(fm->tsDoc);
    ASSERT_TRUE(fm->frBuoDoc->xacInsert->Execute());
    VoSearchAndChoose(QStringLiteral("Carta e"));
    ASSERT_TRUE(fm->frBuoDoc->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFBUOIDC WHERE IFBUOID = :v"),
                          {{QStringLiteral("v"), voucher}}),
              1);
    EXPECT_TRUE(VoSelectValue(QStringLiteral("SELECT IBENID FROM TFBUO_BUONI WHERE IFBUOID = :v"),
                              {{QStringLiteral("v"), voucher}})
                    .isNull());
}
