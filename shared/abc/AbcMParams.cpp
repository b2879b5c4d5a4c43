#include "AbcMParams.h"

#include "AbcCProgram.h"
#include "AbcUContext.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoLayout.h"

namespace {
// %1 the register's description as the list shows it, %2 the program's registers, %3 the order of the
// years. The school is bound as a parameter (the list used to be formatted with the id in its text).
const char *const kRegisterYearListSQL =
    "SELECT dfa.idwgfacanfid, %1 || ' Anno: ' || anf.iAnfValore AS DESCR, fac.iTfcId FROM TDwgFacAnf dfa "
    "INNER JOIN TDwgFac df ON (dfa.IDWGFacID = df.IDWGFacID) INNER JOIN TFac_Velisto fac ON (df.IfacID = "
    "fac.IfacID) INNER JOIN TANF_ANNIFINANZ ANF ON (dfa.IANFID = ANF.IANFID) WHERE df.idwgid = :idwgid AND "
    "%2 ORDER BY fac.sfacdesc, anf.ianfvalore%3";
} // namespace

TdmAbcParams::TdmAbcParams(const TAbcProgram &program, QObject *parent)
    : TdmVouParams(parent), m_program(program) {
    xpmVouParams->SetApplCodeList(program.ParamCodes);
    xpmVouParams->SetShowAggregate(true);
}

QList<TVoEnumValue> TdmAbcParams::RegisterYearList(const TAbcProgram &program, int schoolId) {
    if (schoolId == -1)
        return {};
    const QString description =
        program.RegisterDescLength > 0
            ? QStringLiteral("SUBSTRING(fac.sfacdesc FROM 1 FOR %1)").arg(program.RegisterDescLength)
            : QStringLiteral("fac.sfacdesc");
    const QString sql =
        QString::fromLatin1(kRegisterYearListSQL)
            .arg(description, AbcOwnRegisters(program.DurableGoods, QStringLiteral("fac.ITFCID")),
                 program.NewestYearFirst ? QStringLiteral(" DESC") : QString());
    return LoadEnumValues(sql, {{QStringLiteral("idwgid"), schoolId}});
}

namespace {
// The register-years come with the school: the list, and the dialog with it, grow to the longest.
void WidenToItems(QComboBox *combo) {
    const int wanted = VoComboContentWidth(combo);
    if (wanted <= combo->width())
        return;
    combo->resize(wanted, combo->height());
    QWidget *client = combo->parentWidget();
    client->setMinimumWidth(qMax(client->minimumWidth(), combo->geometry().right() + combo->x() / 4));
    QWidget *dialog = combo->window();
    dialog->resize(dialog->size().expandedTo(dialog->sizeHint()));
}

int ContentWidth(QWidget *control) {
    auto *combo = qobject_cast<QComboBox *>(control);
    return combo ? VoComboContentWidth(combo) : 0;
}
} // namespace

void TdmAbcParams::PlaceControl(QWidget *Control) const {
    // Never narrower than the control's own items (a list as wide as the school's name).
    Control->setGeometry(m_program.ParamControlLeft >= 0 ? m_program.ParamControlLeft : Control->x(),
                         Control->y(), qMax(m_program.ParamControlWidth, ContentWidth(Control)),
                         Control->height());
}

void TdmAbcParams::xpmVouParamsAfterCreateCtrl(QObject *Sender, QWidget *Control, TVoParamEntry &Param) {
    TdmVouParams::xpmVouParamsAfterCreateCtrl(Sender, Control, Param);
    if (Param.Name.compare(ParSchool, Qt::CaseInsensitive) == 0) {
        PlaceControl(Control);
        if (auto *school = xpmVouParams->SchoolCombo()) {
            m_previousSchoolChange = school->OnChange;
            school->OnChange = [this](QObject *sender) { SchoolComboChange(sender); };
        }
    } else if (Param.Name.compare(ParRegisterYear, Qt::CaseInsensitive) == 0) {
        PlaceControl(Control);
        m_registerYearCombo = qobject_cast<TVoIdComboBox *>(Control);
    }
}

void TdmAbcParams::xpmVouParamsReadParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param,
                                         bool &flag) {
    TdmVouParams::xpmVouParamsReadParam(Sender, Control, Param, flag);
    if (Param.Name.compare(ParRegisterYear, Qt::CaseInsensitive) != 0)
        return;
    auto *combo = qobject_cast<TVoIdComboBox *>(Control);
    if (!combo)
        return;
    const int school = ParamSchoolId();
    if (school != -1) {
        combo->SetEnumValues(RegisterYearList(m_program, school));
        WidenToItems(combo);
    }
    const QString stored = Param.Value.isNull() ? QString() : Param.Value.toString();
    if (!stored.isEmpty())
        combo->SelectId(VoVarToInt(stored, -1));
    flag = false;
}

void TdmAbcParams::xpmVouParamsWriteParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param,
                                          bool &flag) {
    TdmVouParams::xpmVouParamsWriteParam(Sender, Control, Param, flag);
    if (Param.Name.compare(ParRegisterYear, Qt::CaseInsensitive) != 0)
        return;
    flag = false;
    auto *combo = qobject_cast<TVoIdComboBox *>(Control);
    const bool chosen = combo && combo->currentIndex() >= 0;
    xpmVouParams->SetParams(Param.Name,
                            chosen ? QString::number(combo->SelectedId(-1)) : QStringLiteral("0"));
    if (chosen || m_program.ReloadWithoutRegisterYear)
        m_program.LoadContext(false);
}

void TdmAbcParams::SchoolComboChange(QObject *Sender) {
    if (m_previousSchoolChange)
        m_previousSchoolChange(Sender);
    ReloadRegisterYearCombo(Sender);
}

void TdmAbcParams::ReloadRegisterYearCombo(QObject *) {
    if (!m_registerYearCombo)
        return;
    TVoIdComboBox *school = xpmVouParams->SchoolCombo();
    const int schoolId = school && school->currentIndex() >= 0 ? school->SelectedId(-1) : -1;
    m_registerYearCombo->SetEnumValues(RegisterYearList(m_program, schoolId));
    WidenToItems(m_registerYearCombo);
    m_registerYearCombo->ClearSelection();
}
