#pragma once
// Rows of the other programs' tables that the imports take over, made for a test in a few lines.
#include "VoTestWarehouse.h"

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
