#pragma once
// Links a query collection to the widgets that show and edit its current row.
//
// A data source passes the collection's changes on to its controls and to the window: first
// OnStateChange (the framework's own frames react here), then OnDataChange (the whole row when the
// field is nullptr, else one field), and last AfterStateChange, once the operation that changed the
// state has also changed the data. So a window's state rules run after its data-change rules: a
// control that a data-change rule disables on a new row is enabled again by the state rule.
//
// Controls write what the user typed into the field when the user leaves them, and at the latest
// when the row is posted: every post of the collection (the frame's, the program's or the one made
// by moving away from the row) first writes the controls and runs their validators, and a failing
// validator stops the post. Cancelling (the frame's Annulla, Escape in its detail, a dialog's
// Annulla, closing a window whose changes the user chose not to save) runs no validator.
//
// Validators. OnValidate(Sender, Ok, Msg) runs when, while a row is being inserted or edited, the
// user moves the focus from a control to another data-aware control of its window or tabs out of
// it, and before the post. Leaving otherwise (a click on a button or a grid, another window, the
// program putting the focus elsewhere) only writes what can be stored and leaves the checks to the
// post. When a validator clears Ok the
// framework shows a warning (OK button), marks the control with a red frame and the message as its
// tool tip until a later check passes, brings its page forward and puts the focus back into it; when
// the user left the control by a click, the click is dropped, as if the focus had never left. The
// message is composed from Msg:
//   - a Msg beginning with "Attenzione", or ending with ".", "!", "?" or ":", is a sentence of the
//     program's own and is shown as it stands;
//   - otherwise, when the control was empty as the check began, Msg names the missing value:
//     "Attenzione ! \r\nCampo obbligatorio \"<Msg>\". ";
//   - otherwise Msg says what is wrong with the value: "Attenzione ! \r\n<Msg>. ";
//   - an empty Msg stands for the control's caption (its buddy label, else the field's label).
// A text that cannot be stored in the field (a date that does not exist, a word in a number) fails
// the same way with the framework's own sentence, before the program's validator runs; leaving for
// something other than a data field keeps such a text unwritten, without a word, until the post.
// A value beyond the bounds its collection declares for the field (TVoBounds) fails after the
// program's validator has passed it, with the bounds' sentence naming the control's caption.
#include "VoEvent.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;
class QLineEdit;
class TVoDBControl;

class TVoDataSource : public QObject {
    Q_OBJECT
public:
    explicit TVoDataSource(QObject *parent = nullptr);
    ~TVoDataSource() override;

    TVoQueryCollection *DataSet() const { return m_dataSet; }
    void SetDataSet(TVoQueryCollection *dataSet);
    // The collection's state (TVoDataSetState); dsInactive without an open collection.
    int State() const;
    bool Editing() const { return State() == dsInsert || State() == dsEdit; }
    // Whether the user typed into a control since the row was last inserted, edited or left.
    bool UserTyped() const { return m_userTyped; }

    // When on (the default), typing into a bound control of a row being browsed starts editing it
    // (inserting, when there is no row).
    bool AutoEdit() const { return m_autoEdit; }
    void SetAutoEdit(bool on);
    // No editing through the controls: the window's user may only read.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool on);

    // Starts editing the current row when allowed; false when the collection cannot be edited.
    bool Edit();
    void Insert();
    // Writes the controls, runs their validators and posts; false when anything refused.
    bool Post();
    void Cancel();

    // Writes into the row what the user typed and has not yet been written. False, with the
    // control's message shown, when a text cannot be stored.
    bool UpdateRecord();
    // Runs the validator of every bound control, in tab order, that stands on a page in use; stops
    // at the first failure, which is reported. Hidden controls (a hidden panel) are skipped.
    bool ValidateControls();

    QList<TVoDBControl *> Controls() const { return m_controls; }

    TVoEvent<TVoDataSource *> OnStateChange;
    TVoEvent<TVoDataSource *, TVoField *> OnDataChange;
    TVoEvent<TVoDataSource *> AfterStateChange;
    // The collection was replaced (grids rebind their model).
    TVoEvent<TVoDataSource *> OnDataSetChange;

private:
    friend class TVoDBControl;
    void Attach(TVoDBControl *control);
    void Detach(TVoDBControl *control);
    void Hook();
    void StateChanged();
    void DataChanged(TVoField *field);
    void FlushStateChange();
    QList<TVoDBControl *> ControlsInTabOrder() const;

    QPointer<TVoQueryCollection> m_dataSet;
    QList<TVoDBControl *> m_controls;
    TVoHooks m_hooks;
    bool m_autoEdit = true;
    bool m_readOnly = false;
    bool m_stateChangePending = false;
    bool m_userTyped = false;
};

// What every data-aware control has: its binding to a field of a data source, its validator and
// the marker shown while the value is refused. The widget classes derive from a Qt widget and from
// this class.
class TVoDBControl {
public:
    explicit TVoDBControl(QWidget *self);
    virtual ~TVoDBControl();
    TVoDBControl(const TVoDBControl &) = delete;
    TVoDBControl &operator=(const TVoDBControl &) = delete;

    QWidget *Widget() const { return m_self; }
    TVoDataSource *DataSource() const { return m_dataSource; }
    void SetDataSource(TVoDataSource *dataSource);
    const QString &DataField() const { return m_dataField; }
    void SetDataField(const QString &fieldName);
    // Both at once.
    void Bind(TVoDataSource *dataSource, const QString &fieldName);
    // The bound field of the open collection, or nullptr.
    TVoField *Field() const;

    // Read-only as the window sets it; the control is also read-only while its data source is. A
    // control the window makes read-only takes no input: Tab and Enter pass it by, a click still
    // reaches it (to copy its text).
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool on);

    // The name used in messages: the text of the label whose buddy is the control, else the field's
    // label.
    QString Caption() const;
    void SetCaption(const QString &caption) { m_caption = caption; }

    // Whether the user changed the text since it was last read from or written to the field.
    bool Modified() const { return m_modified; }
    // Whether the control shows no value (the test of the message composition).
    virtual bool IsEmpty() const = 0;

    // Writes a pending text and runs the validator; on failure reports it (see VoDataSource.h).
    bool Validate();
    bool MarkedInvalid() const { return !m_invalidMessage.isEmpty(); }
    QString InvalidMessage() const { return m_invalidMessage; }

    TVoEvent<QWidget *, bool &, QString &> OnValidate;
    // Any change of the text, by the user or from the field.
    TVoEvent<QWidget *> OnChange;
    // A key pressed in the control; a handler that sets the key to 0 swallows it.
    TVoEvent<QWidget *, int &, Qt::KeyboardModifiers> OnKeyDown;

    // Shows the field's value (called by the data source on every change of the row or the field).
    void ReadField();
    // Called by the data source when its state or read-only flag changes.
    virtual void UpdateReadOnly();

protected:
    // Shows a value of the field.
    virtual void DataToControl() = 0;
    // Writes the control's text into the field; false with a message when it cannot be stored.
    virtual bool ControlToData(QString *error) = 0;
    virtual void ApplyReadOnly(bool readOnly) = 0;
    // Whether the text can be read as a value at all; a control used without a field (a dialog's
    // date) is checked by this alone, when the user tabs on and before its dialog goes on.
    virtual bool CheckText(QString *error) const {
        (void)error;
        return true;
    }

    // Read-only as the user sees it: the window's flag, the data source's, a closed collection.
    bool EffectiveReadOnly() const;
    // Before the user's change of the value: starts editing when the data source allows it.
    bool BeginEdit();
    void SetModified(bool on) { m_modified = on; }
    // The user changed the text (a paste, a typed key): starts editing, or takes the change back
    // when the row cannot be edited.
    void UserChanged();
    // The window set the text while the row is edited: written like a typed one.
    void ProgramChanged();
    // After the program put a text in a line edit (before: the text it replaced): a new one the user
    // is in is selected, as one arrived at by Tab, so that what is typed next replaces it instead of
    // being added to it (a new row's proposed number, or date, where a mask leaves the cursor after
    // it); any text in an edit the user is not in shows its beginning, not its end, when longer than
    // the edit, the same text put again included.
    static void ProgramShown(QLineEdit *edit, const QString &before);
    // Writes the pending text now (a control that writes on each change calls it directly).
    bool WriteNow();
    // The same; a text that cannot be stored is reported only when asked, else left pending.
    bool Write(bool report);
    // To be called from the widget's focus-out event.
    void Leaving(Qt::FocusReason reason);
    // To be called first in the widget's key-press event; true when the key was swallowed.
    bool KeyDown(QKeyEvent *event);
    // Whether a key changes the text (typing, deleting, pasting).
    static bool IsEditingKey(QKeyEvent *event);
    // For a text that reads as a number but not as an integer of 10^-scale units (more digits than
    // the stored integer holds): the message refusing it as beyond the field's bounds (those its
    // collection declares, else the integer's own); empty for any other text.
    QString TooLargeProblem(const QString &text, int scale) const;
    // Whether the control is refreshing itself from the field (no user change).
    bool Reading() const { return m_reading; }
    // Runs OnChange; a handler's failure is shown (it runs from Qt's signals).
    void RaiseChange();

private:
    friend class TVoDataSource;
    // The message refusing the field's value beyond the bounds its collection declares, or empty.
    QString BoundsProblem() const;
    bool Fail(const QString &message, const QString &detail = QString());
    void Mark(const QString &message);
    void Unmark();

    QWidget *m_self;
    QPointer<TVoDataSource> m_dataSource;
    QString m_dataField;
    QString m_caption;
    QString m_invalidMessage;
    QString m_styleBeforeMark;
    QString m_toolTipBeforeMark;
    Qt::FocusPolicy m_writablePolicy = Qt::NoFocus;
    bool m_readOnly = false;
    bool m_modified = false;
    bool m_reading = false;
    bool m_writing = false;
    bool m_validating = false;
    bool m_leaving = false;
};

// A Qt widget made data-aware: keys pass through the control's checks, leaving it runs them.
template <typename Base> class TVoDBWidget : public Base, public TVoDBControl {
public:
    explicit TVoDBWidget(QWidget *parent = nullptr) : Base(parent), TVoDBControl(this) {}
    TVoDBWidget(const QString &text, QWidget *parent) : Base(text, parent), TVoDBControl(this) {}
    Q_DISABLE_COPY(TVoDBWidget)

protected:
    void keyPressEvent(QKeyEvent *event) override {
        if (!KeyDown(event))
            Base::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent *event) override {
        Base::focusOutEvent(event);
        Leaving(event->reason());
    }
};

// The question asked before closing a window whose row is being inserted or edited.
extern const QString KVoCDoc_SalvaChiudi;

// Before a window or frame closes: when the data source's row is being inserted or edited, asks
// KVoCDoc_SalvaChiudi (Yes, No, Cancel; Yes by default) in a box titled with the caption, with the
// icon of the message type. Yes runs the post operation (by default the data source's post, so the
// validators run); No the cancel operation (by default the data source's cancel, without them);
// Cancel keeps the row as it is. True when the closing may go on: nothing pending, saved (the row
// is no longer being edited) or discarded.
bool AskSaveBeforeClose(TVoDataSource *source, const QString &caption, TMsgDlgType icon = mtConfirmation,
                        int helpContext = 0, const std::function<void()> &post = {},
                        const std::function<void()> &cancel = {});

// The message shown for a refused value (the rule in VoDataSource.h).
QString VoValidationMessage(const QString &msg, bool controlWasEmpty, const QString &caption = QString());

// Checks the controls without a field inside an area (a dialog's client, a wizard's page) that
// stand on a page in use, in tab order; the first refusal is reported and the focus kept there.
bool VoValidateUnbound(QWidget *area);

// Brings forward the tab pages and stacked pages that hold a widget.
void VoShowControl(QWidget *widget);

// Whether a widget stands on a page in use: neither it nor a parent up to its window is hidden
// explicitly, pages of stacked widgets and tab widgets not in front counting as in use.
bool VoIsInUse(const QWidget *widget);
