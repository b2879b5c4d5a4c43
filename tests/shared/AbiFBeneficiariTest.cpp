// The beneficiaries window opened by its class name on a real database and driven as a user drives
// it: the seats with their reference seat and localities, the legal data, representatives and
// substitutions, delegates and payee, the contacts, the tabs with their lists, the one-time IBAN
// question, and a detail being typed never dropped by a change of tab, of beneficiary or a close.
#include "AbiFBeneficiari.h"
#include "AbiMBen.h"
#include "AbiMCom.h"
#include "AbiRBeneficiari.h"
#include "AbiRContatti.h"
#include "AbiRDatiBancari.h"
#include "AbiRDatiLegali.h"
#include "AbiRDelegati.h"
#include "AbiRSedi.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoPageControl.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "VoTestRegistries.h"
#include "VoTestWindows.h"

#include <QApplication>
#include <QDate>
#include <QGroupBox>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kReferenceQuestion = QStringLiteral(
    "Attenzione!\n\rLa sede corrente diventerà quella di riferimento e di conseguenza tutte le altre non "
    "potranno più esserlo. \n\rContinuare ?");
const QString kNoReference = QStringLiteral(
    "Attenzione!\n\rImpossibile proseguire perchè nessuna sede risulta essere di riferimento. \n\rPer "
    "impostare la sede di riferimento selezionare l'apposita casella dell'elemento interessato.");
const QString kReferenceDelete = QStringLiteral(
    "Attenzione!\n\rImpossibile cancellare una sede  di riferimento. \n\rImpostare prima un'altra sede di "
    "riferimento e poi procedere con l'eliminazione.");
const QString kCapNotNumeric = QStringLiteral("Il CAP contiene dei caratteri non numerici. Vuoi continuare?");
const QString kCapLength = QStringLiteral("Il CAP non ha lunghezza 5 caratteri. Vuoi continuare?");
const QString kTurnover =
    QStringLiteral("Attenzione!\r\nSe viene inserito il fatturato, è necessario inserire l'anno di "
                   "riferimento. Viceversa se "
                   "si inserisce l'anno di riferimento occorre inserire anche il fatturato");
const QString kRegistration = QStringLiteral(
    "Attenzione!\r\nSe si inserisce un Comune è necessario inserire anche il relativo numero di iscrizione. "
    "Altrimenti se viene inserito il numero di iscrizione bisogna inserire anche il Comune");
const QString kIbanQuestion =
    QStringLiteral("Eseguire il calcolo automatico dell'IBAN per tutti i Beneficiari?");

QString Invalid(const char *field) {
    return QStringLiteral("Attenzione!\r\nValore non valido per il campo \"%1\"")
        .arg(QString::fromUtf8(field));
}

QString Required(const char *field) {
    return VoValidationMessage(QString::fromUtf8(field), true);
}

class AbiFBeneficiariTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        BenType = TBenType();
        delete dmComuni;
        dmComuni = nullptr;
        dm = std::make_unique<TdmBeneficiari>();
        dmBeneficiari = dm.get();
        dm->BindConnection(conn.get());
        ben = VoTestBeneficiary(QStringLiteral("Ditta Alfa"));
        other = VoTestBeneficiary(QStringLiteral("Ditta Beta"));
        roma = VoTestPlace(QStringLiteral("ROMA"));
        milano = VoTestPlace(QStringLiteral("MILANO"));
    }
    void TearDown() override {
        Close();
        dmBeneficiari = nullptr;
        dm.reset();
        delete dmComuni;
        dmComuni = nullptr;
        VoDbTest::TearDown();
    }

    // Opens the window as the menu does and stands on the beneficiary.
    void Open() {
        window = VoOpenWindow<TfmBeneficiari>(QStringLiteral("TFmBeneficiari"));
        ASSERT_TRUE(window);
        ASSERT_TRUE(dm->xqcBeneficiari->Locate(QStringLiteral("IBENID"), ben));
    }
    void Close() {
        if (!window)
            return;
        // Whatever a test left typed is given up.
        for (int i = 0; i < 12; ++i)
            messages->Push(mrNo);
        VoCloseWindow(window);
        messages->Clear();
    }
    void Tab(int index) { ASSERT_TRUE(window->pcContenitore->SetActivePage(index)); }

    // A seat as the user types it; an empty CAP is left as the municipality filled it.
    void NewSeat(const QString &address, int place, const QString &cap = QString()) {
        TfrSedi *f = window->frSediBen;
        ASSERT_TRUE(f->xacInsert->Execute());
        if (!address.isEmpty())
            VoTypeInto(f->xdeIndirizzo, address);
        if (place)
            f->xdlComune->SetKeyValue(place);
        if (!cap.isNull())
            VoTypeInto(f->xdeCAP, cap);
    }
    // Address and reference mark of the beneficiary's seats.
    QStringList Seats() const {
        return VoRowTexts(
            QStringLiteral("SELECT SSEBINDIRIZZO, COALESCE(LSEBRIFERIMENTO, 0) FROM TSEB_SEDIBEN "
                           "WHERE IBENID = :b AND DDELETE IS NULL ORDER BY ISEBID"),
            {{QStringLiteral("b"), ben}});
    }
    int Localities() const {
        return VoCountRows(QStringLiteral("SELECT 1 FROM TCOMCAP")) +
               VoCountRows(QStringLiteral("SELECT 1 FROM TCAP")) +
               VoCountRows(QStringLiteral("SELECT 1 FROM TFRAQUA"));
    }
    // The ids a beneficiary search lists, as its frame prepares it.
    template <class Frame>
    QList<int> SearchIds(Frame *frame, void (Frame::*prepare)(TVoDBLookupEdit *, TVoSearchDialog *),
                         TVoDBLookupEdit *lookup) {
        TVoSearchDialog form;
        form.SetConnection(conn.get());
        (frame->*prepare)(lookup, &form);
        QList<int> ids;
        if (!form.Open())
            return ids;
        TVoQueryCollection *rows = form.DataSet();
        for (rows->First(); !rows->Eof(); rows->Next())
            ids << rows->Fields(0)->AsInteger();
        return ids;
    }

    std::unique_ptr<TdmBeneficiari> dm;
    QPointer<TfmBeneficiari> window;
    int ben = 0;
    int other = 0;
    int roma = 0;
    int milano = 0;
};

} // namespace

// --- Seats ----------------------------------------------------------------------------------------------

TEST_F(AbiFBeneficiariTest, TheReferenceSeatIsTheFirstAndMovesOnlyWhenConfirmed) {
    Open();
    TfrSedi *f = window->frSediBen;
    NewSeat(QStringLiteral("Via Uno 1"), milano);
    f->xacPost->Execute();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(Seats(), (QStringList{"Via Uno 1", "1"}));

    // A second seat ticked as reference: No keeps it unsaved at the box, Yes moves the mark.
    NewSeat(QStringLiteral("Via Due 2"), milano);
    VoClick(f->xckRiferimento);
    messages->Push(mrNo);
    f->xacPost->Execute();
    EXPECT_EQ(messages->Texts(), QStringList{kReferenceQuestion});
    EXPECT_EQ(QApplication::focusWidget(), f->xckRiferimento);
    EXPECT_EQ(dm->xqcSedi->State(), dsInsert);
    messages->Clear();
    messages->Push(mrYes);
    f->xacPost->Execute();
    EXPECT_EQ(messages->Texts(), QStringList{kReferenceQuestion});
    EXPECT_EQ(Seats(), (QStringList{"Via Uno 1", "0", "Via Due 2", "1"}));

    // Back to the first seat, and its mark cannot be taken away.
    ASSERT_TRUE(dm->xqcSedi->Locate(QStringLiteral("SSEBINDIRIZZO"), QStringLiteral("Via Uno 1")));
    f->xacEdit->Execute();
    VoClick(f->xckRiferimento);
    messages->Clear();
    messages->Push(mrYes);
    f->xacPost->Execute();
    EXPECT_EQ(Seats(), (QStringList{"Via Uno 1", "1", "Via Due 2", "0"}));
    f->xacEdit->Execute();
    VoClick(f->xckRiferimento);
    messages->Clear();
    f->xacPost->Execute();
    EXPECT_EQ(messages->Texts(), QStringList{kNoReference});
    EXPECT_EQ(dm->xqcSedi->State(), dsEdit);
    f->xacCancel->Execute();
    EXPECT_EQ(Seats(), (QStringList{"Via Uno 1", "1", "Via Due 2", "0"}));
}

TEST_F(AbiFBeneficiariTest, AnAddressAndItsPostcodeAreCheckedInOrder) {
    const int parigi = VoSelectValue(QStringLiteral("SELECT s.ISRPCID FROM TSRPC s JOIN TCOM_COMUNI c ON "
                                                    "c.ICOMID = s.ICOMID WHERE c.SCOMDESC = 'PARIGI'"))
                           .toInt();
    Open();
    TfrSedi *f = window->frSediBen;
    const struct {
        const char *name;
        QString address;
        int place;
        QString cap;
        QStringList messages;
        QWidget *focus;
    } cases[] = {
        {"no address", QString(), milano, QStringLiteral("20121"), {Invalid("Indirizzo")}, f->xdeIndirizzo},
        {"no postcode at home",
         QStringLiteral("Via A"),
         milano,
         QStringLiteral(""),
         {Invalid("CAP")},
         f->xdeCAP},
        {"no postcode abroad",
         QStringLiteral("Rue B"),
         parigi,
         QStringLiteral(""),
         {kCapNotNumeric},
         f->xdeCAP},
        {"a letter", QStringLiteral("Via C"), milano, QStringLiteral("2012A"), {kCapNotNumeric}, f->xdeCAP},
        {"four digits", QStringLiteral("Via D"), milano, QStringLiteral("2012"), {kCapLength}, f->xdeCAP},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        messages->Clear();
        NewSeat(c.address, c.place, c.cap);
        messages->Push(mrNo);
        f->xacPost->Execute();
        EXPECT_EQ(messages->Texts(), c.messages);
        EXPECT_EQ(QApplication::focusWidget(), c.focus);
        EXPECT_EQ(dm->xqcSedi->State(), dsInsert);
        EXPECT_TRUE(Seats().isEmpty());
        f->xacCancel->Execute();
    }
    // Leading zeros are a postcode; a foreign one answered Yes is kept as typed.
    messages->Clear();
    NewSeat(QStringLiteral("Via E"), roma, QStringLiteral("00185"));
    f->xacPost->Execute();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    NewSeat(QStringLiteral("Rue F"), parigi, QStringLiteral("750"));
    messages->Push(mrYes);
    f->xacPost->Execute();
    EXPECT_EQ(messages->Texts(), (QStringList{kCapLength}));
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT cap.SCAPVALUE FROM TSEB_SEDIBEN s JOIN TCOMCAP cc ON "
                                        "cc.ICOMCAPID = s.ICOMCAPID JOIN TCAP cap ON cap.ICAPID = cc.ICAPID "
                                        "WHERE s.IBENID = :b ORDER BY s.ISEBID"),
                         {{QStringLiteral("b"), ben}}),
              (QStringList{"00185", "750"}));
}

TEST_F(AbiFBeneficiariTest, AMunicipalityFillsItsOnlyLocalityAndAnExistingOneIsReused) {
    Open();
    TfrSedi *f = window->frSediBen;
    NewSeat(QStringLiteral("Via Milano"), milano);
    EXPECT_EQ(f->xdeCAP->text(), QStringLiteral("20121"));
    EXPECT_EQ(f->xdeFraQua->text(), QString());
    f->xacCancel->Execute();

    // Rome has two localities: the user picks one, here typing the one of Ostia.
    NewSeat(QStringLiteral("Via Roma"), roma);
    EXPECT_EQ(f->xdeCAP->text(), QString());
    EXPECT_EQ(f->xdeFraQua->text(), QString());
    VoTypeInto(f->xdeCAP, QStringLiteral("00121"));
    VoTypeInto(f->xdeFraQua, QStringLiteral("OSTIA"));
    const int before = Localities();
    f->xacPost->Execute();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(Localities(), before);
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT cap.SCAPVALUE, fra.SFRAQUADESC FROM TSEB_SEDIBEN s JOIN TCOMCAP cc "
                                  "ON cc.ICOMCAPID = s.ICOMCAPID JOIN TCAP cap ON cap.ICAPID = cc.ICAPID "
                                  "JOIN TFRAQUA fra ON fra.IFRAQUAID = cc.IFRAQUAID WHERE s.IBENID = :b"),
                   {{QStringLiteral("b"), ben}}),
        (QStringList{"00121", "OSTIA"}));

    // A hamlet not on file makes its hamlet and locality.
    NewSeat(QStringLiteral("Via Nuova"), roma, QStringLiteral("00121"));
    VoTypeInto(f->xdeFraQua, QStringLiteral("ACILIA"));
    f->xacPost->Execute();
    EXPECT_EQ(Localities(), before + 2);
}

TEST_F(AbiFBeneficiariTest, TheReferenceSeatIsDeletedOnlyWhenAlone) {
    Open();
    TfrSedi *f = window->frSediBen;
    NewSeat(QStringLiteral("Via Uno"), milano);
    f->xacPost->Execute();
    NewSeat(QStringLiteral("Via Due"), milano);
    f->xacPost->Execute();
    ASSERT_TRUE(dm->xqcSedi->Locate(QStringLiteral("SSEBINDIRIZZO"), QStringLiteral("Via Uno")));
    messages->Clear();
    f->xacDelete->Execute();
    EXPECT_EQ(messages->Texts(), QStringList{kReferenceDelete});
    ASSERT_TRUE(dm->xqcSedi->Locate(QStringLiteral("SSEBINDIRIZZO"), QStringLiteral("Via Due")));
    messages->Push(mrYes);
    f->xacDelete->Execute();
    ASSERT_TRUE(dm->xqcSedi->Locate(QStringLiteral("SSEBINDIRIZZO"), QStringLiteral("Via Uno")));
    messages->Push(mrYes);
    f->xacDelete->Execute();
    EXPECT_TRUE(Seats().isEmpty());
}

// --- Legal data, representatives, substitutions --------------------------------------------------------

TEST_F(AbiFBeneficiariTest, LegalDataPairsAreCompleteAndKeptOncePerBeneficiary) {
    Open();
    Tab(TfmBeneficiari::tabDatiLeg);
    TfrDatiLegali *f = window->frDatiLeg;
    const struct {
        const char *name;
        QString year, amount, ccia, trib;
        int cciaPlace, tribPlace;
        QString message;
        QWidget *focus;
    } cases[] = {
        {"year without amount", "2025", "", "", "", 0, 0, kTurnover, f->xdeImportoFatt},
        {"amount without year", "", "1.500,00", "", "", 0, 0, kTurnover, f->xdeAnnoRif},
        {"court number without place", "", "", "", "123", 0, 0, kRegistration, f->xdlTribunale},
        {"court place without number", "", "", "", "", 0, roma, kRegistration, f->xdeNumTrib},
        {"chamber first", "", "", "55", "", 0, roma, kRegistration, f->xdlCCIA},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        messages->Clear();
        ASSERT_TRUE(f->xacInsert->Execute());
        // A new record starts on this year.
        EXPECT_EQ(f->xdeAnnoRif->text(), QString::number(QDate::currentDate().year()));
        VoTypeInto(f->xdeAnnoRif, c.year);
        VoTypeInto(f->xdeImportoFatt, c.amount);
        VoTypeInto(f->xdeNumCCIA, c.ccia);
        VoTypeInto(f->xdeNumTrib, c.trib);
        if (c.cciaPlace)
            f->xdlCCIA->SetKeyValue(c.cciaPlace);
        if (c.tribPlace)
            f->xdlTribunale->SetKeyValue(c.tribPlace);
        f->xacPost->Execute();
        EXPECT_EQ(messages->Texts(), QStringList{c.message});
        EXPECT_EQ(QApplication::focusWidget(), c.focus);
        EXPECT_EQ(dm->xqcDatiLegali->State(), dsInsert);
        f->xacCancel->Execute();
    }
    messages->Clear();
    ASSERT_TRUE(f->xacInsert->Execute());
    VoTypeInto(f->xdeImportoFatt, QStringLiteral("1.500,00"));
    f->xdlCCIA->SetKeyValue(roma);
    VoTypeInto(f->xdeNumCCIA, QStringLiteral("RM-1"));
    f->xacPost->Execute();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT ILEGANNOFATT, FLEGFATTURATO, SLEGNUMCCIA FROM TLEG_DATILEGALI "
                                  "WHERE IBENID = :b"),
                   {{QStringLiteral("b"), ben}}),
        (QStringList{QString::number(QDate::currentDate().year()), "1500", "RM-1"}));
    EXPECT_FALSE(f->xacInsert->Execute());
}

TEST_F(AbiFBeneficiariTest, RepresentativesAndSubstitutesAreOtherBeneficiariesReachedByTheGoToActions) {
    Open();
    Tab(TfmBeneficiari::tabRappr);
    TfrRappresentanti *r = window->frRappr;
    ASSERT_TRUE(r->xacInsert->Execute());
    const QList<int> representatives =
        SearchIds(r, &TfrRappresentanti::xdlRappresentanteSetSearchQuery, r->xdlRappresentante);
    EXPECT_TRUE(representatives.contains(other));
    EXPECT_FALSE(representatives.contains(ben));
    r->xdlRappresentante->SetKeyValue(other);
    r->xacPost->Execute();
    ASSERT_EQ(dm->xqcRappresentanti->RecordCount(), 1);
    r->acRappresentante->trigger();
    EXPECT_EQ(dm->xqcBeneficiari->FieldByName(QStringLiteral("IBENID"))->AsInteger(), other);

    // The other beneficiary is replaced by the first one; its substitution needs a date.
    Tab(TfmBeneficiari::tabSostituzioni);
    TfrSostituzioni *s = window->frSostitBen;
    ASSERT_TRUE(s->xacInsert->Execute());
    const QList<int> substitutes =
        SearchIds(s, &TfrSostituzioni::xdlSostituenteSetSearchQuery, s->xdlSostituente);
    EXPECT_TRUE(substitutes.contains(ben));
    EXPECT_FALSE(substitutes.contains(other));
    s->xdlSostituente->SetKeyValue(ben);
    messages->Clear();
    s->xacPost->Execute();
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione!\r\nData di sostituzione obbligatoria")});
    VoTypeDate(s->xddData, QStringLiteral("01/09/2025"));
    s->xacPost->Execute();
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT 1 FROM TSOS_SOSTITUZIONI WHERE IBENID = :s AND IBENID_P = :p"),
                    {{QStringLiteral("s"), ben}, {QStringLiteral("p"), other}}),
        1);
    EXPECT_FALSE(s->xacInsert->Execute());
    s->acSostituente->trigger();
    EXPECT_EQ(dm->xqcBeneficiari->FieldByName(QStringLiteral("IBENID"))->AsInteger(), ben);
    EXPECT_EQ(s->xdeSostituito->text(), QStringLiteral("Ditta Beta"));
    s->acSostituito->trigger();
    EXPECT_EQ(dm->xqcBeneficiari->FieldByName(QStringLiteral("IBENID"))->AsInteger(), other);
}

// --- Delegates and payee --------------------------------------------------------------------------------

TEST_F(AbiFBeneficiariTest, DelegatesNeedAnAccountAndTheirNamesAndAPayeeWithANameItsData) {
    Open();
    Tab(TfmBeneficiari::tabPagamenti);
    EXPECT_TRUE(window->frDelegatiConto->xacInsert->Locked());
    Close();
    VoTestBankData(ben, 3, 0, QString());
    Open();
    Tab(TfmBeneficiari::tabPagamenti);
    TfrDelegatiConto *d = window->frDelegatiConto;
    EXPECT_FALSE(d->xacInsert->Locked());
    // Nor under an account not yet saved.
    ASSERT_TRUE(window->frDatiBanca->xacInsert->Execute());
    EXPECT_TRUE(d->xacInsert->Locked());
    window->frDatiBanca->xacCancel->Execute();
    EXPECT_FALSE(d->xacInsert->Locked());

    const struct {
        const char *name;
        TVoDBEdit *edit;
        QString message;
    } delegates[] = {
        {"no surname", d->xdeCognome, Required("Cognome")},
        {"no name", d->xdeNome, Required("Nome")},
        {"no tax code", d->xdeCodFiscale, Required("Codice fiscale")},
    };
    for (const auto &c : delegates) {
        SCOPED_TRACE(c.name);
        messages->Clear();
        ASSERT_TRUE(d->xacInsert->Execute());
        VoTypeInto(d->xdeCognome, QStringLiteral("Rossi"));
        VoTypeInto(d->xdeNome, QStringLiteral("Mario"));
        VoTypeInto(d->xdeCodFiscale, QStringLiteral("RSSMRA"));
        // Emptied and left: refused at once, and the focus stays.
        messages->Clear();
        VoTypeInto(c.edit, QString());
        EXPECT_EQ(messages->Texts(), QStringList{c.message});
        EXPECT_EQ(QApplication::focusWidget(), c.edit);
        d->xacPost->Execute();
        EXPECT_EQ(dm->xqcDelegatiConto->State(), dsInsert);
        d->xacCancel->Execute();
    }
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TDEG_DELEGATI")), 0);

    window->pcDetail->setCurrentWidget(window->tsQuietanzante);
    TfrQuietanzante *q = window->frQuietanzante;
    ASSERT_TRUE(q->xacInsert->Execute());
    VoTypeInto(q->xdeNominativo, QStringLiteral("Mario Rossi"));
    messages->Clear();
    q->xacPost->Execute();
    EXPECT_EQ(messages->Texts(), QStringList{Required("Indirizzo del quietanzante")});
    q->xacCancel->Execute();
    // Without a name nothing is required: an empty payee is saved.
    ASSERT_TRUE(q->xacInsert->Execute());
    messages->Clear();
    q->xacPost->Execute();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TQUI_QUIETANZANTE WHERE SQUINOMINATIVO IS NULL AND "
                                         "SQUICODICEFISCALE IS NULL AND ICOMCAPID IS NULL")),
              1);
}

// --- Contacts ---------------------------------------------------------------------------------------------

TEST_F(AbiFBeneficiariTest, EachContactNeedsItsValueOnly) {
    Open();
    const struct {
        int tab;
        TfrVoDBRWGrid *frame;
        TVoDBEdit *edit;
        QString message;
        const char *stored;
    } cases[] = {
        {TfmBeneficiari::tabTelefono, window->frNumTel, window->frNumTel->xdeNumTelefono,
         Invalid("Numero telefonico"), "SELECT STEBTELEFONO FROM TTEB_TELEFONO"},
        {TfmBeneficiari::tabMail, window->frEmailBen, window->frEmailBen->xdeEmail,
         Invalid("Indirizzo E-Mail"), "SELECT SEMBEMAIL FROM TEMB_EMAIL"},
        {TfmBeneficiari::tabWeb, window->frWeb, window->frWeb->xdeWeb, Invalid("Sito Web"),
         "SELECT SSWBSITO FROM TSWB_SITIWEB"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        Tab(c.tab);
        ASSERT_TRUE(c.frame->xacInsert->Execute());
        VoTypeInto(c.edit, QStringLiteral("   "));
        messages->Clear();
        c.frame->xacPost->Execute();
        EXPECT_EQ(messages->Texts(), QStringList{c.message});
        EXPECT_EQ(QApplication::focusWidget(), c.edit);
        VoTypeInto(c.edit, QStringLiteral("non verificato"));
        messages->Clear();
        c.frame->xacPost->Execute();
        EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
        EXPECT_EQ(VoRowTexts(QString::fromLatin1(c.stored)), QStringList{"non verificato"});
    }
}

// --- The window -----------------------------------------------------------------------------------------

TEST_F(AbiFBeneficiariTest, EachTabReadsItsListsAndHistoricisedBeneficiariesStayHidden) {
    VoExecSQL(QStringLiteral("UPDATE TBEN_BENEFICIARI SET LBENEND = 1 WHERE IBENID = :b"),
              {{QStringLiteral("b"), other}});
    Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Beneficiari"));
    EXPECT_EQ(window->pcContenitore->count(), 9);
    const QList<QList<TVoQueryCollection *>> lists = {
        {dm->xqcSedi},
        {dm->xqcDatiBancari, dm->xqcDelegatiConto, dm->xqcQuietanzante},
        {dm->xqcDatiLegali},
        {dm->xqcTelefoni},
        {dm->xqcEmail},
        {dm->xqcWeb},
        {dm->xqcRappresentanti},
        {dm->xqcSostituente, dm->qcdSostituito},
        {dm->xqcDurc}};
    for (int tab = 0; tab < 9; ++tab) {
        SCOPED_TRACE(tab);
        Tab(tab);
        EXPECT_EQ(BenType.DetailTab, tab);
        for (int t = 0; t < 9; ++t)
            for (TVoQueryCollection *c : lists[t])
                EXPECT_EQ(c->Active(), t == tab);
        EXPECT_FALSE(dm->xqcBeneficiari->Locate(QStringLiteral("IBENID"), other));
        ASSERT_TRUE(dm->xqcBeneficiari->Locate(QStringLiteral("IBENID"), ben));
    }
}

TEST_F(AbiFBeneficiariTest, TheIbanQuestionReturnsUntilAnsweredYes) {
    const int bank = VoTestBank(QStringLiteral("06230"), roma);
    const int branch = VoTestBranch(bank, QStringLiteral("03202"));
    const int account = VoTestBankData(ben, 3, branch, QStringLiteral("000000000007"));
    VoExecSQL(QStringLiteral("UPDATE TYXAR_XMLARCHIVIO SET ILOCKED = NULL WHERE IYXARID = 5002"));
    const QString flag =
        QStringLiteral("SELECT COALESCE(ILOCKED, 0) FROM TYXAR_XMLARCHIVIO WHERE IYXARID = 5002");
    const QString iban =
        QStringLiteral("SELECT COALESCE(SSPRBENIBAN, '-') FROM TSPRBEN WHERE ISPRBENID = :a");
    messages->Push(mrNo);
    Open();
    EXPECT_EQ(messages->Texts(), QStringList{kIbanQuestion});
    EXPECT_EQ(VoRowTexts(flag), QStringList{"0"});
    EXPECT_EQ(VoRowTexts(iban, {{QStringLiteral("a"), account}}), QStringList{"-"});
    Close();
    messages->Push(mrYes);
    Open();
    EXPECT_EQ(messages->Texts(), (QStringList{kIbanQuestion, QStringLiteral("Operazione terminata!")}));
    EXPECT_EQ(VoRowTexts(flag), QStringList{"1"});
    EXPECT_EQ(VoRowTexts(iban, {{QStringLiteral("a"), account}}), QStringList{"IT88P0623003202000000000007"});
    Close();
    Open();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(AbiFBeneficiariTest, ADetailBeingTypedIsAskedForBeforeTheTabTheBeneficiaryOrTheWindowChanges) {
    Open();
    Tab(TfmBeneficiari::tabTelefono);
    TfrNumTelefono *f = window->frNumTel;
    const auto typePhone = [&] {
        ASSERT_TRUE(f->xacInsert->Execute());
        VoTypeInto(f->xdeNumTelefono, QStringLiteral("06 123456"));
    };
    const QStringList asked{KVoCDoc_SalvaChiudi};

    // Another tab: Cancel keeps the tab and the typing, Yes saves and moves on.
    typePhone();
    messages->Clear();
    messages->Push(mrCancel);
    EXPECT_FALSE(window->pcContenitore->SetActivePage(TfmBeneficiari::tabMail));
    EXPECT_EQ(messages->Texts(), asked);
    EXPECT_EQ(window->pcContenitore->currentIndex(), int(TfmBeneficiari::tabTelefono));
    EXPECT_EQ(dm->xqcTelefoni->State(), dsInsert);
    EXPECT_EQ(f->xdeNumTelefono->text(), QStringLiteral("06 123456"));
    messages->Push(mrYes);
    EXPECT_TRUE(window->pcContenitore->SetActivePage(TfmBeneficiari::tabMail));
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT STEBTELEFONO FROM TTEB_TELEFONO")), QStringList{"06 123456"});

    // Another beneficiary: Cancel keeps the beneficiary and the typing.
    Tab(TfmBeneficiari::tabTelefono);
    typePhone();
    messages->Clear();
    messages->Push(mrCancel);
    window->frBen->xacNext->Execute();
    EXPECT_EQ(messages->Texts(), asked);
    EXPECT_EQ(dm->xqcBeneficiari->FieldByName(QStringLiteral("IBENID"))->AsInteger(), ben);
    EXPECT_EQ(dm->xqcTelefoni->State(), dsInsert);

    // Closing, the beneficiary unchanged: asked, and Cancel keeps the window and the typing.
    messages->Clear();
    messages->Push(mrCancel);
    window->close();
    EXPECT_EQ(messages->Texts(), asked);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dm->xqcTelefoni->State(), dsInsert);
    EXPECT_EQ(f->xdeNumTelefono->text(), QStringLiteral("06 123456"));
}

TEST_F(AbiFBeneficiariTest, ClosingAsksForThePayeeBeingTyped) {
    VoTestBankData(ben, 3, 0, QString());
    Open();
    Tab(TfmBeneficiari::tabPagamenti);
    window->pcDetail->setCurrentWidget(window->tsQuietanzante);
    ASSERT_TRUE(window->frQuietanzante->xacInsert->Execute());
    VoTypeInto(window->frQuietanzante->xdeNominativo, QStringLiteral("Mario Rossi"));
    messages->Clear();
    messages->Push(mrCancel);
    window->close();
    EXPECT_EQ(messages->Texts(), QStringList{KVoCDoc_SalvaChiudi});
    ASSERT_TRUE(window);
    EXPECT_EQ(dm->xqcQuietanzante->State(), dsInsert);
}

TEST_F(AbiFBeneficiariTest, ALocalityChosenWithF8OnASavedSeatStartsItsEdit) {
    Open();
    TfrSedi *f = window->frSediBen;
    NewSeat(QStringLiteral("Via Roma"), roma, QStringLiteral("00185"));
    f->xacPost->Execute();
    ASSERT_EQ(dm->xqcSedi->State(), dsBrowse);
    f->ShowDetail();
    f->xdeCAP->setFocus(Qt::OtherFocusReason);
    TVoSearchSeen seen;
    VoSearchAndChoose(QStringLiteral("OSTIA"), &seen);
    EXPECT_EQ(seen.titles, (QStringList{"CAP", "Quartiere/Frazione"}));
    EXPECT_EQ(seen.rows, 2);
    EXPECT_EQ(dm->xqcSedi->State(), dsEdit);
    EXPECT_EQ(f->xdeCAP->text(), QStringLiteral("00121"));
    EXPECT_EQ(f->xdeFraQua->text(), QStringLiteral("OSTIA"));
    f->xacPost->Execute();
    EXPECT_EQ(
        VoRowTexts(QStringLiteral(
                       "SELECT fra.SFRAQUADESC FROM TSEB_SEDIBEN s JOIN TCOMCAP cc ON cc.ICOMCAPID = "
                       "s.ICOMCAPID JOIN TFRAQUA fra ON fra.IFRAQUAID = cc.IFRAQUAID WHERE s.IBENID = :b"),
                   {{QStringLiteral("b"), ben}}),
        QStringList{"OSTIA"});
}

TEST_F(AbiFBeneficiariTest, ThePublishersRegistryReadsEditori) {
    for (const bool publishers : {false, true}) {
        SCOPED_TRACE(publishers);
        dm->BenPublishersMode = publishers;
        Open();
        EXPECT_EQ(window->windowTitle(),
                  publishers ? QStringLiteral("Editori") : QStringLiteral("Beneficiari"));
        EXPECT_EQ(!window->frBen->gbEditore->isHidden(), publishers);
        Close();
    }
}
