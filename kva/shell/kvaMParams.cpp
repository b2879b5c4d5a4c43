#include "kvaMParams.h"

#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoUtils.h"
#include "kvaUUtil.h"

TdmkvaParams *dmkvaParams = nullptr;

namespace {
// The school is bound as a parameter (the list used to be formatted with the id in its text).
const char *const kRegisterYearListSQL =
    "SELECT dfa.idwgfacanfid, SUBSTRING(fac.sfacdesc FROM 1 FOR 32) || ' Anno: ' || anf.iAnfValore AS DESCR "
    "FROM TDwgFacAnf dfa INNER JOIN TDwgFac df ON (dfa.IDWGFacID = df.IDWGFacID) INNER JOIN TFac_Velisto fac "
    "ON "
    "(df.IfacID = fac.IfacID) INNER JOIN TANF_ANNIFINANZ ANF ON (dfa.IANFID = ANF.IANFID) WHERE df.idwgid = "
    ":idwgid AND " KVA_OWN_REGISTERS("fac.ITFCID") " ORDER BY fac.sfacdesc, anf.ianfvalore";
} // namespace

TdmkvaParams::TdmkvaParams(QObject *parent) : TdmVouParams(parent) {
    setObjectName(QStringLiteral("dmkvaParams"));
    xpmVouParams->SetApplCodeList(
        {QStringLiteral("KVA=1.0"), QStringLiteral("VO=1.0"), QStringLiteral("ZNA=1.0")});
    xpmVouParams->SetShowAggregate(true);
}

QList<TVoEnumValue> TdmkvaParams::RegisterYearList(int schoolId) {
    if (schoolId == -1)
        return {};
    return LoadEnumValues(QString::fromLatin1(kRegisterYearListSQL), {{QStringLiteral("idwgid"), schoolId}});
}

void TdmkvaParams::xpmVouParamsAfterCreateCtrl(QObject *Sender, QWidget *Control, TVoParamEntry &Param) {
    TdmVouParams::xpmVouParamsAfterCreateCtrl(Sender, Control, Param);
    if (Param.Name.compare(ParSchool, Qt::CaseInsensitive) == 0) {
        Control->setGeometry(95, Control->y(), 300, Control->height());
        if (auto *school = xpmVouParams->SchoolCombo()) {
            m_previousSchoolChange = school->OnChange;
            school->OnChange = [this](QObject *sender) { SchoolComboChange(sender); };
        }
    } else if (Param.Name.compare(ParRegisterYear, Qt::CaseInsensitive) == 0) {
        Control->setGeometry(95, Control->y(), 300, Control->height());
        m_registerYearCombo = qobject_cast<TVoIdComboBox *>(Control);
    }
}

void TdmkvaParams::xpmVouParamsReadParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param,
                                         bool &flag) {
    TdmVouParams::xpmVouParamsReadParam(Sender, Control, Param, flag);
    if (Param.Name.compare(ParRegisterYear, Qt::CaseInsensitive) != 0)
        return;
    auto *combo = qobject_cast<TVoIdComboBox *>(Control);
    if (!combo)
        return;
    const int school = ParamSchoolId();
    if (school != -1)
        combo->SetEnumValues(RegisterYearList(school));
    const QString stored = Param.Value.isNull() ? QString() : Param.Value.toString();
    if (!stored.isEmpty())
        combo->SelectId(VoVarToInt(stored, -1));
    flag = false;
}

void TdmkvaParams::xpmVouParamsWriteParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param,
                                          bool &flag) {
    TdmVouParams::xpmVouParamsWriteParam(Sender, Control, Param, flag);
    if (Param.Name.compare(ParRegisterYear, Qt::CaseInsensitive) != 0)
        return;
    auto *combo = qobject_cast<TVoIdComboBox *>(Control);
    const int selected = combo ? combo->SelectedId(-1) : -1;
    xpmVouParams->SetParams(Param.Name, combo && combo->currentIndex() >= 0 ? QString::number(selected)
                                                                            : QStringLiteral("0"));
    LoadWorkingContext(false);
    flag = false;
}

void TdmkvaParams::SchoolComboChange(QObject *Sender) {
    if (m_previousSchoolChange)
        m_previousSchoolChange(Sender);
    ReloadRegisterYearCombo(Sender);
}

void TdmkvaParams::ReloadRegisterYearCombo(QObject *) {
    if (!m_registerYearCombo)
        return;
    TVoIdComboBox *school = xpmVouParams->SchoolCombo();
    const int schoolId = school && school->currentIndex() >= 0 ? school->SelectedId(-1) : -1;
    m_registerYearCombo->SetEnumValues(RegisterYearList(schoolId));
    m_registerYearCombo->ClearSelection();
}
