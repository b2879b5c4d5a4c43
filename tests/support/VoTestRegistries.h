#pragma once
// Rows of the shared registries for the tests of the beneficiaries registry, written through the
// global connection with keys drawn from PYSETGETID. An id of 0 leaves a reference empty (NULL).
#include <QString>
#include <QVariant>

// A beneficiary, a company unless a person is given.
int VoTestBeneficiary(const QString &name, const QVariant &personId = QVariant());
// A place of the demo data by its municipality ("ROMA", "MILANO", "NAPOLI": in the home country).
int VoTestPlace(const QString &municipality);
// A bank and a branch, placed at a place of the suite (0: nowhere).
int VoTestBank(const QString &abi, int placeId = 0, const QString &description = QString());
int VoTestBranch(int bankId, const QString &cab, int placeId = 0);
// A bank-data row of a beneficiary.
int VoTestBankData(int benId, int paymentMethod, int branchId, const QString &account);
