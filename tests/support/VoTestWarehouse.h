#pragma once
// Rows of the school warehouse's tables, which both programs take goods over from: articles with
// their stock record, movements and their rows. Amounts are ten-thousandths; an id of 0 leaves a
// reference empty.
#include <QDate>
#include <QString>
#include <QVariant>

// A warehouse article of a goods code with its stock record for the demo school and a year: the unit
// of that factor and the initial unit cost (ten-thousandths; NULL when negative).
int VoTestWarehouseArticle(const QString &desc, int merId, const QVariant &factor, qint64 initialCost = -1,
                           int year = 2026);
// A warehouse movement of the demo school: type 1 loads, type 9 issues goods to the consumables
// register, type 16 to the inventory (from the load parent, when given).
int VoTestMovement(int type, const QDate &date, const QString &code, int parent = 0, int supplier = 0,
                   int year = 2026);
// A row of a movement: unit and average amounts in ten-thousandths (average NULL when negative),
// taken from a row of the parent load when linkedRow is given.
int VoTestMovementRow(int movement, int article, double quantity, qint64 unitAmount, int vatRate,
                      qint64 average = -1, int linkedRow = 0);
