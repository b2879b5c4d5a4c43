#pragma once
// A program's part of the parameters dialog: the register-years of the chosen school (the program's
// registers only), refilled when the school changes, and the working context reloaded when one is
// written.
#include "VoParams.h"
#include "VoUtils.h"

#include <QPointer>

struct TAbcProgram;
class TVoIdComboBox;

class TdmAbcParams : public TdmVouParams {
    Q_OBJECT
public:
    TdmAbcParams(const TAbcProgram &program, QObject *parent = nullptr);

    // The register-years of a school as a program's selector lists them (none for school -1).
    static QList<TVoEnumValue> RegisterYearList(const TAbcProgram &program, int schoolId);

protected:
    void xpmVouParamsAfterCreateCtrl(QObject *Sender, QWidget *Control, TVoParamEntry &Param) override;
    void xpmVouParamsReadParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param, bool &flag) override;
    void xpmVouParamsWriteParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param, bool &flag) override;

private:
    void PlaceControl(QWidget *Control) const;
    void SchoolComboChange(QObject *Sender);
    void ReloadRegisterYearCombo(QObject *Sender);

    const TAbcProgram &m_program;
    std::function<void(QObject *)> m_previousSchoolChange;
    QPointer<TVoIdComboBox> m_registerYearCombo;
};
