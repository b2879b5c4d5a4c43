#pragma once
// Rows of the other programs' tables that the imports take over, made for a test in a few lines.
#include <QDate>
#include <QString>

// A goods code with its entry among the durable-goods categories, linked to a category of this
// program unless category is 0; returns the entry (iCaeId). The code's key is given back in merId.
int VoTestGoodsEntry(const QString &codeDesc, int category, int *merId = nullptr);

// An unloading voucher of the durable-goods program, or with inventory set of the inventory
// registers, in the financial year of the chosen register-year, carrying the hand-over marker.
int VoTestMarkedVoucher(bool inventory, int number, const QDate &date,
                        const QString &marker = QStringLiteral("VELIST"));

struct TVoTestHandedGood {
    QString desc;
    qint64 amount = 0; // ten-thousandths
    int entry = 0;     // iCaeId; 0 none
    int sector = 0;
    int site = 0;
    int location = 0;
    QString note;
    QString title, author, publisher;
};
// A good unloaded by a marked voucher.
void VoTestHandedGood(bool inventory, int voucherId, const TVoTestHandedGood &good);

// A warehouse article of a goods code with its stock record for the demo school and a year: the unit
// of that factor and the initial unit cost (ten-thousandths; NULL when negative).
int VoTestWarehouseArticle(const QString &desc, int merId, const QVariant &factor, qint64 initialCost = -1,
                           int year = 2026);
// A warehouse movement of the demo school: type 1 loads, type 9 issues goods to this program (from
// the load parent, when given).
int VoTestMovement(int type, const QDate &date, const QString &code, int parent = 0, int supplier = 0,
                   int year = 2026);
// A row of a movement: unit and average amounts in ten-thousandths (average NULL when negative),
// taken from a row of the parent load when linkedRow is given.
int VoTestMovementRow(int movement, int article, double quantity, qint64 unitAmount, int vatRate,
                      qint64 average = -1, int linkedRow = 0);
