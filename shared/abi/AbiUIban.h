#pragma once
// The IBAN routines of the beneficiaries registry: one calculator for the whole program, the IBAN
// of Italian coordinates, the check of a typed IBAN, and the bank and branch an IBAN names, found
// or added.
#include "AbiCBankClass.h"

#include <QString>

// The program's calculator: an Italian national number, normalised, that it owns. It keeps the
// parts of the last IBAN worked on.
TIBAN *GlobalIBAN();

// The IBAN of a bank code, branch code and account; raises EBBANError when they give none.
QString CalcIBAN(const QString &abi, const QString &cab, const QString &account);
// Whether a typed IBAN is a correct Italian one; when its length fits, the calculator keeps the
// codes read from it.
bool IsValidIBAN(const QString &text);

// The live bank of an ABI (the oldest when several), added when there is none.
int GetOrAddBank(const QString &abi, bool &added);
// The live branch of a CAB under a bank (the oldest when several), added when there is none.
int GetOrAddBranch(const QString &cab, int bankId, bool &added);

// Finds or adds the bank and branch of a correct IBAN, in one transaction, and tells the user
// what was added. False, with the ids untouched, for an IBAN that is not correct.
bool DecodeIBAN(const QString &text, int &bankId, int &branchId);
