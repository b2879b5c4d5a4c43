#pragma once
// Program parameters: named values chosen by the user in the parameters dialog and kept across runs
// in the user's settings (one INI file under the user's configuration folder, one section per
// program: the first application code of the manager's list). Values are texts; a parameter never
// chosen reads as an unset variant. Every value is mirrored in xgvmGlobalVar under the parameter's
// name.
//
// The dialog shows one row per parameter of the manager's application codes, a label and a control.
// The program adapts it through three hooks: AfterCreateCtrl when a control has been created,
// ReadParam before the framework puts the stored value into a control, WriteParam before the
// framework stores a control's value. A read or write hook that handles its parameter itself clears
// flag, and the framework leaves that control alone; a write hook stores its value with SetParams
// (or by setting Param.Value).
#include "VoDialogs.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <functional>

class QLabel;
class TVoIdComboBox;
class TVoSQLConnection;
class TfmVoParamDlg;

enum TVoParamKind {
    pkText,   // a line of text
    pkCombo,  // a list of ids, filled by the program's hooks
    pkSchool, // the schools of the suite, filled by the framework
    pkCheck,  // yes ("1") or no ("0")
};

struct TVoParamDef {
    QString Name;
    QString Caption;
    TVoParamKind Kind = pkText;
};

// A parameter as the hooks see it.
struct TVoParamEntry {
    QString Name;
    QString Caption;
    TVoParamKind Kind = pkText;
    QString ApplCode;
    // The stored value when the dialog read it (unset: never chosen).
    QVariant Value;
};

class TVoParamManager : public QObject {
    Q_OBJECT
public:
    explicit TVoParamManager(QObject *parent = nullptr);

    // The parameters an application code brings to the dialog, in order. The framework's own code
    // "VO" defines the school "VOUP_DwgId" and the register-year "VOUP_DwgFacAnfId".
    static void DefineParam(const QString &applCode, const TVoParamDef &def);
    static QList<TVoParamDef> ParamDefs(const QString &applCode);
    // The settings file of every program's parameters.
    static QString SettingsFileName();

    // "KVA=1.0", "VO=1.0", ...: codes with their versions. Setting the list reads the stored values.
    void SetApplCodeList(const QStringList &codes);
    QStringList ApplCodeList() const { return m_codeList; }
    // The program's code: the first of the list; its section of the settings holds the values.
    QString ApplCode() const;
    // The parameters of every code of the list, with their stored values.
    QList<TVoParamEntry> Params() const;

    // The stored value (a text), unset when it was never chosen.
    QVariant GetParams(const QString &name) const;
    // Stores a value at once (an unset variant removes it) and updates the global value.
    void SetParams(const QString &name, const QVariant &value);
    // Reads the stored values again.
    void Reload();

    // The connection the dialog's lists are read from (the global one when none is set).
    void SetConnection(TVoSQLConnection *connection) { m_connection = connection; }
    TVoSQLConnection *Connection() const;

    void SetShowAggregate(bool show) { m_showAggregate = show; }
    bool ShowAggregate() const { return m_showAggregate; }

    std::function<void(QObject *Sender, QWidget *Control, TVoParamEntry &Param)> AfterCreateCtrl;
    std::function<void(QObject *Sender, QWidget *Control, TVoParamEntry &Param, bool &flag)> ReadParam;
    std::function<void(QObject *Sender, QWidget *Control, TVoParamEntry &Param, bool &flag)> WriteParam;
    // Runs when the dialog of Execute is on screen (tests answer the dialog from here).
    std::function<void(TfmVoParamDlg *dialog)> OnDialogShown;

    // Shows the parameters dialog modally; true when the user confirmed it (the values are stored).
    bool Execute(QWidget *parent = nullptr);
    // Builds the dialog with its controls holding the stored values, without showing it; the caller
    // owns it. Confirming it stores the values.
    TfmVoParamDlg *CreateDialog(QWidget *parent = nullptr);
    // The school selector of the open dialog (nullptr when no dialog is open).
    TVoIdComboBox *SchoolCombo() const;

private:
    friend class TfmVoParamDlg;
    void WriteDialog(TfmVoParamDlg *dialog);
    void Store(const QString &name, const QVariant &value);

    QStringList m_codeList;
    QHash<QString, QVariant> m_values; // by upper-case name
    TVoSQLConnection *m_connection = nullptr;
    bool m_showAggregate = false;
    QPointer<TfmVoParamDlg> m_dialog;
};

class TfmVoParamDlg : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmVoParamDlg(TVoParamManager *manager, QWidget *parent = nullptr);

    QStringList ParamNames() const;
    QWidget *Control(const QString &name) const;
    QLabel *Label(const QString &name) const;
    TVoIdComboBox *SchoolCombo() const;

    // As the OK button: stores the values and closes the dialog accepted (a failure is shown and the
    // dialog stays open).
    void Confirm();
    // As the Cancel button: closes the dialog and stores nothing.
    void Cancel();

protected:
    void buOkClick() override;

private:
    friend class TVoParamManager;
    struct Row {
        TVoParamEntry param;
        QLabel *label = nullptr;
        QWidget *control = nullptr;
    };
    QList<Row> m_rows;
    TVoParamManager *m_manager;
};

// The framework's parameters module: the program's module derives from it, sets the application
// code list of xpmVouParams and overrides the hooks, calling the base first.
class TdmVouParams : public QObject {
    Q_OBJECT
public:
    explicit TdmVouParams(QObject *parent = nullptr);

    TVoParamManager *xpmVouParams;

protected:
    virtual void xpmVouParamsAfterCreateCtrl(QObject *Sender, QWidget *Control, TVoParamEntry &Param);
    virtual void xpmVouParamsReadParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param, bool &flag);
    virtual void xpmVouParamsWriteParam(QObject *Sender, QWidget *Control, TVoParamEntry &Param, bool &flag);
};
