#pragma once
// Taking over, as durable goods, what the consumables register handed out on an unloading voucher it
// marked for this program: one proposed good per piece, completed with category, site and sector, then
// written as one provisional loading voucher of the current register, the source marked as imported.
#include "VoImpWizard.h"

class TfmkvbImpVelist : public TfmVoImpWizard {
    Q_OBJECT
public:
    explicit TfmkvbImpVelist(QWidget *parent = nullptr);

    // Columns of the goods grid.
    enum {
        colCatId = 0,
        colSedeId = 1,
        colSecId = 2,
        colCodice = 3,
        colDesc = 4,
        colPrezzo = 5,
        colCategoria = 6,
        colSede = 7,
        colLuogo = 8,
        colMerId = 9,
        colCount = 10
    };

protected:
    void LoadGoods() override;
    bool RowsComplete() override;
    QString ConfirmationText() override;
    bool Post() override;
    QString AlreadyImportedText() override;

private:
    QVariant SourceId() const;
    int m_units = 0;
};

// What the user reads when the source was taken over first, and when it holds no piece.
extern const char *const kvbImpAlreadyImported;
extern const char *const kvbImpNothingToImport;
