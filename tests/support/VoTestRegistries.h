#pragma once
// Rows of the shared registries for the tests of the beneficiaries registry, written through the
// global connection with keys drawn from PYSETGETID. An id of 0 leaves a reference empty (NULL).
#include <QDate>
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
// A city of a foreign state: its municipality and its place under the foreign places' province.
// Returns the place.
int VoTestForeignPlace(const QString &city, int stateId);
// A person of the persons' registry, born at a place (0: unknown) and with a tax code (empty: none).
int VoTestPerson(const QString &surname, const QString &name, const QDate &born,
                 const QString &taxCode = QString(), int placeId = 0);
