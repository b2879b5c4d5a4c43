#pragma once
// Italian bank coordinates: the national account number (BBAN) with its check letter (CIN) built
// from bank code (ABI), branch code (CAB) and account, and the international number (IBAN) with
// its check digits (ISO 13616, ISO 7064 MOD 97-10). The only place of the system that computes
// check characters.
#include "VoExceptions.h"

#include <QString>
#include <memory>

// A code of the national number that gives no IBAN: longer than its length, or holding anything
// but letters and digits.
class EBBANError : public EVoError {
public:
    enum TPart { bpBank, bpBranch, bpAccount };
    EBBANError(TPart part, const QString &message) : EVoError(message), m_part(part) {}
    TPart Part() const { return m_part; }

private:
    TPart m_part;
};

// A national account number. Codes are kept as set; with Normalize on they are read padded on the
// left with "0" to their lengths (the account also upper-cased), and a code longer than its length
// cannot be read.
class TCustomBBAN {
public:
    virtual ~TCustomBBAN() = default;

    bool Normalize() const { return m_normalize; }
    void SetNormalize(bool on) { m_normalize = on; }

    QString Bank() const;
    void SetBank(const QString &bank) { m_bank = bank; }
    QString Branch() const;
    void SetBranch(const QString &branch) { m_branch = branch; }
    QString Account() const;
    void SetAccount(const QString &account) { m_account = account; }

    // The check character of the codes read now.
    virtual QString CheckDgt() const = 0;
    // The national number: check character and codes.
    virtual QString BBan() const = 0;
    // Refuses codes that are not made of letters "A" to "Z" and digits only (EBBANError).
    void CheckCharacters() const;

    const QString &Country() const { return m_country; }
    int BankLength() const { return m_bankLength; }
    int BranchLength() const { return m_branchLength; }
    int AccountLength() const { return m_accountLength; }

protected:
    TCustomBBAN(const QString &country, int bankLength, int branchLength, int accountLength);

private:
    QString Code(const QString &value, int length, EBBANError::TPart part, const QString &name) const;

    QString m_bank;
    QString m_branch;
    QString m_account;
    bool m_normalize = false;
    QString m_country;
    int m_bankLength;
    int m_branchLength;
    int m_accountLength;
};

// Italy: ABI and CAB of 5 digits, an account of 12 characters, the CIN letter in front.
class TItalianBBAN : public TCustomBBAN {
public:
    TItalianBBAN();
    QString CheckDgt() const override;
    QString BBan() const override;
};

// The IBAN of a national number.
class TIBAN {
public:
    // The national number is owned when given as owned.
    explicit TIBAN(std::unique_ptr<TCustomBBAN> owned);
    explicit TIBAN(TCustomBBAN *notOwned = nullptr);

    TCustomBBAN *DomesticBBAN() const { return m_bban; }
    void SetDomesticBBAN(TCustomBBAN *bban);

    // Country, check digits and national number; raises EBBANError for codes that give none.
    QString IBan();
    // The check digits of the last IBAN built.
    const QString &CheckDigits() const { return m_checkDigits; }

    // Whether a typed IBAN is the one its own codes give: trimmed, of the national number's length,
    // compared as typed (case counts). A text of that length leaves its codes in the national
    // number.
    bool Validate(const QString &text);
    bool Valid() const { return m_valid; }
    void SetValid(bool valid) { m_valid = valid; }

private:
    TCustomBBAN &Bban() const;

    std::unique_ptr<TCustomBBAN> m_owned;
    TCustomBBAN *m_bban;
    QString m_iban;
    QString m_checkDigits;
    bool m_valid = false;
};

// The remainder of a number written in digits divided by 97, taken nine digits at a time.
int IbanMod97(const QString &digits);
