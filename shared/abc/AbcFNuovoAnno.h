#pragma once
// Registers linked to schools and opened for financial years. The upper list links a register to a
// school (a link is made and removed, never changed); the lower one opens the selected link for
// financial years, with the years' default dates or custom ones, keeping the years of one link from
// overlapping (AbcUNuovoAnno.h). Both programs run it, each on its own registers (its profile).
#include "AbcUNuovoAnno.h"
#include "VoChildDB.h"
#include "VoDBFrames.h"

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QSplitter;
class TVoDBDateEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;

// What tells the two programs' windows apart.
struct TAbcNuovoAnnoProfile {
    // The program's registers: those of types 5 and 7, or all the others (AbcOwnRegisters).
    bool DurableGoods = false;
    // The years whose default dates are shown beside the year chosen.
    int FirstYear = 1970;
    int LastYear = 2050;
    // Whether a new school register offers only the registers linked to no school yet.
    bool OnlyUnlinkedRegisters = true;
    // Finds a voucher of the register-year :iDwgFacAnfId: such a register-year is kept.
    QString VouchersOfYearSQL;
    // Whether the window keeps CurrentSchoolRegisterId on the school register selected and
    // CurrentRegisterYearId on the register-year being saved (-1 while it is new).
    bool WritesContext = false;
};

class TfrIstituti : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrIstituti(const TAbcNuovoAnnoProfile &profile, QWidget *parent = nullptr);

    QLabel *laIstituto;
    TVoDBLookupEdit *xelIstituto;
    QLabel *laVelist;
    TVoDBLookupEdit *xelVelist;

    void xelIstitutoShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xelIstitutoValidate(QWidget *Sender, bool &Ok, QString &Msg);
    void xelVelistShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xelVelistValidate(QWidget *Sender, bool &Ok, QString &Msg);
    void xdsMainAfterStateChange(TVoDataSource *Sender);

private:
    TAbcNuovoAnnoProfile m_profile;
};

class TfrAnniFinanziari : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrAnniFinanziari(const TAbcNuovoAnnoProfile &profile, QWidget *parent = nullptr);

    QLabel *laAnnoFin;
    TVoDBLookupEdit *xdlAnnoFin;
    QLabel *laInizio;
    QLabel *laDataInizio;
    QLabel *laFine;
    QLabel *laDataFine;
    QCheckBox *cbImpostazioni;
    QGroupBox *gbDatePers;
    QLabel *laInizioPers;
    TVoDBDateEdit *xddInizio;
    QLabel *laFinePers;
    TVoDBDateEdit *xddFine;

    // The school register whose years the frame shows (the window's selection).
    std::function<int()> SchoolRegister;
    // The neighbours that the last post that passed its checks moves with the row, in the order of
    // the update statements that move them.
    const QList<TRegisterYearAdjustment> &Adjustments() const { return m_adjustments; }

    void xdlAnnoFinChange(QWidget *Sender);
    void xdlAnnoFinKeyDown(QWidget *Sender, int &Key, Qt::KeyboardModifiers Shift);
    void xdlAnnoFinShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void cbImpostazioniClick();
    void xdsMainDataChange(TVoDataSource *Sender, TVoField *Field);
    void xddInizioButtonClick(QWidget *Sender);
    void xddFineButtonClick(QWidget *Sender);
    void xdsMainAfterStateChange(TVoDataSource *Sender);
    void xacInsertExecute(TVoDataAction *Sender);
    void xacPostExecute(TVoDataAction *Sender);
    // Runs the checks for a post that did not come through the post action (moving to another row).
    void CheckOtherPost();

private:
    // The checks of a post on what the window shows; when they pass, the update list of an edit is
    // built. False, with the message shown and the focus placed, when they fail.
    bool CheckPost();
    void ShowDefaultDates();
    void PresetDate(TVoDBDateEdit *edit, const QLabel *shown);

    TAbcNuovoAnnoProfile m_profile;
    QList<TRegisterYearAdjustment> m_adjustments;
    bool m_postChecked = false;
};

class TfmNuovoAnno : public TfmVoChildDB {
    Q_OBJECT
public:
    explicit TfmNuovoAnno(const TAbcNuovoAnnoProfile &profile, QWidget *parent = nullptr);

    TfrIstituti *frFIstituti;
    QSplitter *spSplitter;
    TfrAnniFinanziari *frFAnniFinanziari;
    TVoQueryCollection *xqcDataOwner;
    TVoQueryCollection *xqcAnniFinanziari;

    // iDwgFacId of the school register selected in the upper list (0: none).
    int iDwgFacId = 0;

    void xqcDataOwnerAfterScroll(TVoQueryCollection *Sender);
    void xqcAnniFinanziariVoBeforeExec(TVoQueryCollection *Sender, TVoQueryProp &Prop, bool &Allow);

protected:
    void FormCreate() override;
    void FormClose(TCloseAction &Action) override;

private:
    // Years are written only for a saved school register.
    void UpdateYearsWritable();
    // A school is given a register once: inside the write, with the register locked.
    void xqcDataOwnerBeforeWrite(TVoQueryCollection *Sender, int ListKind);

    TAbcNuovoAnnoProfile m_profile;
};
