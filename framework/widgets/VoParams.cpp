#include "VoParams.h"

#include "VoConnection.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoLayout.h"
#include "VoMDIMain.h"
#include "VoUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

namespace {

const char *const SchoolListSQL =
    "SELECT IDWGID, SDOWLDESC FROM VDOW_DATAOWNER WHERE DDELETE_DOW IS NULL ORDER BY SDOWLDESC";

QHash<QString, QList<TVoParamDef>> &Definitions() {
    static QHash<QString, QList<TVoParamDef>> defs = {
        {QStringLiteral("VO"),
         {{QStringLiteral("VOUP_DwgId"), QStringLiteral("Istituto"), pkSchool},
          {QStringLiteral("VOUP_DwgFacAnfId"), QStringLiteral("Velisto"), pkCombo}}},
    };
    return defs;
}

QString CodeOf(const QString &entry) {
    return entry.section(QLatin1Char('='), 0, 0).trimmed().toUpper();
}

// Rows of the dialog: label on the left, control beside it; the hooks may move and size the
// controls, and the labels and the dialog follow.
const int RowTop = 12;
const int RowStep = 32;
const int LabelLeft = 10;
const int ControlLeft = 130;
const int ControlWidth = 260;

} // namespace

// ---------------------------------------------------------------------------------------------------
// Manager

TVoParamManager::TVoParamManager(QObject *parent) : QObject(parent) {}

void TVoParamManager::DefineParam(const QString &applCode, const TVoParamDef &def) {
    QList<TVoParamDef> &defs = Definitions()[applCode.toUpper()];
    for (TVoParamDef &d : defs)
        if (d.Name.compare(def.Name, Qt::CaseInsensitive) == 0) {
            d = def;
            return;
        }
    defs.append(def);
}

QList<TVoParamDef> TVoParamManager::ParamDefs(const QString &applCode) {
    return Definitions().value(applCode.toUpper());
}

QString TVoParamManager::SettingsFileName() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/velisto/params.ini");
}

void TVoParamManager::SetApplCodeList(const QStringList &codes) {
    m_codeList = codes;
    Reload();
}

QString TVoParamManager::ApplCode() const {
    return m_codeList.isEmpty() ? QString() : CodeOf(m_codeList.first());
}

QList<TVoParamEntry> TVoParamManager::Params() const {
    QList<TVoParamEntry> params;
    QStringList seen;
    for (const QString &entry : m_codeList) {
        const QString code = CodeOf(entry);
        for (const TVoParamDef &def : ParamDefs(code)) {
            if (seen.contains(def.Name, Qt::CaseInsensitive))
                continue;
            seen << def.Name;
            params << TVoParamEntry{def.Name, def.Caption, def.Kind, code, GetParams(def.Name)};
        }
    }
    return params;
}

QVariant TVoParamManager::GetParams(const QString &name) const {
    return m_values.value(name.toUpper());
}

void TVoParamManager::SetParams(const QString &name, const QVariant &value) {
    const QVariant text = value.isValid() && !value.isNull() ? QVariant(value.toString()) : QVariant();
    Store(name, text);
    if (text.isValid())
        m_values.insert(name.toUpper(), text);
    else
        m_values.remove(name.toUpper());
    if (text.isValid())
        xgvmGlobalVar.Add(name, text);
    else
        xgvmGlobalVar.Remove(name);
}

void TVoParamManager::Store(const QString &name, const QVariant &value) {
    if (ApplCode().isEmpty())
        return;
    QSettings settings(SettingsFileName(), QSettings::IniFormat);
    settings.beginGroup(ApplCode());
    if (value.isValid())
        settings.setValue(name.toUpper(), value.toString());
    else
        settings.remove(name.toUpper());
    settings.endGroup();
    settings.sync();
}

void TVoParamManager::Reload() {
    m_values.clear();
    if (!ApplCode().isEmpty()) {
        QSettings settings(SettingsFileName(), QSettings::IniFormat);
        settings.beginGroup(ApplCode());
        for (const QString &key : settings.childKeys())
            m_values.insert(key.toUpper(), settings.value(key).toString());
    }
    for (const TVoParamEntry &p : Params())
        if (p.Value.isValid())
            xgvmGlobalVar.Add(p.Name, p.Value);
        else
            xgvmGlobalVar.Remove(p.Name);
}

TVoSQLConnection *TVoParamManager::Connection() const {
    return m_connection ? m_connection : qqoVoGlobConn;
}

TVoIdComboBox *TVoParamManager::SchoolCombo() const {
    return m_dialog ? m_dialog->SchoolCombo() : nullptr;
}

TfmVoParamDlg *TVoParamManager::CreateDialog(QWidget *parent) {
    auto dialog = std::make_unique<TfmVoParamDlg>(this, parent);
    QWidget *client = dialog->pnClient;
    int top = RowTop;
    for (const TVoParamEntry &param : Params()) {
        TfmVoParamDlg::Row row;
        row.param = param;
        switch (param.Kind) {
        case pkText:
            row.control = new QLineEdit(client);
            break;
        case pkCheck:
            row.control = new QCheckBox(client);
            break;
        case pkCombo:
            row.control = new TVoIdComboBox(client);
            break;
        case pkSchool: {
            auto *combo = new TVoIdComboBox(client);
            combo->SetEnumValues(LoadEnumValues(QString::fromLatin1(SchoolListSQL), Connection()));
            row.control = combo;
            break;
        }
        }
        row.control->setObjectName(param.Name);
        // A list is as wide as its longest item, so that a school's whole name can be read.
        int width = ControlWidth;
        if (auto *combo = qobject_cast<QComboBox *>(row.control))
            width = qMax(width, VoComboContentWidth(combo));
        row.control->setGeometry(ControlLeft, top, width, row.control->sizeHint().height());
        row.label = new QLabel(param.Caption, client);
        row.label->setBuddy(row.control);
        dialog->m_rows << row;
        top += RowStep;
    }
    m_dialog = dialog.get();
    for (TfmVoParamDlg::Row &row : dialog->m_rows)
        if (AfterCreateCtrl)
            AfterCreateCtrl(this, row.control, row.param);

    int right = 0;
    int bottom = 0;
    for (TfmVoParamDlg::Row &row : dialog->m_rows) {
        const QRect r = row.control->geometry();
        row.label->setGeometry(LabelLeft, r.top(), qMax(20, r.left() - LabelLeft - 6), r.height());
        right = qMax(right, r.right());
        bottom = qMax(bottom, r.bottom());
    }
    client->setMinimumSize(right + LabelLeft, bottom + RowTop);

    for (TfmVoParamDlg::Row &row : dialog->m_rows) {
        bool flag = true;
        if (ReadParam)
            ReadParam(this, row.control, row.param, flag);
        if (!flag)
            continue;
        const QVariant &value = row.param.Value;
        if (auto *edit = qobject_cast<QLineEdit *>(row.control))
            edit->setText(value.toString());
        else if (auto *check = qobject_cast<QCheckBox *>(row.control))
            check->setChecked(value.toString() == QLatin1String("1"));
        else if (auto *combo = qobject_cast<TVoIdComboBox *>(row.control)) {
            if (value.isValid())
                combo->SelectId(VoVarToInt(value));
            else
                combo->ClearSelection();
        }
    }
    return dialog.release();
}

void TVoParamManager::WriteDialog(TfmVoParamDlg *dialog) {
    // In the order of the rows, so that a hook finds the parameters above its own already stored.
    for (TfmVoParamDlg::Row &row : dialog->m_rows) {
        const QVariant before = row.param.Value;
        bool flag = true;
        if (WriteParam)
            WriteParam(this, row.control, row.param, flag);
        if (!flag) {
            if (row.param.Value != before)
                SetParams(row.param.Name, row.param.Value);
            continue;
        }
        QVariant value;
        if (auto *edit = qobject_cast<QLineEdit *>(row.control))
            value = edit->text();
        else if (auto *check = qobject_cast<QCheckBox *>(row.control))
            value = check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        else if (auto *combo = qobject_cast<TVoIdComboBox *>(row.control))
            value = QString::number(combo->SelectedId(-1));
        row.param.Value = value;
        SetParams(row.param.Name, value);
    }
}

bool TVoParamManager::Execute(QWidget *parent) {
    std::unique_ptr<TfmVoParamDlg> dialog(CreateDialog(parent ? parent : TfmVoMDIMain::Instance()));
    if (OnDialogShown) {
        TfmVoParamDlg *shown = dialog.get();
        QTimer::singleShot(0, shown, [this, shown] { VoGuarded([this, shown] { OnDialogShown(shown); }); });
    }
    return dialog->exec() == QDialog::Accepted;
}

// ---------------------------------------------------------------------------------------------------
// Dialog

TfmVoParamDlg::TfmVoParamDlg(TVoParamManager *manager, QWidget *parent)
    : TfmVoOkCancDlg(parent), m_manager(manager) {
    setObjectName(QStringLiteral("fmVoParamDlg"));
    setWindowTitle(QStringLiteral("Parametri"));
}

QStringList TfmVoParamDlg::ParamNames() const {
    QStringList names;
    for (const Row &row : m_rows)
        names << row.param.Name;
    return names;
}

QWidget *TfmVoParamDlg::Control(const QString &name) const {
    for (const Row &row : m_rows)
        if (row.param.Name.compare(name, Qt::CaseInsensitive) == 0)
            return row.control;
    return nullptr;
}

QLabel *TfmVoParamDlg::Label(const QString &name) const {
    for (const Row &row : m_rows)
        if (row.param.Name.compare(name, Qt::CaseInsensitive) == 0)
            return row.label;
    return nullptr;
}

TVoIdComboBox *TfmVoParamDlg::SchoolCombo() const {
    for (const Row &row : m_rows)
        if (row.param.Kind == pkSchool)
            return qobject_cast<TVoIdComboBox *>(row.control);
    return nullptr;
}

void TfmVoParamDlg::Confirm() {
    VoGuarded([this] { buOkClick(); });
}

void TfmVoParamDlg::Cancel() {
    VoGuarded([this] { buCancelClick(); });
}

void TfmVoParamDlg::buOkClick() {
    m_manager->WriteDialog(this);
    accept();
}

// ---------------------------------------------------------------------------------------------------
// Module

TdmVouParams::TdmVouParams(QObject *parent) : QObject(parent), xpmVouParams(new TVoParamManager(this)) {
    xpmVouParams->setObjectName(QStringLiteral("xpmVouParams"));
    xpmVouParams->AfterCreateCtrl = [this](QObject *sender, QWidget *control, TVoParamEntry &param) {
        xpmVouParamsAfterCreateCtrl(sender, control, param);
    };
    xpmVouParams->ReadParam = [this](QObject *sender, QWidget *control, TVoParamEntry &param, bool &flag) {
        xpmVouParamsReadParam(sender, control, param, flag);
    };
    xpmVouParams->WriteParam = [this](QObject *sender, QWidget *control, TVoParamEntry &param, bool &flag) {
        xpmVouParamsWriteParam(sender, control, param, flag);
    };
}

void TdmVouParams::xpmVouParamsAfterCreateCtrl(QObject *, QWidget *, TVoParamEntry &) {}

void TdmVouParams::xpmVouParamsReadParam(QObject *, QWidget *, TVoParamEntry &, bool &) {}

void TdmVouParams::xpmVouParamsWriteParam(QObject *, QWidget *, TVoParamEntry &, bool &) {}
