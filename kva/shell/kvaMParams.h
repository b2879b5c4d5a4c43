#pragma once
// The consumables register's part of the parameters dialog: the register-years of the chosen school,
// refilled when the school changes, and the working context reloaded when one is chosen.
#include "VoParams.h"
#include "VoUtils.h"

#include <QPointer>

class TVoIdComboBox;

class TdmkvaParams : public TdmVouParams {
    Q_OBJECT
public:
    explicit TdmkvaParams(QObject *parent = nullptr);

    // The register-years of a school, as the selector lists them.
    static QList<TVoEnumValue> RegisterYearList(int schoolId);

protected:
    void xpmVouParamsAfterCreateCtrl(QObject *Sender, QWidget *Control, TVoParamEntry &Param) override;
    void xpmVouParamsReadParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param, bool &flag) override;
    void xpmVouParamsWriteParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param, bool &flag) override;

private:
    void SchoolComboChange(QObject *Sender);
    void ReloadRegisterYearCombo(QObject *Sender);

    std::function<void(QObject *)> m_previousSchoolChange;
    QPointer<TVoIdComboBox> m_registerYearCombo;
};

extern TdmkvaParams *dmkvaParams;
