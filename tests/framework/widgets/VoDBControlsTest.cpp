// The data-aware edits on a scratch table, typed into as a user types: dates with their mask,
// calendar and NULLs, check boxes, numbers and amounts in the Italian form, exact money, upper case,
// and the composition of the validators' messages.
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBMoneyEdit.h"
#include "VoDates.h"
#include "VoDialogs.h"
#include "VoQuery.h"
#include "VoTestDb.h"
#include "VoWidgetTest.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QFormLayout>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <limits>

namespace {

class VoDBControlsTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        VoExecSQL(
            QStringLiteral("CREATE TABLE TDBW_ROW (IROWID INTEGER NOT NULL PRIMARY KEY, SDESC VARCHAR(40), "
                           "DNULL DATE, DREQ DATE NOT NULL, LFLAG INTEGER, FAMOUNT DOUBLE PRECISION, "
                           "IQTY INTEGER, BIMPORTO BIGINT, SNOTE VARCHAR(200))"));
        VoExecSQL(QStringLiteral("INSERT INTO TDBW_ROW VALUES (1, 'uno', NULL, '2026-01-15', 1, 1234.5, 3, "
                                 "12345678, 'nota')"));
        qc.SetCommandText(QStringLiteral("SELECT * FROM TDBW_ROW ORDER BY IROWID"));
        qc.SetAutoBuildSQL(true);
        ds.SetDataSet(&qc);

        form = new QFormLayout(&window);
        desc = Add<TVoDBEdit>(QStringLiteral("Descrizione"), QStringLiteral("SDESC"));
        optional = Add<TVoDBDateEdit>(QStringLiteral("Data facoltativa"), QStringLiteral("DNULL"));
        required = Add<TVoDBDateEdit>(QStringLiteral("Data richiesta"), QStringLiteral("DREQ"));
        flag = Add<TVoDBCheckBox>(QStringLiteral("Scaricato"), QStringLiteral("LFLAG"));
        amount = Add<TVoDBNumericEdit>(QStringLiteral("Importo"), QStringLiteral("FAMOUNT"));
        quantity = Add<TVoDBNumericEdit>(QStringLiteral("Quantità"), QStringLiteral("IQTY"));
        money = Add<TVoDBCurrencyEdit>(QStringLiteral("Importo beni"), QStringLiteral("BIMPORTO"));
        note = Add<TVoDBMemo>(QStringLiteral("Note"), QStringLiteral("SNOTE"));
        amount->SetDisplayFormat(QStringLiteral("#,##0.00"));
        money->SetScale(4);
        qc.Open();
        VoShowActive(&window);
    }

    template <typename T> T *Add(const QString &label, const QString &field) {
        auto *control = new T;
        auto *caption = new QLabel(label);
        caption->setBuddy(control);
        form->addRow(caption, control);
        control->Bind(&ds, field);
        return control;
    }

    // Puts the focus in a control and replaces its text by typing.
    static void Retype(QWidget *control, const QString &text) {
        control->setFocus();
        if (auto *line = qobject_cast<QLineEdit *>(control))
            line->selectAll();
        QTest::keyClick(control, Qt::Key_Delete);
        VoType(text);
    }

    static QVariant Stored(const QString &column) {
        return VoSelectValue(QStringLiteral("SELECT %1 FROM TDBW_ROW WHERE IROWID = 1").arg(column));
    }

    TVoQueryCollection qc;
    TVoDataSource ds;
    QWidget window;
    QFormLayout *form = nullptr;
    TVoDBEdit *desc = nullptr;
    TVoDBDateEdit *optional = nullptr;
    TVoDBDateEdit *required = nullptr;
    TVoDBCheckBox *flag = nullptr;
    TVoDBNumericEdit *amount = nullptr;
    TVoDBNumericEdit *quantity = nullptr;
    TVoDBCurrencyEdit *money = nullptr;
    TVoDBMemo *note = nullptr;
};

} // namespace

TEST_F(VoDBControlsTest, DateEditTakesRefusesAndEmptiesDates) {
    EXPECT_EQ(required->Text(), QStringLiteral("15/01/2026"));
    EXPECT_EQ(optional->Text(), TVoDBDateEdit::EmptyText);
    EXPECT_TRUE(optional->IsEmpty());

    Retype(optional, QStringLiteral("01022026"));
    EXPECT_EQ(qc.State(), dsEdit);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("DNULL"))->Value().toDate(), QDate(2026, 2, 1));
    EXPECT_TRUE(messages->Texts().isEmpty());

    Retype(optional, QStringLiteral("31022026"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\n\"31/02/2026\" non è una data valida. ")});
    EXPECT_EQ(QApplication::focusWidget(), optional);
    EXPECT_TRUE(optional->MarkedInvalid());
    EXPECT_EQ(qc.FieldByName(QStringLiteral("DNULL"))->Value().toDate(), QDate(2026, 2, 1));
    EXPECT_FALSE(ds.Post());

    // Emptied, a nullable date is NULL; a required one is refused with its label.
    Retype(optional, QString());
    VoPress(Qt::Key_Tab);
    EXPECT_TRUE(qc.FieldByName(QStringLiteral("DNULL"))->IsNull());
    EXPECT_FALSE(optional->MarkedInvalid());
    messages->Clear();
    Retype(required, QString());
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"Data richiesta\". ")});
    EXPECT_EQ(QApplication::focusWidget(), required);
    Retype(required, QStringLiteral("20012026"));
    ASSERT_TRUE(ds.Post()) << messages->LastText().toStdString();
    EXPECT_TRUE(Stored(QStringLiteral("DNULL")).isNull());
    EXPECT_EQ(Stored(QStringLiteral("DREQ")).toDate(), QDate(2026, 1, 20));
}

// Typed as written, with or without slashes: over a selected date, over it from its start, over the
// date a window put the focus on, or over the default a new row brings while the focus is already in
// the edit (in the last two the mask alone leaves the cursor after the date, where nothing goes in).
TEST_F(VoDBControlsTest, DatesAreTypedAsWritten) {
    enum Arrival { Selected, FromTheStart, PutThere, DefaultArrives };
    const struct {
        const char *typed;
        QDate date;
    } cases[] = {{"01/04/2026", {2026, 4, 1}},
                 {"1/4/2026", {2026, 4, 1}},
                 {"01042026", {2026, 4, 1}},
                 {"30/06/2026", {2026, 6, 30}},
                 {"7.12.2026", {2026, 12, 7}},
                 // A letter typed by mistake is no date, and takes the selected date with it no more.
                 {"g1/4/2026", {2026, 4, 1}}};
    qc.Edit();
    for (const auto &c : cases)
        for (const Arrival arrival : {Selected, FromTheStart, PutThere, DefaultArrives}) {
            SCOPED_TRACE(std::string(c.typed) + " arriving " + std::to_string(arrival));
            TVoField *date = qc.FieldByName(QStringLiteral("DNULL"));
            date->SetValue(arrival == DefaultArrives ? QVariant() : QVariant(QDate(2025, 11, 28)));
            if (arrival == PutThere || arrival == DefaultArrives) {
                desc->setFocus(Qt::MouseFocusReason);
                optional->setFocus(Qt::OtherFocusReason);
                if (arrival == DefaultArrives)
                    date->SetValue(QDate(2025, 11, 28));
            } else {
                optional->setFocus(Qt::MouseFocusReason);
                if (arrival == Selected)
                    optional->selectAll();
                else
                    optional->setCursorPosition(0);
            }
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(c.typed));
            VoPress(Qt::Key_Tab);
            EXPECT_EQ(optional->Text(), c.date.toString(QStringLiteral("dd/MM/yyyy")));
            EXPECT_EQ(date->Value().toDate(), c.date);
        }
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

// A value the row brings while the focus is already in the edit (a proposed number) is replaced by
// what is typed next, not added to.
TEST_F(VoDBControlsTest, AValueTheRowBringsToTheFocusedEditIsReplacedByTyping) {
    qc.Edit();
    const struct {
        QLineEdit *edit;
        const char *field;
        QVariant proposed;
        const char *typed;
    } cases[] = {{desc, "SDESC", QStringLiteral("proposto"), "scritto"}, {quantity, "IQTY", 4, "7"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        TVoField *field = qc.FieldByName(QString::fromLatin1(c.field));
        flag->setFocus(Qt::MouseFocusReason);
        c.edit->setFocus(Qt::OtherFocusReason);
        field->SetValue(c.proposed);
        QTest::keyClicks(c.edit, QString::fromLatin1(c.typed));
        VoPress(Qt::Key_Tab);
        EXPECT_EQ(field->Value().toString(), QString::fromLatin1(c.typed));
    }
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

// A date edit of a dialog, bound to no field, refuses a date that does not exist when the dialog is
// confirmed, and keeps the dialog open with the focus on the date.
TEST_F(VoDBControlsTest, ADialogsDateThatDoesNotExistIsRefused) {
    TfmVoOkCancDlg dialog;
    auto *layout = new QVBoxLayout(dialog.pnClient);
    auto *caption = new QLabel(QStringLiteral("al"));
    auto *date = new TVoDBDateEdit;
    caption->setBuddy(date);
    layout->addWidget(caption);
    layout->addWidget(date);
    date->SetDate(QDate(2026, 1, 15));
    bool confirmed = false;
    QObject::connect(&dialog, &QDialog::accepted, [&] { confirmed = true; });
    VoShowActive(&dialog);
    ASSERT_EQ(QApplication::focusWidget(), date);
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("31/02/2026"));
    VoPress(Qt::Key_Return);
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\n\"31/02/2026\" non è una data valida. ")});
    EXPECT_FALSE(confirmed);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_EQ(date->Text(), QStringLiteral("31/02/2026"));

    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("28/02/2026"));
    VoPress(Qt::Key_Return);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(date->Date(), QDate(2026, 2, 28));
}

// No date and the calendar's first day (day 0) stay apart all the way: typed, read through the
// field, written, read back, and bound as a parameter.
TEST_F(VoDBControlsTest, NoDateAndTheCalendarsFirstDayAreToldApart) {
    const struct {
        const char *typed;
        double days;
        const char *shown;
    } cases[] = {
        {"30121899", 0.0, "30/12/1899"}, {"", VoNoDate, "  /  /    "}, {"31121899", 1.0, "31/12/1899"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        const bool none = c.days == VoNoDate;
        Retype(optional, QString::fromLatin1(c.typed));
        VoPress(Qt::Key_Tab);
        EXPECT_EQ(optional->AsDays(), c.days);
        EXPECT_EQ(qc.FieldByName(QStringLiteral("DNULL"))->AsDate(), c.days);
        ASSERT_TRUE(ds.Post()) << messages->LastText().toStdString();
        EXPECT_EQ(Stored(QStringLiteral("DNULL")).isNull(), none);
        qc.Refresh();
        EXPECT_EQ(qc.FieldByName(QStringLiteral("DNULL"))->IsNull(), none);
        EXPECT_EQ(qc.FieldByName(QStringLiteral("DNULL"))->AsDate(), c.days);
        EXPECT_EQ(optional->Text(), QString::fromLatin1(c.shown));
        TVoQuery q(QStringLiteral("SELECT COUNT(*) FROM TDBW_ROW WHERE DNULL IS NOT DISTINCT FROM :d"));
        q.SetParamDate(QStringLiteral("d"), c.days).Open();
        EXPECT_EQ(q.AsInteger(QStringLiteral("COUNT")), 1);
    }
}

TEST_F(VoDBControlsTest, DatePickerOpensOnF8AfterTheButtonEvent) {
    QStringList events;
    optional->OnButtonClick.Add([&](QWidget *) {
        events << QStringLiteral("button");
        if (optional->IsEmpty())
            optional->setText(QStringLiteral("10/03/2026"));
    });
    optional->OnAcceptDate.Add([&](QWidget *) { events << QStringLiteral("accepted ") + optional->Text(); });
    optional->setFocus();
    QTest::keyClick(optional, Qt::Key_F8);
    QCalendarWidget *calendar = optional->Calendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 10));
    calendar->setSelectedDate(QDate(2026, 3, 12));
    emit calendar->activated(calendar->selectedDate());
    EXPECT_EQ(optional->Calendar(), nullptr);
    EXPECT_EQ(events, (QStringList{QStringLiteral("button"), QStringLiteral("accepted 12/03/2026")}));
    EXPECT_EQ(qc.State(), dsEdit);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("DNULL"))->Value().toDate(), QDate(2026, 3, 12));

    // Another picker key, and none at all on a read-only edit.
    optional->SetPickerKey(113);
    QTest::keyClick(optional, Qt::Key_F2);
    EXPECT_NE(optional->Calendar(), nullptr);
    optional->Calendar()->parentWidget()->hide();
    optional->SetReadOnly(true);
    QTest::keyClick(optional, Qt::Key_F2);
    EXPECT_EQ(optional->Calendar(), nullptr);
}

TEST_F(VoDBControlsTest, CheckBoxWritesOneAndZero) {
    EXPECT_TRUE(flag->isChecked());
    const QPoint box(6, flag->height() / 2);
    QTest::mouseClick(flag, Qt::LeftButton, {}, box);
    EXPECT_EQ(qc.State(), dsEdit);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("LFLAG"))->Value(), QVariant(0));
    ASSERT_TRUE(ds.Post());
    EXPECT_EQ(Stored(QStringLiteral("LFLAG")).toInt(), 0);
    QTest::mouseClick(flag, Qt::LeftButton, {}, box);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("LFLAG"))->Value(), QVariant(1));
    ds.Cancel();

    // A new row holds NULL: unticked. A read-only box does not change.
    qc.Insert();
    EXPECT_FALSE(flag->isChecked());
    flag->SetReadOnly(true);
    QTest::mouseClick(flag, Qt::LeftButton, {}, box);
    flag->setFocus();
    QTest::keyClick(flag, Qt::Key_Space);
    EXPECT_FALSE(flag->isChecked());
    EXPECT_TRUE(qc.FieldByName(QStringLiteral("LFLAG"))->IsNull());
}

TEST_F(VoDBControlsTest, NumbersAndAmountsTheItalianWay) {
    EXPECT_EQ(amount->text(), QStringLiteral("1.234,50"));
    EXPECT_EQ(money->text(), QStringLiteral("1.234,57"));
    amount->setFocus();
    EXPECT_EQ(amount->text(), QStringLiteral("1234,5"));
    Retype(amount, QStringLiteral("2.500,75"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("FAMOUNT"))->AsFloat(), 2500.75);
    EXPECT_EQ(amount->text(), QStringLiteral("2.500,75"));

    Retype(quantity, QStringLiteral("1,5"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\n\"1,5\" non è un numero intero. ")});
    EXPECT_EQ(QApplication::focusWidget(), quantity);
    Retype(quantity, QStringLiteral("12"));

    // An amount kept in ten-thousandths is written exactly.
    money->setFocus();
    EXPECT_EQ(money->text(), QStringLiteral("1234,5678"));
    Retype(money, QStringLiteral("0,0001"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("BIMPORTO"))->AsLargeInt(), 1);
    Retype(money, QStringLiteral("92.233.720.368.547,5807"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(qc.FieldByName(QStringLiteral("BIMPORTO"))->AsLargeInt(), Q_INT64_C(922337203685475807));
    ASSERT_TRUE(ds.Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Stored(QStringLiteral("IQTY")).toInt(), 12);
    EXPECT_EQ(Stored(QStringLiteral("BIMPORTO")).toLongLong(), Q_INT64_C(922337203685475807));

    // Emptied, a number is NULL.
    Retype(amount, QString());
    ASSERT_TRUE(ds.Post());
    EXPECT_TRUE(Stored(QStringLiteral("FAMOUNT")).isNull());
}

TEST_F(VoDBControlsTest, MoneyEditWritesExactlyWhatWasTyped) {
    auto *exact = Add<TVoDBMoneyEdit>(QStringLiteral("Importo esatto"), QStringLiteral("BIMPORTO"));
    exact->show();
    EXPECT_EQ(exact->text(), QStringLiteral("1.234,57"));
    exact->setFocus();
    EXPECT_EQ(exact->text(), QStringLiteral("1234,5678"));
    const qint64 smallest = std::numeric_limits<qint64>::min();
    const struct {
        QString typed;
        qint64 stored;
        QString shown;
    } cases[] = {
        {QStringLiteral("-0,01"), -100, QStringLiteral("-0,01")},
        {QStringLiteral(" 1.234,5 "), 12345000, QStringLiteral("1.234,50")},
        {QStringLiteral("-922.337.203.685.477,5808"), smallest, QStringLiteral("-922.337.203.685.477,58")},
    };
    for (const auto &c : cases) {
        Retype(exact, c.typed);
        VoPress(Qt::Key_Tab);
        EXPECT_EQ(qc.FieldByName(QStringLiteral("BIMPORTO"))->AsLargeInt(), c.stored)
            << c.typed.toStdString();
        EXPECT_EQ(exact->text(), c.shown);
    }
    ASSERT_TRUE(ds.Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Stored(QStringLiteral("BIMPORTO")).toLongLong(), smallest);

    Retype(exact, QStringLiteral("1,23456"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\n\"1,23456\" non è un numero valido. ")});
    EXPECT_EQ(QApplication::focusWidget(), exact);
    Retype(exact, QString());
    ASSERT_TRUE(ds.Post());
    EXPECT_TRUE(Stored(QStringLiteral("BIMPORTO")).isNull());
}

// A number edit keeps every key typed and refuses, naming its field, a text no number shows, a value
// its column cannot hold and one beyond the bounds its collection declares; the field keeps its value.
TEST_F(VoDBControlsTest, NumberEditsTakeOnlyWhatTheirFieldHolds) {
    auto *exact = Add<TVoDBMoneyEdit>(QStringLiteral("Importo esatto"), QStringLiteral("BIMPORTO"));
    exact->show();
    qc.SetFieldBounds(QStringLiteral("FAMOUNT"), TVoBounds::Positive(1000));
    qc.SetFieldBounds(QStringLiteral("BIMPORTO"), TVoBounds::NotNegative(100, QString(), 4));
    const auto refused = [](const QString &sentence) {
        return QStringLiteral("Attenzione ! \r\n%1. ").arg(sentence);
    };
    const auto chars = [&](const char *caption) {
        return refused(QStringLiteral("Nel campo \"%1\" si scrivono solo cifre, la virgola dei decimali e i "
                                      "punti delle migliaia")
                           .arg(QString::fromUtf8(caption)));
    };
    const QString nines(20, QLatin1Char('9'));
    const struct {
        QLineEdit *edit;
        QString typed;
        QString message;
    } cases[] = {
        {amount, QStringLiteral("1e20"), chars("Importo")},
        {quantity, QStringLiteral("+3"), chars("Quantità")},
        {money, QStringLiteral("12 euro"), chars("Importo beni")},
        {exact, QStringLiteral("1E5"), chars("Importo esatto")},
        {quantity, nines, refused(QStringLiteral("Il campo \"Quantità\" non può superare 2.147.483.647"))},
        {amount, QStringLiteral("0"),
         refused(QStringLiteral("Il campo \"Importo\" deve essere maggiore di 0"))},
        {amount, QStringLiteral("1.000,01"),
         refused(QStringLiteral("Il campo \"Importo\" non può superare 1.000"))},
        {money, QStringLiteral("-0,01"),
         refused(QStringLiteral("Il campo \"Importo beni\" non può essere minore di 0"))},
        {exact, QStringLiteral("100,0001"),
         refused(QStringLiteral("Il campo \"Importo esatto\" non può superare 100"))},
        {exact, nines, refused(QStringLiteral("Il campo \"Importo esatto\" non può superare 100"))},
        {money, nines, refused(QStringLiteral("Il campo \"Importo beni\" non può superare 100"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        messages->Clear();
        Retype(c.edit, c.typed);
        EXPECT_EQ(c.edit->text(), c.typed);
        VoPress(Qt::Key_Tab);
        EXPECT_EQ(messages->Texts(), QStringList{c.message});
        EXPECT_EQ(QApplication::focusWidget(), c.edit);
        ds.Cancel();
    }
    EXPECT_EQ(Stored(QStringLiteral("FAMOUNT")).toDouble(), 1234.5);
    EXPECT_EQ(Stored(QStringLiteral("IQTY")).toInt(), 3);
    EXPECT_EQ(Stored(QStringLiteral("BIMPORTO")).toLongLong(), 12345678);

    // Within the bounds, the values save.
    Retype(amount, QStringLiteral("1.000"));
    Retype(money, QStringLiteral("0"));
    messages->Clear();
    ASSERT_TRUE(ds.Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Stored(QStringLiteral("FAMOUNT")).toDouble(), 1000.0);
    EXPECT_EQ(Stored(QStringLiteral("BIMPORTO")).toLongLong(), 0);
}

TEST_F(VoDBControlsTest, TextEditsUpperCaseLengthMemoAndAutoEdit) {
    desc->SetUpperCase(true);
    desc->setMaxLength(5);
    Retype(desc, QStringLiteral("abcdefg"));
    EXPECT_EQ(desc->text(), QStringLiteral("ABCDE"));
    note->setFocus();
    note->selectAll();
    VoType(QStringLiteral("nuova nota"));
    EXPECT_TRUE(desc->Modified() == false) << "written when the user left it";
    VoPress(Qt::Key_Tab);
    ASSERT_TRUE(ds.Post());
    EXPECT_EQ(Stored(QStringLiteral("SDESC")).toString(), QStringLiteral("ABCDE"));
    EXPECT_EQ(Stored(QStringLiteral("SNOTE")).toString(), QStringLiteral("nuova nota"));

    // Without AutoEdit a browsed row cannot be typed into.
    ds.SetAutoEdit(false);
    desc->setFocus();
    VoType(QStringLiteral("x"));
    EXPECT_EQ(qc.State(), dsBrowse);
    EXPECT_EQ(desc->text(), QStringLiteral("ABCDE"));
    ds.Edit();
    VoType(QStringLiteral("X"));
    EXPECT_EQ(desc->text(), QStringLiteral("ABCDEX").left(5));
}

TEST_F(VoDBControlsTest, CharFiltersRefuseTheCharactersTheyLeaveOut) {
    // The stored "uno" shows; its letters can be deleted, no new one typed or pasted.
    desc->SetCharFilter(kfDigits);
    desc->setFocus();
    desc->end(false);
    VoPress(Qt::Key_Backspace);
    VoType(QStringLiteral("4x-5 "));
    EXPECT_EQ(desc->text(), QStringLiteral("un45"));
    QApplication::clipboard()->setText(QStringLiteral("6a"));
    desc->paste();
    EXPECT_EQ(desc->text(), QStringLiteral("un45"));

    desc->SetCharFilter(kfLetters | kfDigits);
    desc->SetUpperCase(true);
    desc->clear();
    VoType(QStringLiteral("ab/1 2"));
    EXPECT_EQ(desc->text(), QStringLiteral("AB12"));
    ASSERT_TRUE(ds.Post());
    EXPECT_EQ(Stored(QStringLiteral("SDESC")).toString(), QStringLiteral("AB12"));
}

TEST_F(VoDBControlsTest, ValidatorsRewriteAndRefuseBeforePost) {
    // A validator may rewrite the text; what it leaves is what is written.
    desc->OnValidate.Add([this](QWidget *, bool &ok, QString &msg) {
        if (desc->IsEmpty()) {
            ok = false;
            msg = QStringLiteral("Codice articolo");
        }
        desc->setText(desc->text().rightJustified(7, QLatin1Char('0')));
        if (desc->text() == QLatin1String("0000uno")) {
            ok = false;
            msg = QStringLiteral("Codice articolo già usato");
        }
    });
    ds.Edit();
    EXPECT_FALSE(ds.Post());
    EXPECT_EQ(messages->LastText(), QStringLiteral("Attenzione ! \r\nCodice articolo già usato. "));
    Retype(desc, QStringLiteral("12"));
    ASSERT_TRUE(ds.Post());
    EXPECT_EQ(Stored(QStringLiteral("SDESC")).toString(), QStringLiteral("0000012"));
    Retype(desc, QString());
    EXPECT_FALSE(ds.Post());
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"Codice articolo\". "));
    // A hidden control is not checked.
    desc->hide();
    EXPECT_TRUE(ds.Post());
}

TEST(VoValidationMessage, ComposesWordsAndKeepsSentences) {
    EXPECT_EQ(VoValidationMessage(QStringLiteral("descrizione"), true),
              QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"descrizione\". "));
    EXPECT_EQ(VoValidationMessage(QStringLiteral("Numero del buono già presente"), false),
              QStringLiteral("Attenzione ! \r\nNumero del buono già presente. "));
    EXPECT_EQ(
        VoValidationMessage(QStringLiteral("Per le banche estere è obbligatorio il codice BIC."), false),
        QStringLiteral("Per le banche estere è obbligatorio il codice BIC."));
    EXPECT_EQ(VoValidationMessage(QStringLiteral("Attenzione!\r\nValore obbligatorio"), true),
              QStringLiteral("Attenzione!\r\nValore obbligatorio"));
    EXPECT_EQ(VoValidationMessage(QString(), true, QStringLiteral("Data di inizio")),
              QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"Data di inizio\". "));
    EXPECT_EQ(VoValidationMessage(QString(), false), QStringLiteral("Attenzione ! \r\nValore non valido. "));
}
