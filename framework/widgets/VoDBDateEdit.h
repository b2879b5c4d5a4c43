#pragma once
// The one edit of every date the user types, bound to a field or standing alone in a dialog. Dates
// are typed as written: "01/04/2026", "1/4/2026" (a slash closes the day or month typed so far) and
// "01042026" all mean 1 April 2026, over a selected text or not. An empty edit shows the mask
// "  /  /    " and stores NULL, unless the field refuses NULL; one without a field needs a date unless
// SetEmptyAllowed says that no date has a meaning there. A
// text that is no date ("31/02/2026") is refused with a message, the focus staying in the edit, when
// the user tabs on, posts, or confirms the dialog or the wizard's page it stands on. The picker key
// (F8 unless set) and the edit's button open a calendar; OnButtonClick runs first, so that the
// window may preset the date the calendar opens on.
#include "VoDataSource.h"

#include <QDate>
#include <QLineEdit>
#include <QPointer>

class QCalendarWidget;
class QFrame;

class TVoDBDateEdit : public TVoDBWidget<QLineEdit> {
    Q_OBJECT
public:
    explicit TVoDBDateEdit(QWidget *parent = nullptr);
    ~TVoDBDateEdit() override;

    // The text of an empty edit, as the windows compare it.
    static const QString EmptyText;

    // What the user sees, mask included.
    QString Text() const { return displayText(); }
    // The date shown; invalid when the edit is empty or holds no date.
    QDate Date() const;
    // The same as a day count; VoNoDate when there is none.
    double AsDays() const;
    // Shows a date (an invalid one empties the edit); while the row is edited it is also written.
    void SetDate(const QDate &date);

    // The key that opens the calendar, as a virtual-key number (119 is F8, 112 F1 ... 123 F12).
    int PickerKey() const { return m_pickerKey; }
    void SetPickerKey(int virtualKey) { m_pickerKey = virtualKey; }
    QString DialogTitle() const { return m_dialogTitle; }
    void SetDialogTitle(const QString &title) { m_dialogTitle = title; }

    // Opens the calendar on the date shown (today when none).
    void ShowPicker();
    // The open calendar, or nullptr.
    QCalendarWidget *Calendar() const;

    bool IsEmpty() const override;
    // Without a field: whether leaving the edit empty is an answer (no date) or a missing value.
    bool EmptyAllowed() const { return m_emptyAllowed; }
    void SetEmptyAllowed(bool allowed) { m_emptyAllowed = allowed; }
    // As wide as a date and the button, not as the row it stands in.
    QSize sizeHint() const override;

    // The button (or the picker key) was pressed; the calendar opens afterwards.
    TVoEvent<QWidget *> OnButtonClick;
    // A date was chosen in the calendar and shown.
    TVoEvent<QWidget *> OnAcceptDate;

protected:
    void DataToControl() override;
    bool ControlToData(QString *error) override;
    bool CheckText(QString *error) const override;
    void ApplyReadOnly(bool readOnly) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    // Puts the date (none: the empty mask) in the text.
    void Show(const QDate &date);
    // A slash (or a dot, a dash) typed inside the day or the month.
    void CloseSection();
    void ButtonClicked();
    void Accept(const QDate &date);

    int m_pickerKey = 119;
    bool m_emptyAllowed = false;
    QString m_dialogTitle;
    QAction *m_button = nullptr;
    QPointer<QFrame> m_popup;
    QCalendarWidget *m_calendar = nullptr;
};
