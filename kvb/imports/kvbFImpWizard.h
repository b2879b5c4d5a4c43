#pragma once
// The inventory's imports: one proposed good per piece of what another program handed over, completed
// with category, site and sector, then written as one provisional loading voucher of the current
// register. The windows differ in their source, their extra columns and what they write besides.
#include "VoImpWizard.h"
#include "kvbUBuoni.h"

#include <QVariantHash>

class TfmkvbImpWizard : public TfmVoImpWizard {
    Q_OBJECT
public:
    // Columns of the goods grid; the warehouse import adds the last two.
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
        colMgmArtId = 10,
        colNote = 11
    };

    TfmkvbImpWizard(QWidget *parent, const QString &caption, int columnCount);

protected:
    // What a source's row gives every piece of it.
    struct TUnit {
        QString sectorId, code, desc, price, sector, merId, movementRow, note;
    };
    // The rows of a piece count (rounded to the nearest whole number), all alike.
    void AppendUnits(double quantity, const TUnit &unit);
    void LoadGoods() override;
    virtual void LoadUnits() = 0;
    bool RowsComplete() override;
    QString ConfirmationText() override;
    QString AlreadyImportedText() override;
    // After the import the user is told what was written before the wizard closes.
    void buOkClick() override;

    // The voucher (the register's next loading number, taken under the register's lock) and its key.
    // It takes the source's date when the register's date rule accepts it, else the earliest date the
    // rule accepts, so that the register's numbers and dates stay in one order.
    int InsertVoucher(const QString &desc, double date, const QVariant &movement,
                      const QVariant &beneficiary);
    // The good of a unit row through the window's statement, with its further values; its key.
    int InsertGood(const char *sql, int row, int voucher, const QVariantHash &further = {});
    void UpdateAmount(int voucher);

private:
    int m_units = 0;
    TkvbNewVoucher m_written;
};

// What the user reads when the source was taken over first, and when it holds no piece.
extern const char *const kvbImpAlreadyImported;
extern const char *const kvbImpNothingToImport;
// A price as the grid shows it: base + base × rate / 100, the base stored in ten-thousandths and the
// rate read with four decimals.
QString kvbImpPrice(qint64 storedBase, double rate);
// A cost read from a floating column as the grid shows it, with four decimals.
QString kvbImpCost(double cost);
