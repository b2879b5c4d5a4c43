#pragma once
// Rows for the voucher and stock tests, built on the demo database (one school, the register
// "Facile consumo" opened for 2025, 2026 and 2027) through the global connection. Keys are drawn
// from PYSETGETID as the programs draw them. An id of 0 leaves a reference empty (NULL).
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

// A new key for a table, drawn from PYSETGETID.
int VoTestNewKey(const QString &table);

// An XML definition under a code in one of the lists of definitions ("KVA", "KVB").
void VoTestXmlDefinition(const QString &list, const QString &code, const QString &xml);

// The register-year of the demo school register for a financial year (2025, 2026 or 2027).
int VoTestRegisterYear(int year);
// The demo consumables register.
int VoTestRegister();
// Sets a register's numbering (1 per register-year, anything else across its years) and its
// VAT-included flag (a QVariant, so that a test can store NULL).
void VoTestSetRegisterOptions(int registerId, int numbering, const QVariant &vatIncluded);
// Another register of the demo school, open for the given year: returns its register-year.
int VoTestOtherRegisterYear(const QString &description, int year);
// A register of a type (1 consumables, 5 durable goods) of the demo school, opened for each of the
// years: their register-years in the same order. facId, when given, receives the register.
QList<int> VoTestOpenRegister(const QString &description, int type, const QList<int> &years,
                              int *facId = nullptr);
// A delivery sector of the demo data by its code: "SEG", "LAB" or "PAL".
int VoTestSector(const QString &code);

// A unit of measure: factor unloading measures make one loading measure (NULL allowed).
int VoTestUnit(const QVariant &factor, const QString &code = QStringLiteral("PZ"));
// A VAT rate of the given percentage.
int VoTestVatRate(double percent);
// An article with a unit and a VAT rate; its code is taken from its key.
int VoTestArticle(const QString &description, int unitId = 0, int vatRateId = 0);

// A document of the registry described by its number, of a type (0: none) and a program code; returns
// its key.
int VoTestDocument(const QString &number, const QDate &date, int typeId = 1,
                   const QString &program = QStringLiteral("11000"));

// A voucher of the kind (0 loading, 1 unloading) dated in a register-year; number 0 takes the next
// number of that kind in that register-year.
int VoTestVoucher(int kind, const QDate &date, int registerYearId, int number = 0);
// A voucher row; vatRateId -1 takes the article's rate, sectorId 0 leaves the sector empty.
int VoTestRow(int voucherId, int articleId, double quantity, double unitCost = 0.0, int sectorId = 0,
              int vatRateId = -1);

// What PKVA_GETGIACENZA answers; rows is how many rows it returned.
struct TVoTestStock {
    double stock = 0.0;
    double cost = 0.0;
    int rows = 0;
};
// date may be a QDate, a QDateTime or NULL; sectorId -1 or NULL means all sectors.
TVoTestStock VoTestStock(int articleId, const QVariant &date, int registerYearId,
                         const QVariant &sectorId = -1);
// What PKVA_CONTROLLAGIAC answers (-1 when it returned no row).
int VoTestCheck(int articleId, const QVariant &rowId, const QVariant &quantity, const QVariant &voucherId,
                int registerYearId);
