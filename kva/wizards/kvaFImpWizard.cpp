#include "kvaFImpWizard.h"

#include "VoClassRegistry.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "kvaMAtt.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <QPushButton>

const char *const kvaImpAlreadyImported = "Il buono selezionato è già stato importato";

TKvaImpSearch TfmKvaImpWizard::SiteSearch(int column, int idColumn) {
    TKvaImpSearch search;
    search.column = column;
    search.idColumn = idColumn;
    search.buttonCaption = QStringLiteral("Selezione Unica Sede");
    search.sql = QStringLiteral("SELECT ISEDINFID, SSEDINFLDESC FROM TSEDINF_SEDEINFO");
    search.keyField = QStringLiteral("ISEDINFID");
    search.shownField = QStringLiteral("SSEDINFLDESC");
    search.shownTitle = QStringLiteral("Sede");
    return search;
}

bool TfmKvaImpWizard::GoodsAllowed() {
    const QStringList codes = UnclassifiedCodes();
    if (codes.isEmpty())
        return true;
    buOk->setEnabled(false);
    VoMessageDlg(QStringLiteral("I seguenti codici non sono associati a nessuna categoria di Velisto") +
                     QStringLiteral("\r\n") + codes.join(QStringLiteral("\r\n")),
                 mtError, mbOK);
    if (dmkvaAtt)
        dmkvaAtt->xafCatMerc->Execute();
    else if (QWidget *classification = CreateVoClass(QStringLiteral("TfmCategMerce")))
        classification->show();
    close();
    return false;
}

QString TfmKvaImpWizard::ConfirmationText() {
    return QStringLiteral("I beni verranno importati nel Velisto %1")
        .arg(kva::GetParamDescription(ParRegisterYear).toString());
}

QString TfmKvaImpWizard::AlreadyImportedText() {
    return QString::fromUtf8(kvaImpAlreadyImported);
}

int TfmKvaImpWizard::InsertHeader(const QString &description, double sourceDate, const QVariant &movementId,
                                  const QVariant &supplierId) {
    kvaLockNumbering();
    const int voucher = NewId(QStringLiteral("TFBUO_BUONI"));
    const int number = NextVoucherNumber(kvaLoading);
    DateWindow window;
    kva::GetVoucherDateLimits(number, kvaLoading, window);
    TVoQuery insert(QString::fromLatin1(kvaSQLImportBuoInsert));
    insert.SetParam(QStringLiteral("iFBuoID"), voucher)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iFBuoNUMERO"), number)
        .SetParam(QStringLiteral("sFBuoDESC"), description)
        .SetParamDate(QStringLiteral("dFBuoDATA"), qMax(sourceDate, window.low))
        .SetParam(QStringLiteral("imgmid"), movementId.isValid() ? movementId : VoNull(QMetaType::Int))
        .SetParam(QStringLiteral("ibenid"), supplierId.isValid() ? supplierId : VoNull(QMetaType::Int));
    insert.Exec();
    return voucher;
}
