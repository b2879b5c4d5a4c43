#pragma once
// The registers of a program: list and detail of description and type (chosen once, when the
// register is made). Each program shows its own register types, with its own statements; a register
// linked to a school is kept.
#include "VoChildDB.h"
#include "VoDBFrames.h"

#include <QString>

class QFormLayout;
class QLabel;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoQueryCollection;
class TVoSearchDialog;

// What tells the two programs' registers windows apart.
struct TAbcFacProfile {
    // The program's registers: those of types 5 and 7, or all the others (AbcOwnRegisters).
    bool DurableGoods = false;
    // The list (with the type's description sTfcLDesc) and the statements of a register.
    QString ListSQL;
    QString InsertSQL;
    QString UpdateSQL;
};

class TfrAbcTFac : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    // typeCaption: the title of the type's column in the list.
    TfrAbcTFac(const QString &typeCaption, QWidget *parent = nullptr);

    QLabel *laDesc;
    TVoDBEdit *xdeDesc;
    QLabel *laTipoFac;
    TVoDBLookupEdit *xelTipoFac;

    void xdeDescValidate(QWidget *Sender, bool &Ok, QString &Msg);
    void xelTipoFacValidate(QWidget *Sender, bool &Ok, QString &Msg);
    void xelTipoFacShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdsMainAfterStateChange(TVoDataSource *Sender);
    void tsDetailShow(TfrVoDBRWGrid *Sender);

protected:
    // The detail's rows, for a program's own controls below description and type.
    QFormLayout *DetailLayout() const { return m_form; }

private:
    QFormLayout *m_form;
};

class TfmAbcFac : public TfmVoChildDB {
    Q_OBJECT
public:
    // The window takes the frame, made by the program.
    TfmAbcFac(const TAbcFacProfile &profile, TfrAbcTFac *frame, QWidget *parent = nullptr);

    TVoQueryCollection *xqcMain;

protected:
    TfrAbcTFac *Frame() const { return m_frame; }
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction &Action) override;

private:
    void xqcMainBeforeDelete(TVoQueryCollection *Sender);

    TAbcFacProfile m_profile;
    TfrAbcTFac *m_frame;
};
