#include "AbcFNuovoAnno.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"

#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

// Schools marked deleted are not offered: a register linked to one would vanish from the list.
const char *const kSchoolListSQL = "SELECT IDWGID, SDOWLDESC FROM VDOW_DATAOWNER WHERE ##WHERE## AND "
                                   "(DDELETE_DOW IS NULL)";
const char *const kRegisterListSQL = "SELECT iFacId, sFacDesc FROM TFac_Velisto WHERE ##WHERE## AND %1";
const char *const kUnlinkedRegisters = " AND (iFacId NOT IN (SELECT iFacId FROM TDwgFac))";
const char *const kYearListSQL = " SELECT IANFID, IANFVALORE, DANFVOREXINIZIO, DANFVOREXFINE FROM "
                                 "TANF_ANNIFINANZ WHERE ##WHERE## ORDER BY IANFVALORE";

const char *const kDataOwnerSQL =
    "SELECT df.iDwgFacId, dow.IDWGID, dow.SDOWSDESC, dow.SDOWLDESC, dow.IDOWID_P, fac.iFacId, fac.sFacDesc "
    "FROM TDwgFac df INNER JOIN VDOW_DATAOWNER dow ON (df.iDwgId = dow.IDWGID) INNER JOIN TFac_Velisto "
    "fac ON (df.iFacId = fac.iFacId) WHERE (dow.DDELETE_DOW IS NULL) AND %1 ORDER BY dow.IDOWID_P";
const char *const kDataOwnerInsertSQL =
    "INSERT INTO TDwgFac (iDwgFacId, iDwgId, iFacId) VALUES (:VOGENID, :iDwgId, :iFacId);";
const char *const kDataOwnerDeleteSQL = "DELETE FROM TDwgFac WHERE iDwgFacId = :VOCURRID;";

const char *const kYearsSQL =
    "SELECT dfa.iDwgFacAnfId, dfa.DDWGFACANFINIZIO, dfa.DDWGFACANFFINE, anf.IANFID, anf.IANFVALORE, "
    "anf.DANFVOREXINIZIO, anf.DANFVOREXFINE FROM TDwgFacAnf dfa INNER JOIN TANF_ANNIFINANZ anf ON "
    "(dfa.IANFID = anf.IANFID) WHERE dfa.iDwgFacId = :iDwgFacId ORDER BY anf.IANFVALORE";
const char *const kYearsInsertSQL =
    " INSERT INTO TDwgFacAnf (IDWGFACANFID, IANFID, IDWGFACID, DDWGFACANFINIZIO, DDWGFACANFFINE) VALUES "
    "(:VOGENID, :IANFID, :IDWGFACID, :DDWGFACANFINIZIO, :DDWGFACANFFINE)";
const char *const kYearsUpdateSQL =
    " UPDATE TDwgFacAnf  SET IANFID = :IANFID,      DDWGFACANFINIZIO = :DDWGFACANFINIZIO,      "
    "DDWGFACANFFINE = :DDWGFACANFFINE WHERE iDwgFacAnfId = :VOCURRID";
const char *const kYearsDeleteSQL = "DELETE FROM TDwgFacAnf WHERE iDwgFacAnfId = :VOCURRID;";

const char *const kYearsOfLinkSQL =
    "SELECT FIRST 1 iDwgFacAnfId FROM TDwgFacAnf WHERE iDwgFacId = :iDwgFacId";
const char *const kYearsOfLinkMessage =
    "Attenzione ! \r\nIl Velisto dell'istituto è aperto per uno o più anni finanziari: per cancellarlo "
    "bisogna prima cancellarne gli anni finanziari. ";
const char *const kVouchersOfYearMessage =
    "Attenzione ! \r\nNell'anno finanziario ci sono dei buoni di carico o di scarico: non può essere "
    "cancellato. ";

const char *const kLinkOfPairSQL =
    "SELECT FIRST 1 iDwgFacId FROM TDwgFac WHERE iDwgId = :iDwgId AND iFacId = :iFacId";
const char *const kLinkOfPairMessage = "Attenzione ! \r\nIl Velisto è già collegato a questo istituto. ";

QLabel *BoldLabel(QWidget *parent) {
    auto *label = new QLabel(parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A label placed beside the control it names (the name used in the control's messages).
QLabel *Caption(const QString &text, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

void Bind(TVoDBControl *control, TVoDataSource *source, const char *field) {
    control->SetDataSource(source);
    control->SetDataField(QString::fromLatin1(field));
}

void RefuseEmpty(const TVoDBLookupEdit *lookup, bool &Ok, QString &Msg, const QString &word) {
    if (lookup->text().isEmpty()) {
        Ok = false;
        Msg = word;
    }
}

} // namespace

// --- TfrIstituti ------------------------------------------------------------------------------------

static QString RegisterListSQL(const TAbcNuovoAnnoProfile &profile) {
    return QString::fromLatin1(kRegisterListSQL)
        .arg(AbcOwnRegisters(profile.DurableGoods, QStringLiteral("ITFCID")));
}

TfrIstituti::TfrIstituti(const TAbcNuovoAnnoProfile &profile, QWidget *parent)
    : TfrVoDBRWGrid(parent), m_profile(profile) {
    grFrame->AddColumn(QStringLiteral("sdowldesc"), QStringLiteral("Istituto"), 300);
    grFrame->AddColumn(QStringLiteral("sFacDesc"), QStringLiteral("Velisto"), 300);

    xelIstituto = new TVoDBLookupEdit(tsDetail);
    xelIstituto->SetKeyField(QStringLiteral("iDwgId"));
    xelIstituto->SetListField(QStringLiteral("sDowLDesc"));
    xelIstituto->SetSearchField(QStringLiteral("sDowLDesc"));
    xelIstituto->SetSearchFormClass(QStringLiteral("TfmVoSearch"));
    xelIstituto->SetAutoSeek(false);
    xelIstituto->SetDefaultValue(0);
    laIstituto = Caption(QStringLiteral("Istituto"), xelIstituto, tsDetail);
    xelVelist = new TVoDBLookupEdit(tsDetail);
    xelVelist->SetKeyField(QStringLiteral("iFacId"));
    xelVelist->SetListField(QStringLiteral("sFacDesc"));
    xelVelist->SetSearchField(QStringLiteral("sFacDesc"));
    laVelist = Caption(QStringLiteral("Velisto"), xelVelist, tsDetail);
    auto *form = new QFormLayout(tsDetail);
    form->addRow(laIstituto, xelIstituto);
    form->addRow(laVelist, xelVelist);
    Bind(xelIstituto, xdsMain, "iDwgId");
    Bind(xelVelist, xdsMain, "iFacId");

    // A link is made or removed, never changed: not even by typing over a row of the list.
    xacEdit->SetLocked(true);
    xacEdit->setVisible(false);
    xdsMain->SetAutoEdit(false);

    xelIstituto->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xelIstitutoShowSearchForm(s, f); });
    xelIstituto->OnValidate.Add(
        [this](QWidget *s, bool &ok, QString &msg) { xelIstitutoValidate(s, ok, msg); });
    xelVelist->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xelVelistShowSearchForm(s, f); });
    xelVelist->OnValidate.Add([this](QWidget *s, bool &ok, QString &msg) { xelVelistValidate(s, ok, msg); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *s) { xdsMainAfterStateChange(s); });
}

void TfrIstituti::xelIstitutoShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    SetSearchForm(Form, {QStringLiteral("Istituto")}, {300});
}

void TfrIstituti::xelIstitutoValidate(QWidget *, bool &Ok, QString &Msg) {
    RefuseEmpty(xelIstituto, Ok, Msg, QStringLiteral("Istituto"));
}

void TfrIstituti::xelVelistShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    SetSearchForm(Form, {QStringLiteral("Velisto")}, {300});
}

void TfrIstituti::xelVelistValidate(QWidget *, bool &Ok, QString &Msg) {
    RefuseEmpty(xelVelist, Ok, Msg, QStringLiteral("Velisto"));
}

void TfrIstituti::xdsMainAfterStateChange(TVoDataSource *) {
    QString sql = RegisterListSQL(m_profile);
    // Where a register belongs to one school at most, a new link offers only the registers without one.
    if (m_profile.OnlyUnlinkedRegisters && xdsMain->State() != dsBrowse)
        sql += QString::fromLatin1(kUnlinkedRegisters);
    xelVelist->SetListSQL(sql);
    xelVelist->RefreshList();
}

// --- TfrAnniFinanziari ------------------------------------------------------------------------------

TfrAnniFinanziari::TfrAnniFinanziari(const TAbcNuovoAnnoProfile &profile, QWidget *parent)
    : TfrVoDBRWGrid(parent), m_profile(profile) {
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    grFrame->AddColumn(QStringLiteral("ianfvalore"), QStringLiteral("Anno Finanziario"), 100, right);
    grFrame->AddColumn(QStringLiteral("danfvorexinizio"), QStringLiteral("Inizio"), 100, right);
    grFrame->AddColumn(QStringLiteral("danfvorexfine"), QStringLiteral("Fine"), 100, right);
    grFrame->AddColumn(QStringLiteral("dDwgFacanfinizio"), QStringLiteral("Inizio Personalizzato"), 100,
                       right);
    grFrame->AddColumn(QStringLiteral("dDwgFacanffine"), QStringLiteral("Fine Personalizzato"), 100, right);

    xdlAnnoFin = new TVoDBLookupEdit(tsDetail);
    xdlAnnoFin->SetKeyField(QStringLiteral("ianfid"));
    xdlAnnoFin->SetListField(QStringLiteral("ianfvalore"));
    SetControlWritable(xdlAnnoFin, false);
    laAnnoFin = Caption(QStringLiteral("Anno Finanziario"), xdlAnnoFin, tsDetail);
    laDataInizio = BoldLabel(tsDetail);
    laInizio = Caption(QStringLiteral("Inizio"), laDataInizio, tsDetail);
    laDataFine = BoldLabel(tsDetail);
    laFine = Caption(QStringLiteral("Fine"), laDataFine, tsDetail);
    cbImpostazioni = new QCheckBox(QStringLiteral("Impostazioni personalizzate"), tsDetail);

    gbDatePers = new QGroupBox(QStringLiteral("Date Personalizzate"), tsDetail);
    xddInizio = new TVoDBDateEdit(gbDatePers);
    xddFine = new TVoDBDateEdit(gbDatePers);
    laInizioPers = Caption(QStringLiteral("Inizio"), xddInizio, gbDatePers);
    laFinePers = Caption(QStringLiteral("Fine"), xddFine, gbDatePers);
    for (TVoDBDateEdit *edit : {xddInizio, xddFine}) {
        edit->SetPickerKey(119);
        edit->SetDialogTitle(QStringLiteral("Scegli una data"));
    }
    auto *pers = new QFormLayout(gbDatePers);
    pers->addRow(laInizioPers, xddInizio);
    pers->addRow(laFinePers, xddFine);
    gbDatePers->setVisible(false);

    auto *grid = new QGridLayout(tsDetail);
    grid->addWidget(laAnnoFin, 0, 0);
    grid->addWidget(xdlAnnoFin, 0, 1, 1, 3);
    grid->addWidget(laInizio, 1, 0);
    grid->addWidget(laDataInizio, 1, 1);
    grid->addWidget(laFine, 1, 2);
    grid->addWidget(laDataFine, 1, 3);
    grid->addWidget(cbImpostazioni, 2, 0, 1, 4);
    grid->addWidget(gbDatePers, 3, 0, 1, 4);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(4, 1);

    Bind(xdlAnnoFin, xdsMain, "ianfid");
    Bind(xddInizio, xdsMain, "dDwgFacanfinizio");
    Bind(xddFine, xdsMain, "dDwgFacanffine");

    xdlAnnoFin->OnChange.Add([this](QWidget *s) { xdlAnnoFinChange(s); });
    xdlAnnoFin->OnKeyDown.Add(
        [this](QWidget *s, int &key, Qt::KeyboardModifiers shift) { xdlAnnoFinKeyDown(s, key, shift); });
    xdlAnnoFin->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlAnnoFinShowSearchForm(s, f); });
    connect(cbImpostazioni, &QCheckBox::toggled, this,
            [this] { VoGuarded([this] { cbImpostazioniClick(); }); });
    // Switching the custom dates off by hand takes them away: hidden, they would still be saved.
    connect(cbImpostazioni, &QCheckBox::clicked, this, [this](bool checked) {
        if (!checked && xdsMain->Editing())
            VoGuarded([this] {
                xddInizio->SetDate(QDate());
                xddFine->SetDate(QDate());
            });
    });
    xdsMain->OnDataChange.Add([this](TVoDataSource *s, TVoField *f) { xdsMainDataChange(s, f); });
    xddInizio->OnButtonClick.Add([this](QWidget *s) { xddInizioButtonClick(s); });
    xddFine->OnButtonClick.Add([this](QWidget *s) { xddFineButtonClick(s); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *s) { xdsMainAfterStateChange(s); });
    xacInsert->OnExecute.Add([this](TVoDataAction *s) { xacInsertExecute(s); });
    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
}

void TfrAnniFinanziari::ShowDefaultDates() {
    const int year = xdlAnnoFin->text().trimmed().toInt(); // 0 when not a number
    // A year without its dates (out of range, no row, or dates never set) shows none.
    DateWindow window{VoNoDate, VoNoDate};
    if (year >= m_profile.FirstYear && year <= m_profile.LastYear)
        GetSystemYearDates(year, window);
    laDataInizio->setText(FormatDays(window.low));
    laDataFine->setText(FormatDays(window.high));
}

void TfrAnniFinanziari::xdlAnnoFinChange(QWidget *) {
    ShowDefaultDates();
}

void TfrAnniFinanziari::xdlAnnoFinKeyDown(QWidget *, int &, Qt::KeyboardModifiers) {
    ShowDefaultDates();
}

void TfrAnniFinanziari::xdlAnnoFinShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->SetCaption(QStringLiteral("Anni Finanziari"));
    Form->SetFormWidth(600);
    SetSearchForm(Form,
                  {QStringLiteral("Anno Finanziario"), QStringLiteral("Inizio"), QStringLiteral("Fine")},
                  {100, 100, 100});
}

void TfrAnniFinanziari::cbImpostazioniClick() {
    gbDatePers->setVisible(cbImpostazioni->isChecked());
}

// On a new current row only: a custom start emptied while it is typed keeps its edits in view.
void TfrAnniFinanziari::xdsMainDataChange(TVoDataSource *, TVoField *Field) {
    if (Field)
        return;
    const TVoQueryCollection *c = DataSet();
    const TVoField *start = c && c->Active() ? c->FindField(QStringLiteral("ddwgfacanfinizio")) : nullptr;
    cbImpostazioni->setChecked(start && !start->IsNull());
}

void TfrAnniFinanziari::PresetDate(TVoDBDateEdit *edit, const QLabel *shown) {
    if (!edit->IsEmpty())
        return;
    const double day = ParseDays(shown->text());
    if (!VoIsNoDate(day))
        edit->SetDate(DaysToDate(day));
}

void TfrAnniFinanziari::xddInizioButtonClick(QWidget *) {
    PresetDate(xddInizio, laDataInizio);
}

void TfrAnniFinanziari::xddFineButtonClick(QWidget *) {
    PresetDate(xddFine, laDataFine);
}

void TfrAnniFinanziari::xdsMainAfterStateChange(TVoDataSource *) {
    SetControlWritable(xdlAnnoFin, xdsMain->State() == dsInsert);
}

void TfrAnniFinanziari::xacInsertExecute(TVoDataAction *Sender) {
    cbImpostazioni->setChecked(false);
    Sender->ExecuteDefault();
    // The frame placed the focus before the state rule made the year writable.
    if (xdsMain->State() == dsInsert)
        xdlAnnoFin->setFocus(Qt::OtherFocusReason);
}

void TfrAnniFinanziari::xacPostExecute(TVoDataAction *Sender) {
    // What was typed and not yet left is written first: a date that does not exist is refused here.
    if (!xdsMain->UpdateRecord() || !CheckPost())
        return;
    QScopedValueRollback checked(m_postChecked, true);
    Sender->ExecuteDefault();
}

void TfrAnniFinanziari::CheckOtherPost() {
    if (!m_postChecked && !CheckPost())
        throw EVoAbort();
}

bool TfrAnniFinanziari::CheckPost() {
    TVoQueryCollection *c = DataSet();
    TRegisterYearInput in;
    in.inserting = xdsMain->State() == dsInsert;
    in.schoolRegisterId = SchoolRegister ? SchoolRegister() : 0;
    in.yearValue = xdlAnnoFin->text().trimmed().toInt(); // 0 when not a number
    in.customStart = xddInizio->AsDays();
    in.customEnd = xddFine->AsDays();
    in.defaultStart = ParseDays(laDataInizio->text());
    in.defaultEnd = ParseDays(laDataFine->text());
    in.customDatesShown = !gbDatePers->isHidden();
    if (!in.inserting) {
        const auto stored = [c](const char *custom, const char *standard) {
            const QVariant own = c->FieldByName(QString::fromLatin1(custom))->OldValue();
            return VariantToDays(own.isNull() ? c->FieldByName(QString::fromLatin1(standard))->OldValue()
                                              : own);
        };
        in.registerYearId = c->FieldByName(QStringLiteral("iDwgFacAnfId"))->AsInteger();
        in.storedYearValue = c->FieldByName(QStringLiteral("IANFVALORE"))->OldValue().toInt();
        in.storedStart = stored("DDWGFACANFINIZIO", "DANFVOREXINIZIO");
        in.storedEnd = stored("DDWGFACANFFINE", "DANFVOREXFINE");
    }
    if (m_profile.WritesContext) {
        // The program's lookups of the neighbours read the school register and the register-year to
        // leave out from the working context.
        CurrentRegisterYearId = in.inserting ? -1 : in.registerYearId;
        in.schoolRegisterId = CurrentSchoolRegisterId;
        in.registerYearId = CurrentRegisterYearId;
    }

    const TRegisterYearCheck check = CheckRegisterYearPost(in);
    if (!check.ok) {
        if (check.clearYear)
            xdlAnnoFin->SetKeyValue(QVariant());
        switch (check.focus) {
        case TRegisterYearCheck::FocusYear:
            xdlAnnoFin->setFocus(Qt::OtherFocusReason);
            break;
        case TRegisterYearCheck::FocusStart:
            xddInizio->setFocus(Qt::OtherFocusReason);
            break;
        case TRegisterYearCheck::FocusEnd:
            xddFine->setFocus(Qt::OtherFocusReason);
            break;
        case TRegisterYearCheck::FocusNone:
            break;
        }
        return false;
    }
    m_adjustments = check.adjustments;
    if (!in.inserting) {
        // The neighbours move in the same transaction as the row, before it.
        c->SQLUpdate.Clear();
        for (qsizetype i = 0; i < m_adjustments.size(); ++i)
            c->SQLUpdate.Add(QString::fromLatin1(AbcAdjustRegisterYearSQL));
        c->SQLUpdate.Add(QString::fromLatin1(kYearsUpdateSQL));
    }
    return true;
}

// --- TfmNuovoAnno -----------------------------------------------------------------------------------

TfmNuovoAnno::TfmNuovoAnno(const TAbcNuovoAnnoProfile &profile, QWidget *parent)
    : TfmVoChildDB(parent), m_profile(profile) {
    setObjectName(QStringLiteral("fmNuovoAnno"));
    setWindowTitle(QStringLiteral("Nuovo Anno"));
    OpenMaximized = true;
    setMinimumSize(640, 480);

    for (TVoQueryCollection **c : {&xqcDataOwner, &xqcAnniFinanziari}) {
        *c = new TVoQueryCollection(this);
        (*c)->SetPacketRecords(25);
        (*c)->SetAutoBuildSQL(false);
        (*c)->SetConfirmations(cfTrash | cfDisable | cfDelete);
    }
    xqcDataOwner->setObjectName(QStringLiteral("xqcDataOwner"));
    xqcAnniFinanziari->setObjectName(QStringLiteral("xqcAnniFinanziari"));
    xqcDataOwner->AfterScroll.Add([this](TVoQueryCollection *s) { xqcDataOwnerAfterScroll(s); });
    xqcAnniFinanziari->VoBeforeExec.Add(
        [this](TVoQueryCollection *s, TVoQueryProp &p, bool &a) { xqcAnniFinanziariVoBeforeExec(s, p, a); });

    frFIstituti = new TfrIstituti(profile);
    frFIstituti->setObjectName(QStringLiteral("frFIstituti"));
    frFIstituti->setToolTip(QStringLiteral("Istituti"));
    frFAnniFinanziari = new TfrAnniFinanziari(profile);
    frFAnniFinanziari->setObjectName(QStringLiteral("frFAnniFinanziari"));
    frFAnniFinanziari->setToolTip(QStringLiteral("Anni Finanziari"));
    frFAnniFinanziari->SchoolRegister = [this] { return iDwgFacId; };
    spSplitter = new QSplitter(Qt::Vertical, this);
    spSplitter->addWidget(frFIstituti);
    spSplitter->addWidget(frFAnniFinanziari);
    spSplitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(spSplitter);
}

void TfmNuovoAnno::FormCreate() {
    TfmVoChildDB::FormCreate();
    frFIstituti->xelIstituto->SetListSQL(QString::fromLatin1(kSchoolListSQL));
    frFIstituti->xelVelist->SetListSQL(RegisterListSQL(m_profile));
    TVoDBLookupEdit *year = frFAnniFinanziari->xdlAnnoFin;
    year->SetListSQL(QString());
    year->SetListSQL(QString::fromLatin1(kYearListSQL));
    year->RefreshList();

    xqcDataOwner->SetConnection(qqoVoGlobConn);
    xqcDataOwner->SetCommandText(
        QString::fromLatin1(kDataOwnerSQL)
            .arg(AbcOwnRegisters(m_profile.DurableGoods, QStringLiteral("fac.ITFCID"))));
    xqcDataOwner->SQLInsert.Add(QString::fromLatin1(kDataOwnerInsertSQL));
    xqcDataOwner->SQLDelete.Add(QString::fromLatin1(kDataOwnerDeleteSQL));

    xqcAnniFinanziari->SetConnection(qqoVoGlobConn);
    xqcAnniFinanziari->SetCommandText(QString::fromLatin1(kYearsSQL));
    xqcAnniFinanziari->SQLInsert.Add(QString::fromLatin1(kYearsInsertSQL));
    xqcAnniFinanziari->SQLDelete.Add(QString::fromLatin1(kYearsDeleteSQL));
    xqcAnniFinanziari->Params().CreateParam(QStringLiteral("idwgFacid"), QMetaType::Int);

    frFIstituti->SetDataSet(xqcDataOwner);
    frFAnniFinanziari->SetDataSet(xqcAnniFinanziari);
    // Hooked after the frames, so that they run after the data sources have written and checked
    // the controls.
    xqcAnniFinanziari->BeforePost.Add([this](TVoQueryCollection *) { frFAnniFinanziari->CheckOtherPost(); });
    xqcDataOwner->BeforeDelete.Add([this](TVoQueryCollection *) {
        RefuseDeleteWhileUsed(QString::fromLatin1(kYearsOfLinkSQL), QStringLiteral("iDwgFacId"),
                              xqcDataOwner->FieldByName(QStringLiteral("iDwgFacId"))->Value(),
                              QString::fromUtf8(kYearsOfLinkMessage));
    });
    xqcDataOwner->BeforeWrite.Add(
        [this](TVoQueryCollection *s, int kind) { xqcDataOwnerBeforeWrite(s, kind); });
    xqcAnniFinanziari->BeforeDelete.Add([this](TVoQueryCollection *) {
        RefuseDeleteWhileUsed(m_profile.VouchersOfYearSQL, QStringLiteral("iDwgFacAnfId"),
                              xqcAnniFinanziari->FieldByName(QStringLiteral("iDwgFacAnfId"))->Value(),
                              QString::fromUtf8(kVouchersOfYearMessage));
    });
    // A new link has its key only once saved: its years are read again for it.
    xqcDataOwner->AfterPost.Add([this](TVoQueryCollection *s) { xqcDataOwnerAfterScroll(s); });
    // The neighbours a post moved show their new dates, and a new year its default ones.
    xqcAnniFinanziari->AfterPost.Add([this](TVoQueryCollection *s) { s->Refresh(); });

    TVoColsIndex &upper = frFIstituti->grFrame->ColsIndex();
    upper.Add(0, QStringLiteral("sDowLDesc"), QStringLiteral("sDowLDesc"), true);
    upper.Add(1, QStringLiteral("sFacDesc"), QStringLiteral("sFacDesc"), true);
    frFAnniFinanziari->grFrame->ColsIndex().Add(0, QStringLiteral("iAnfValore"), QStringLiteral("iAnfValore"),
                                                false);

    xqcDataOwner->Open();
}

void TfmNuovoAnno::FormClose(TCloseAction &Action) {
    if (xqcAnniFinanziari->Active())
        xqcAnniFinanziari->Close();
    if (xqcDataOwner->Active())
        xqcDataOwner->Close();
    TfmVoChildDB::FormClose(Action);
}

void TfmNuovoAnno::xqcDataOwnerAfterScroll(TVoQueryCollection *) {
    xqcAnniFinanziari->Close();
    const TVoField *id = xqcDataOwner->FindField(QStringLiteral("idwgFacid"));
    const QVariant selected = id && !xqcDataOwner->IsEmpty() ? id->Value() : QVariant();
    xqcAnniFinanziari->Params().ParamByName(QStringLiteral("idwgFacid")).SetValue(selected);
    xqcAnniFinanziari->Open();
    iDwgFacId = selected.isNull() ? 0 : selected.toInt();
    if (m_profile.WritesContext)
        CurrentSchoolRegisterId = iDwgFacId;
    UpdateYearsWritable();
}

void TfmNuovoAnno::UpdateYearsWritable() {
    frFAnniFinanziari->SetReadOnly(xqcDataOwner->State() != dsBrowse || iDwgFacId <= 0);
}

void TfmNuovoAnno::xqcAnniFinanziariVoBeforeExec(TVoQueryCollection *, TVoQueryProp &Prop, bool &) {
    if (Prop.TableName.trimmed() == QLatin1String("TDWGFACANF") && Prop.Kind == skInsert)
        Prop.Values.Add(QStringLiteral("iDwgFacId"), iDwgFacId);
    const QList<TRegisterYearAdjustment> &moved = frFAnniFinanziari->Adjustments();
    if (Prop.ListKind == skUpdate && Prop.Index < moved.size()) {
        const TRegisterYearAdjustment &a = moved[Prop.Index];
        Prop.Values.AddDate(QStringLiteral("DINIZIO"), a.start);
        Prop.Values.AddDate(QStringLiteral("DFINE"), a.end);
        Prop.Values.Add(QStringLiteral("IDWGFACANFID"), a.registerYearId);
    }
}

void TfmNuovoAnno::xqcDataOwnerBeforeWrite(TVoQueryCollection *, int ListKind) {
    if (ListKind != skInsert)
        return;
    const QVariant school = xqcDataOwner->FieldByName(QStringLiteral("iDwgId"))->Value();
    const QVariant fac = xqcDataOwner->FieldByName(QStringLiteral("iFacId"))->Value();
    VoLockRow(QStringLiteral("TFac_Velisto"), QStringLiteral("iFacId"), fac);
    // The same link twice would list its register-years twice and split them between the two.
    TVoQuery q(QString::fromLatin1(kLinkOfPairSQL));
    q.SetParam(QStringLiteral("iDwgId"), school).SetParam(QStringLiteral("iFacId"), fac);
    q.Open();
    if (!q.Eof())
        throw EVoError(QString::fromUtf8(kLinkOfPairMessage));
}
