#pragma once
// Durable goods for the tests, written with the program's own statements through the global
// connection: vouchers, goods, discharges. The register comes from VoTestOpenRegister (type 5).
// Amounts are ten-thousandths of the currency unit; an id of 0 leaves a reference empty.
#include "VoTestDb.h"

#include <QDate>
#include <QString>

// A provisional voucher of a kind (0 loading, 1 unloading) in a register-year.
int VoTestGoodsVoucher(int registerYearId, int kind, const QDate &date, int number, qint64 amount = 0);

// A good as the loading window writes it, in state 1, described "Bene <number>".
int VoTestGood(int loadingVoucherId, int number, qint64 value = 0, int category = 1, int sector = 0,
               int site = 0, const QString &subCode = QString());

// A causal of a kind (0 loading, 1 unloading).
int VoTestCausal(int kind);
// A good put on an unloading voucher with a causal (state 3), its value kept.
void VoTestDischarge(int goodId, int unloadingVoucherId, int causalId);
// A good put on an unloading voucher at a value at discharge, as the unloading window writes it.
void VoTestDischargeAt(int goodId, int unloadingVoucherId, int causalId, qint64 value);
// A voucher of a kind made definitive by the server, as the definitive-voucher dialog does.
void VoTestMakeDefinitive(int voucherId, int kind);

// A test on its own database with a new durable-goods register opened for 2025 and 2026.
class VoGoodsTest : public VoDbTest {
protected:
    void SetUp() override;
    // Forgets the register-year chosen and the working context read for it.
    void TearDown() override;
    // Chooses the 2026 register-year and reads the working context, as the program does at start.
    void WorkIn2026();
    int facId = 0;
    int year2025 = 0;
    int year2026 = 0;
};
