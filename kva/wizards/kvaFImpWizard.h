#pragma once
// The consumables register's import wizards: the common import wizard with the check of the goods
// codes' classification and the header of the loading voucher they write.
#include "VoImpWizard.h"

using TKvaImpSearch = TVoImpSearch;

class TfmKvaImpWizard : public TfmVoImpWizard {
    Q_OBJECT
public:
    explicit TfmKvaImpWizard(QWidget *parent = nullptr) : TfmVoImpWizard(parent) {}

    // The site search, the same in every import and in the generation of unloading vouchers.
    static TKvaImpSearch SiteSearch(int column, int idColumn);

protected:
    // The goods codes of the picked source that no category of this program claims, one text each;
    // when there are any the wizard sends the user to the classification and closes.
    virtual QStringList UnclassifiedCodes() = 0;
    bool GoodsAllowed() override;
    QString ConfirmationText() override;
    QString AlreadyImportedText() override;

    // Writes the header of the new loading voucher: the next number, dated the later of the source's
    // date and the earliest date that number allows. Returns its key.
    int InsertHeader(const QString &description, double sourceDate, const QVariant &movementId = QVariant(),
                     const QVariant &supplierId = QVariant());
};

// What the user reads when another user took the source over first.
extern const char *const kvaImpAlreadyImported;
