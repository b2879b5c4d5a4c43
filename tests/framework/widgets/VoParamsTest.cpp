// Program parameters: kept across runs, mirrored in the global values, chosen in the dialog that the
// programs adapt through their hooks.
#include "VoParams.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoQuery.h"
#include "VoTestDb.h"
#include "VoUtils.h"
#include "VoWidgetTest.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QStringList KvaCodes{QStringLiteral("KVA=1.0"), QStringLiteral("VO=1.0"), QStringLiteral("ZNA=1.0")};
const QString School = QStringLiteral("VOUP_DwgId");
const QString RegYear = QStringLiteral("VOUP_DwgFacAnfId");

void ForgetParams() {
    QFile::remove(TVoParamManager::SettingsFileName());
    xgvmGlobalVar.Clear();
}

TEST(VoParamManagerTest, ValuesSurviveARestartPerProgram) {
    ForgetParams();
    {
        TVoParamManager params;
        params.SetApplCodeList(KvaCodes);
        EXPECT_EQ(params.ApplCode(), QStringLiteral("KVA"));
        EXPECT_FALSE(params.GetParams(School).isValid());
        params.SetParams(School, 7);
        params.SetParams(QStringLiteral("voup_dwgfacanfid"), QStringLiteral("12"));
        EXPECT_EQ(params.GetParams(RegYear), QVariant(QStringLiteral("12")));
        EXPECT_EQ(xgvmGlobalVar.GetValues(QStringLiteral("VOUP_DWGID")), QVariant(QStringLiteral("7")));
    }
    EXPECT_TRUE(QFile::exists(TVoParamManager::SettingsFileName()));
    xgvmGlobalVar.Clear();

    TVoParamManager restarted;
    restarted.SetApplCodeList(KvaCodes);
    EXPECT_EQ(restarted.GetParams(School), QVariant(QStringLiteral("7")));
    EXPECT_EQ(restarted.GetParams(RegYear), QVariant(QStringLiteral("12")));
    // Reading the settings puts the global values in step.
    EXPECT_EQ(VoVarToInt(xgvmGlobalVar.GetValues(RegYear)), 12);

    restarted.SetParams(RegYear, QVariant());
    EXPECT_FALSE(xgvmGlobalVar.Exists(RegYear));
    TVoParamManager again;
    again.SetApplCodeList(KvaCodes);
    EXPECT_FALSE(again.GetParams(RegYear).isValid());
    EXPECT_EQ(again.GetParams(School), QVariant(QStringLiteral("7")));

    // The other program keeps its own values.
    TVoParamManager kvb;
    kvb.SetApplCodeList({QStringLiteral("KVB=1.0"), QStringLiteral("VO=1.0")});
    EXPECT_FALSE(kvb.GetParams(School).isValid());
    ForgetParams();
}

// The register-years of a school, as a program lists them.
const QString RegYearsSQL =
    QStringLiteral("SELECT dfa.IDWGFACANFID, CAST(anf.IANFVALORE AS VARCHAR(10)) FROM TDWGFACANF dfa "
                   "INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID "
                   "INNER JOIN TFAC_VELISTO fac ON fac.IFACID = df.IFACID "
                   "INNER JOIN TANF_ANNIFINANZ anf ON anf.IANFID = dfa.IANFID WHERE df.IDWGID = :school "
                   "AND fac.ITFCID NOT IN (5, 7) ORDER BY anf.IANFVALORE");

class VoParamDialogTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        ForgetParams();
        schoolId = VoSelectValue(QStringLiteral("SELECT IDWGID FROM VDOW_DATAOWNER")).toInt();
        VoExecSQL(QStringLiteral("INSERT INTO TDOW_DATAOWNER (IDWGID, SDOWSDESC, SDOWLDESC) VALUES "
                                 "((SELECT L_ICNTID FROM PYSETGETID('TDOW_DATAOWNER', 1)), 'Liceo', :ldesc)"),
                  {{QStringLiteral("ldesc"), QStringLiteral("Liceo Scientifico \"Galilei\"")}});
        otherSchoolId = VoSelectValue(QStringLiteral("SELECT IDWGID FROM VDOW_DATAOWNER WHERE IDWGID <> :id"),
                                      {{"id", schoolId}})
                            .toInt();
        params.SetApplCodeList(KvaCodes);
        InstallHooks();
    }
    void TearDown() override {
        ForgetParams();
        VoDbTest::TearDown();
    }

    // What a program's parameters module does: chain the school's change handler, fill the
    // register-years of the chosen school, and store the register-year itself.
    void InstallHooks() {
        params.AfterCreateCtrl = [this](QObject *, QWidget *control, TVoParamEntry &param) {
            if (param.Name.compare(School, Qt::CaseInsensitive) == 0) {
                control->setGeometry(95, control->y(), 300, control->height());
                TVoIdComboBox *school = params.SchoolCombo();
                auto previous = school->OnChange;
                school->OnChange = [this, previous](QObject *sender) {
                    if (previous)
                        previous(sender);
                    ++schoolChanges;
                    regYears->SetEnumValues(LoadEnumValues(
                        RegYearsSQL, {{QStringLiteral("school"), params.SchoolCombo()->SelectedId(-1)}}));
                };
            } else if (param.Name.compare(RegYear, Qt::CaseInsensitive) == 0) {
                regYears = qobject_cast<TVoIdComboBox *>(control);
            }
        };
        params.ReadParam = [this](QObject *, QWidget *control, TVoParamEntry &param, bool &flag) {
            if (param.Name.compare(RegYear, Qt::CaseInsensitive) != 0)
                return;
            auto *combo = qobject_cast<TVoIdComboBox *>(control);
            const int school = VoVarToInt(xgvmGlobalVar.GetValues(School));
            if (school != -1)
                combo->SetEnumValues(
                    LoadEnumValues(RegYearsSQL, {{QStringLiteral("school"), school}}, params.Connection()));
            if (!param.Value.toString().isEmpty())
                combo->SelectId(param.Value.toInt());
            flag = false;
        };
        params.WriteParam = [this](QObject *, QWidget *control, TVoParamEntry &param, bool &flag) {
            if (param.Name.compare(RegYear, Qt::CaseInsensitive) != 0)
                return;
            auto *combo = qobject_cast<TVoIdComboBox *>(control);
            params.SetParams(param.Name, combo->currentIndex() < 0 ? QStringLiteral("0")
                                                                   : QString::number(combo->SelectedId()));
            // The school above is stored already; the register-year reads back at once.
            writtenWith =
                params.GetParams(School).toString() + QLatin1Char('/') + params.GetParams(RegYear).toString();
            flag = false;
        };
    }

    TVoParamManager params;
    int schoolId = 0;
    int otherSchoolId = 0;
    int schoolChanges = 0;
    TVoIdComboBox *regYears = nullptr;
    QString writtenWith;
};

TEST_F(VoParamDialogTest, SchoolListAndHooksShapeTheDialog) {
    params.SetParams(School, schoolId);
    std::unique_ptr<TfmVoParamDlg> dlg(params.CreateDialog());
    dlg->show();
    EXPECT_EQ(dlg->ParamNames(), (QStringList{School, RegYear}));
    TVoIdComboBox *school = dlg->SchoolCombo();
    ASSERT_TRUE(school);
    EXPECT_EQ(dlg->Control(QStringLiteral("voup_dwgid")), school);
    ASSERT_EQ(school->count(), 2);
    EXPECT_EQ(school->itemText(0), QStringLiteral("Istituto Comprensivo \"Gianni Rodari\""));
    EXPECT_EQ(school->ItemId(0), schoolId);
    EXPECT_EQ(school->ItemId(1), otherSchoolId);
    EXPECT_EQ(school->SelectedId(), schoolId);
    // The hook's geometry holds, and the label makes room for it.
    EXPECT_EQ(school->geometry(), QRect(95, school->y(), 300, school->height()));
    EXPECT_LT(dlg->Label(School)->geometry().right(), 95);
    EXPECT_EQ(dlg->Label(School)->text(), QStringLiteral("Istituto"));

    ASSERT_EQ(dlg->Control(RegYear), regYears);
    EXPECT_EQ(regYears->count(), 3);
    EXPECT_EQ(regYears->itemText(0), QStringLiteral("2025"));
    EXPECT_EQ(regYears->currentIndex(), -1);
    EXPECT_EQ(schoolChanges, 0);
}

// The dialog opens with the keyboard on its first list, and the list shows it, as it does after a Tab.
TEST_F(VoParamDialogTest, TheListHoldingTheKeyboardIsDrawnSoFromTheStart) {
    std::unique_ptr<TfmVoParamDlg> dlg(params.CreateDialog());
    ASSERT_TRUE(VoShowActive(dlg.get()));
    TVoIdComboBox *school = dlg->SchoolCombo();
    ASSERT_EQ(QApplication::focusWidget(), school);
    const QImage focused = school->grab().toImage();
    regYears->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    EXPECT_NE(school->grab().toImage(), focused);
}

TEST_F(VoParamDialogTest, OnlyTheUserChangingTheSchoolRunsTheHandler) {
    std::unique_ptr<TfmVoParamDlg> dlg(params.CreateDialog());
    dlg->show();
    TVoIdComboBox *school = dlg->SchoolCombo();
    // Nothing stored: no school chosen, no register-years listed.
    EXPECT_EQ(school->currentIndex(), -1);
    EXPECT_EQ(regYears->count(), 0);

    EXPECT_TRUE(school->SelectId(otherSchoolId));
    EXPECT_TRUE(school->SelectId(schoolId));
    EXPECT_EQ(schoolChanges, 0);

    school->setFocus();
    QTest::keyClick(school, Qt::Key_Down);
    EXPECT_EQ(school->SelectedId(), otherSchoolId);
    EXPECT_EQ(schoolChanges, 1);
    EXPECT_EQ(regYears->count(), 0);
    QTest::keyClick(school, Qt::Key_Up);
    EXPECT_EQ(schoolChanges, 2);
    EXPECT_EQ(regYears->count(), 3);
    EXPECT_EQ(regYears->currentIndex(), -1);
}

TEST_F(VoParamDialogTest, ConfirmingStoresTheChoiceAndCancellingDoesNot) {
    std::unique_ptr<TfmVoParamDlg> dlg(params.CreateDialog());
    dlg->show();
    dlg->SchoolCombo()->setFocus();
    QTest::keyClick(dlg->SchoolCombo(), Qt::Key_Down);
    ASSERT_EQ(dlg->SchoolCombo()->SelectedId(), schoolId);
    regYears->setCurrentIndex(1);
    const int chosen = regYears->SelectedId();
    dlg->Confirm();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(params.GetParams(School), QVariant(QString::number(schoolId)));
    EXPECT_EQ(params.GetParams(RegYear), QVariant(QString::number(chosen)));
    EXPECT_EQ(writtenWith, QStringLiteral("%1/%2").arg(schoolId).arg(chosen));
    EXPECT_EQ(VoVarToInt(xgvmGlobalVar.GetValues(RegYear)), chosen);

    // Reopened, the dialog shows the stored choice; cancelled, it changes nothing.
    bool preselected = false;
    params.OnDialogShown = [&](TfmVoParamDlg *shown) {
        preselected = shown->SchoolCombo()->SelectedId() == schoolId && regYears->SelectedId() == chosen;
        shown->SchoolCombo()->ClearSelection();
        shown->Cancel();
    };
    EXPECT_FALSE(params.Execute());
    EXPECT_TRUE(preselected);
    EXPECT_EQ(params.GetParams(School), QVariant(QString::number(schoolId)));

    // A school left without a choice is stored as none.
    params.OnDialogShown = [&](TfmVoParamDlg *shown) {
        shown->SchoolCombo()->ClearSelection();
        shown->Confirm();
    };
    EXPECT_TRUE(params.Execute());
    EXPECT_EQ(VoVarToInt(params.GetParams(School)), -1);
    EXPECT_TRUE(messages->Shown().isEmpty());
}

} // namespace
