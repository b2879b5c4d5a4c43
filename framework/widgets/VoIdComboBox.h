#pragma once
// A drop-down list whose items carry ids (an enumeration read from the database). Its change
// handler hears the user only: a selection made from code does not call it.
#include "VoUtils.h"

#include <QComboBox>
#include <functional>

class TVoIdComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TVoIdComboBox(QWidget *parent = nullptr);

    // Replaces the items; none is selected afterwards.
    void SetEnumValues(const QList<TVoEnumValue> &values);
    void AddItem(const QString &text, int id);
    int ItemId(int index) const;
    // The id of the selected item; none when nothing is selected.
    int SelectedId(int none = -1) const;
    // Selects the item of an id; when there is none, nothing is selected and false is returned.
    bool SelectId(int id);
    void ClearSelection() { setCurrentIndex(-1); }

    // The user chose an item (also the one already selected). Exceptions are shown to the user.
    std::function<void(QObject *Sender)> OnChange;
};
