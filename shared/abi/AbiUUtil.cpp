#include "AbiUUtil.h"

#include "AbiMBen.h"
#include "AbiUIban.h"
#include "VoAttivazioni.h"
#include "VoDBFrames.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoTransaction.h"
#include "VoUtils.h"
#include "VoWait.h"

#include <QDate>
#include <QDir>
#include <QSaveFile>

namespace {

const char *const kLiveBeneficiariesSQL =
    "SELECT BEN.IBENID FROM TBEN_BENEFICIARI BEN WHERE BEN.DDELETE IS NULL";
const char *const kUpdateIBANSQL =
    " UPDATE TSPRBEN SET  SSPRBENNUMCC = :SSPRBENNUMCC, SSPRBENCIN = :SSPRBENCIN, SSPRBENSTATO = "
    ":SSPRBENSTATO, "
    "SSPRBENCININT = :SSPRBENCININT, sSprBenIBAN = :sSprBenIBAN WHERE ISPRBENID = :ISPRBENID";
const char *const kBeneficiaryNameSQL =
    "SELECT BEN.SBENRAGSOC FROM TBEN_BENEFICIARI BEN WHERE BEN.IBENID = :IBENID";

struct TAccountRow {
    int id = 0;
    QString abi;
    QString cab;
    QString account;
};

// The rows of a beneficiary that name a bank, a branch and an account.
QList<TAccountRow> AccountRows(int benId) {
    QList<TAccountRow> rows;
    TVoQuery q(QString::fromLatin1(kDatiBancariSQL));
    q.SetParam(QStringLiteral("IBENID"), benId);
    for (q.Open(); !q.Eof(); q.Next())
        if (q.AsInteger(QStringLiteral("IBANID")) > 0 && q.AsInteger(QStringLiteral("ISPRID")) > 0 &&
            !q.AsString(QStringLiteral("SSPRBENNUMCC")).isEmpty())
            rows << TAccountRow{q.AsInteger(QStringLiteral("ISPRBENID")),
                                q.AsString(QStringLiteral("SBANABI")), q.AsString(QStringLiteral("SSPRCAB")),
                                q.AsString(QStringLiteral("SSPRBENNUMCC"))};
    return rows;
}

// Saves the national number and IBAN of a row; false when its codes give none or it cannot be
// written.
bool RecalcRow(const TAccountRow &row) {
    try {
        const QString iban = CalcIBAN(row.abi, row.cab, row.account);
        const TCustomBBAN *bban = GlobalIBAN()->DomesticBBAN();
        TVoTransaction transaction;
        transaction.StartTransaction();
        TVoQuery update(QString::fromLatin1(kUpdateIBANSQL));
        update.SetParam(QStringLiteral("SSPRBENNUMCC"), bban->Account())
            .SetParam(QStringLiteral("SSPRBENCIN"), bban->CheckDgt())
            .SetParam(QStringLiteral("SSPRBENSTATO"), bban->Country())
            .SetParam(QStringLiteral("SSPRBENCININT"), GlobalIBAN()->CheckDigits())
            .SetParam(QStringLiteral("sSprBenIBAN"), iban)
            .SetParam(QStringLiteral("ISPRBENID"), row.id);
        update.Exec();
        transaction.Commit();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

// Writes the names, one a line; false when the file cannot be written.
bool WriteLog(const QString &path, const QStringList &names) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write((names.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return file.commit();
}

} // namespace

void RecalcAllIBAN(TVoAttShell *shell) {
    QList<int> beneficiaries;
    {
        TVoQuery q(QString::fromLatin1(kLiveBeneficiariesSQL));
        for (q.Open(); !q.Eof(); q.Next())
            beneficiaries << q.AsInteger(QStringLiteral("IBENID"));
    }
    QStringList failed;
    {
        TVoWaitScope waiting(QString(), QStringLiteral("Aggiornamento IBAN dei Beneficiari. Attendere..."));
        TfmVoWait *wait = fmVoWait();
        wait->SetProgressMax(int(beneficiaries.size()));
        for (qsizetype n = 0; n < beneficiaries.size(); ++n) {
            wait->SetText(QStringLiteral("Calcolo IBAN del Beneficiario: %1 di %2")
                              .arg(n + 1)
                              .arg(beneficiaries.size()));
            bool ok = true;
            for (const TAccountRow &row : AccountRows(beneficiaries[n]))
                ok = RecalcRow(row) && ok;
            // A beneficiary is listed once, however many of its rows failed.
            if (!ok)
                failed << VoSelectValue(QString::fromLatin1(kBeneficiaryNameSQL),
                                        {{QStringLiteral("IBENID"), beneficiaries[n]}})
                              .toString();
            wait->StepProgressBar();
        }
    }
    if (failed.isEmpty()) {
        VoMessageDlg(QStringLiteral("Operazione terminata!"), mtInformation, mbOK);
        return;
    }
    const QString folder = QDir(GetMainDir()).filePath(QStringLiteral("var/log/abc"));
    const QString name =
        QStringLiteral("ErrorBenIBAN%1.txt").arg(QDate::currentDate().toString(QStringLiteral("yyMMdd")));
    const bool written = QDir().mkpath(folder) && WriteLog(QDir(folder).filePath(name), failed);
    VoMessageDlg(QStringLiteral(
                     "Operazione terminata con errori!\r\nControllare i Beneficiari nell'elenco, perchè non "
                     "è stato possibile calcolare l'IBAN."),
                 mtInformation, mbOK);
    if (!written) {
        VoMessageDlg(QStringLiteral("Impossibile scrivere il file \"%1\".").arg(QDir(folder).filePath(name)),
                     mtWarning, mbOK);
        return;
    }
    if (shell) {
        shell->Directory = folder;
        shell->FileName = name;
        shell->Execute();
    }
}

bool AskSaveFrameBeforeClose(TfrVoDBRWGrid *frame, const QString &caption, int helpContext) {
    return AskSaveBeforeClose(
        frame->xdsMain, caption, mtWarning, helpContext, [frame] { frame->xacPost->Execute(); },
        [frame] { frame->xacCancel->Execute(); });
}

QString CurrencyDecimalsSuffix() {
    return VoCurrencyDecimals > 0 ? QStringLiteral(".") + QString(VoCurrencyDecimals, QLatin1Char('0'))
                                  : QString();
}

TVoMoney AmountTextToCurrency(const QString &text) {
    QString plain = text;
    plain.remove(QStringLiteral("€")).remove(QLatin1Char('.'));
    TVoMoney amount;
    return TVoMoney::TryParse(plain.trimmed(), &amount) ? amount : TVoMoney();
}
