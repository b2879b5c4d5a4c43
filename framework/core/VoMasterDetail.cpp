#include "VoMasterDetail.h"

#include "VoExceptions.h"
#include "VoQueryCollection.h"

TVoMasterDetail::TVoMasterDetail(TVoQueryCollection *master, TVoQueryCollection *detail,
                                 const QString &keyField, QObject *parent)
    : QObject(parent), m_master(master), m_detail(detail), m_keyField(keyField) {
    // What is typed into the detail is saved before the master moves away from its row, or the move
    // is refused: reloading the detail would drop it.
    m_hooks.Add(master, master->BeforeScroll, [this](TVoQueryCollection *) {
        if ((m_detail->State() == dsInsert || m_detail->State() == dsEdit) && !m_detail->Post())
            throw EVoAbort();
    });
    m_hooks.Add(master, master->DataChange,
                [this](TVoQueryCollection *, TVoField *field) { MasterChanged(field); });
    m_hooks.Add(detail, detail->VoBeforeExec, [this](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (prop.Kind != skInsert)
            return;
        const QVariant key = MasterKey();
        if (key.isNull())
            prop.Values.AddNull(m_keyField);
        else
            prop.Values.Add(m_keyField, key);
    });
}

QVariant TVoMasterDetail::MasterKey() const {
    if (!m_master->Active() || m_master->IsEmpty() || m_master->State() == dsInsert)
        return QVariant();
    return m_master->FieldByName(m_keyField)->Value();
}

void TVoMasterDetail::Reload() {
    m_detail->Close();
    if (!m_master->Active())
        return;
    const QVariant key = MasterKey();
    TVoParam &param = m_detail->Params()[0];
    if (key.isNull())
        param.SetNull(QMetaType::Int);
    else
        param.SetAsInteger(key.toInt());
    m_detail->Open();
}

void TVoMasterDetail::MasterChanged(TVoField *field) {
    if (m_follow && !field)
        Reload();
}
