#pragma once
// The histories of one good: its delivery sectors, its amounts and its sites, each row with the
// dates from which and until which it held. The server keeps them; these windows only read them.
// The good is the one the goods list stored in the menu module before running the hidden item.
#include "VoRegistry.h"

#include <initializer_list>

// A column of a history: title, field, width (0: the grid's own).
struct TkvbStorColumn {
    const char *Title;
    const char *Field;
    int Width;
};

class TfmkvbStorico : public TfmVoRegistry {
    Q_OBJECT
public:
    TVoQueryCollection *const xqcMain;
    TfrVoDBRWGrid *const frMaster;

    // The good shown.
    int GoodId() const { return m_goodId; }

protected:
    TfmkvbStorico(QWidget *parent, const QString &caption, const char *select,
                  std::initializer_list<TkvbStorColumn> columns);
    void FormCreate() override;
    void FormShow() override;

private:
    QString m_select;
    int m_goodId = 0;
};

class TfmkvbStorLuoghi : public TfmkvbStorico {
    Q_OBJECT
public:
    explicit TfmkvbStorLuoghi(QWidget *parent = nullptr);
};

class TfmkvbStorImp : public TfmkvbStorico {
    Q_OBJECT
public:
    explicit TfmkvbStorImp(QWidget *parent = nullptr);

protected:
    void FormCreate() override;
};

class TfmKvbStorSedi : public TfmkvbStorico {
    Q_OBJECT
public:
    explicit TfmKvbStorSedi(QWidget *parent = nullptr);
};
