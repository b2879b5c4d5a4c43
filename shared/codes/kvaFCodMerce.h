#pragma once
// The goods codes: the table of codes (with the details of each, in the consumables register), and the goods codes
// allowed in each category. Both windows show a master list above the list of its current row's rows.
// The durable-goods program keeps the same codes, and its own categories with their goods codes, in
// these windows with its profile.
#include "VoRegistry.h"

#include <functional>

class TVoDBEdit;
class TVoDBLookupEdit;
class TVoMasterDetail;
class TVoSearchDialog;

// --- Categories and their goods codes -----------------------------------------------------------------

// What a program keeps of categories and their goods codes: its tables and its texts.
struct TCategMerceProfile {
    // The categories: their select, key, hint, code and description columns, the description's width,
    // and whether the rows the system provides are read-only.
    const char *categoriesSQL;
    QString categoriesTable;
    QString categoryKey;
    QString categoriesHint;
    QString categoryCode;
    QString categoryDesc;
    int categoryDescWidth;
    bool lockedCategories;
    // The links of a category to its goods codes: their select and statements, key and table.
    const char *linksSQL;
    const char *linkInsertSQL;
    const char *linkUpdateSQL;
    const char *linkDeleteSQL;
    QString linkKey;
    QString linkTable;
    // The users of a link, which keep it from being deleted.
    const char *linkUsersSQL;
    // The goods codes the lookup offers, and the captions and widths of its search columns.
    const char *goodsCodesSQL;
    QStringList searchCaptions;
    QList<int> searchWidths;
    // Whether a goods code already belongs to some category (none: a code may join several).
    std::function<bool(int goodsCode)> codeInAnyCategory;
    // Given the category's key (:category), the goods code (:goodsCode) and the link's key (:link, -1
    // for a new one), finds another link of the category to that code (none: the rule above keeps
    // codes apart).
    const char *sameLinkSQL;
    // The warning of an empty category list.
    QString noCategories;
};

// The categories, only listed here: they are kept in their own window.
class TfrCategRo : public TfrVoDBROGrid {
    Q_OBJECT
public:
    explicit TfrCategRo(const TCategMerceProfile &profile, QWidget *parent = nullptr);
};

class TfrCategMerce : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrCategMerce(const TCategMerceProfile &profile, QWidget *parent = nullptr);
    TVoDBLookupEdit *const xelMerceologia;

private:
    void xelMerceologiaChangeFKValue();
    void xelMerceologiaValidate(bool &Ok, QString &Msg);
    void xelMerceologiaShowSearchForm(TVoSearchDialog *Form);

    const TCategMerceProfile &m_profile;
};

class TfmCategMerce : public TfmVoRegistry {
    Q_OBJECT
public:
    TfmCategMerce(const TCategMerceProfile &profile, QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TVoQueryCollection *const xqcDetail;
    TfrCategRo *const frMaster;
    TfrCategMerce *const frDetail;

protected:
    void FormCreate() override;

private:
    void frMasterxdsMainDataChange(TVoField *Field);
    void xqcDetailBeforeWrite(int listKind);

    const TCategMerceProfile &m_profile;
    TVoMasterDetail *m_link;
};

// --- Goods codes and their details --------------------------------------------------------------------

class TfrkvaMer : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaMer(QWidget *parent = nullptr);
    TVoDBEdit *const xedCodice;
    TVoDBEdit *const xedDesc;
};

class TfrkvaDettCodMerc : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaDettCodMerc(QWidget *parent = nullptr);
    TVoDBEdit *const xdeCodice;
    TVoDBEdit *const xdeDescrizione;
};

class TfmkvaCodMerce : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaCodMerce(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    // Null where a program keeps no details of its codes.
    TVoQueryCollection *const xqcDetail;
    TfrkvaMer *const frMaster;
    TfrkvaDettCodMerc *const frDetail;

protected:
    // The codes as another program keeps them: without details, a new code written by its statement,
    // which marks the code as that program's.
    TfmkvaCodMerce(const char *insertSQL, QWidget *parent);
    void FormCreate() override;

private:
    TfmkvaCodMerce(const char *insertSQL, bool details, QWidget *parent);
    const char *const m_insertSQL;
};
