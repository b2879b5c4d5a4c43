#include "VoIdComboBox.h"

#include "VoForms.h"

TVoIdComboBox::TVoIdComboBox(QWidget *parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
    // activated, not currentIndexChanged: the latter also fires for selections made from code.
    connect(this, &QComboBox::activated, this, [this] {
        if (OnChange)
            VoGuarded([this] { OnChange(this); });
    });
}

void TVoIdComboBox::SetEnumValues(const QList<TVoEnumValue> &values) {
    clear();
    for (const TVoEnumValue &v : values)
        AddItem(v.text, v.id);
    setCurrentIndex(-1);
}

void TVoIdComboBox::AddItem(const QString &text, int id) {
    addItem(text, id);
}

int TVoIdComboBox::ItemId(int index) const {
    const QVariant id = itemData(index);
    return id.isValid() ? id.toInt() : -1;
}

int TVoIdComboBox::SelectedId(int none) const {
    return currentIndex() < 0 ? none : ItemId(currentIndex());
}

bool TVoIdComboBox::SelectId(int id) {
    const int index = findData(id);
    setCurrentIndex(index);
    return index >= 0;
}
