#include "AbiCBankClass.h"

namespace {

const QString kBankName = QStringLiteral("ABI");
const QString kBranchName = QStringLiteral("CAB");
const QString kAccountName = QStringLiteral("Conto Corrente");

// What a character counts in the CIN at an odd position: digits and letters "A" to "J" share the
// first ten values.
const int kOddValues[26] = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                            20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

bool IsUpperLetter(QChar c) {
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The character's place among "0" to "9" or "A" to "Z"; -1 for any other.
int Rank(QChar c) {
    if (IsDigit(c))
        return c.unicode() - '0';
    if (IsUpperLetter(c))
        return c.unicode() - 'A';
    return -1;
}

int OddValue(QChar c) {
    const int rank = Rank(c);
    return rank < 0 ? 0 : kOddValues[rank];
}

int EvenValue(QChar c) {
    return qMax(Rank(c), 0);
}

QString Padded(const QString &value, int length) {
    return value.rightJustified(length, QLatin1Char('0'));
}

} // namespace

int IbanMod97(const QString &digits) {
    int remainder = 0;
    QString pending;
    for (qsizetype at = 0; at < digits.size();) {
        // The remainder so far, then as many next digits as make nine in all.
        pending = remainder == 0 ? QString() : QString::number(remainder);
        const qsizetype take = 9 - pending.size();
        pending += digits.mid(at, take);
        at += take;
        remainder = int(pending.toLongLong() % 97);
    }
    return remainder;
}

// --- TCustomBBAN ----------------------------------------------------------------------------------------

TCustomBBAN::TCustomBBAN(const QString &country, int bankLength, int branchLength, int accountLength)
    : m_country(country), m_bankLength(bankLength), m_branchLength(branchLength),
      m_accountLength(accountLength) {}

QString TCustomBBAN::Code(const QString &value, int length, EBBANError::TPart part,
                          const QString &name) const {
    if (!m_normalize)
        return value;
    if (value.size() > length)
        throw EBBANError(part, QStringLiteral("%1 non può essere di %2 caratteri.").arg(name).arg(length));
    return Padded(value, length);
}

QString TCustomBBAN::Bank() const {
    return Code(m_bank, m_bankLength, EBBANError::bpBank, kBankName);
}

QString TCustomBBAN::Branch() const {
    return Code(m_branch, m_branchLength, EBBANError::bpBranch, kBranchName);
}

QString TCustomBBAN::Account() const {
    const QString account = Code(m_account, m_accountLength, EBBANError::bpAccount, kAccountName);
    return m_normalize ? account.toUpper() : account;
}

void TCustomBBAN::CheckCharacters() const {
    const struct {
        QString value;
        EBBANError::TPart part;
        const QString &name;
    } codes[] = {{Bank(), EBBANError::bpBank, kBankName},
                 {Branch(), EBBANError::bpBranch, kBranchName},
                 {Account(), EBBANError::bpAccount, kAccountName}};
    for (const auto &code : codes)
        for (const QChar c : code.value)
            if (Rank(c) < 0)
                throw EBBANError(code.part,
                                 QStringLiteral("%1 può contenere solo lettere e cifre.").arg(code.name));
}

// --- TItalianBBAN ---------------------------------------------------------------------------------------

TItalianBBAN::TItalianBBAN() : TCustomBBAN(QStringLiteral("IT"), 5, 5, 12) {}

QString TItalianBBAN::CheckDgt() const {
    const QString codes = Bank() + Branch() + Account();
    int sum = 0;
    // Characters go in pairs; an odd last one is left out.
    for (qsizetype i = 0; i + 1 < codes.size(); i += 2)
        sum += OddValue(codes[i]) + EvenValue(codes[i + 1]);
    return QString(QChar('A' + sum % 26));
}

QString TItalianBBAN::BBan() const {
    return CheckDgt() + Bank() + Branch() + Account();
}

// --- TIBAN ----------------------------------------------------------------------------------------------

TIBAN::TIBAN(std::unique_ptr<TCustomBBAN> owned) : m_owned(std::move(owned)), m_bban(m_owned.get()) {}

TIBAN::TIBAN(TCustomBBAN *notOwned) : m_bban(notOwned) {}

void TIBAN::SetDomesticBBAN(TCustomBBAN *bban) {
    if (m_owned && m_owned.get() != bban)
        m_owned.reset();
    m_bban = bban;
}

TCustomBBAN &TIBAN::Bban() const {
    Q_ASSERT(m_bban);
    if (!m_bban)
        throw EVoError(QStringLiteral("IBAN senza numero di conto nazionale."));
    return *m_bban;
}

QString TIBAN::IBan() {
    TCustomBBAN &bban = Bban();
    // Other characters have no value in the check digits: the number must not be read from part
    // of the text.
    bban.CheckCharacters();
    const QString national = bban.BBan();
    QString digits;
    for (const QChar c : national + bban.Country() + QLatin1String("00"))
        digits += IsUpperLetter(c) ? QString::number(c.unicode() - 'A' + 10) : QString(c);
    m_checkDigits = QStringLiteral("%1").arg(98 - IbanMod97(digits), 2, 10, QLatin1Char('0'));
    m_iban = bban.Country() + m_checkDigits + national;
    return m_iban;
}

bool TIBAN::Validate(const QString &text) {
    TCustomBBAN &bban = Bban();
    const QString typed = text.trimmed();
    m_valid = false;
    if (typed.size() != bban.BankLength() + bban.BranchLength() + bban.AccountLength() + 5)
        return false;
    bban.SetBank(typed.mid(5, bban.BankLength()));
    bban.SetBranch(typed.mid(5 + bban.BankLength(), bban.BranchLength()));
    bban.SetAccount(typed.right(bban.AccountLength()));
    try {
        m_valid = IBan() == typed;
    } catch (const EBBANError &) {
        m_valid = false;
    }
    return m_valid;
}
