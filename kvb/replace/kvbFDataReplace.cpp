#include "kvbFDataReplace.h"

#include "VoDates.h"
#include "VoQuery.h"
#include "kvbRDblLstInbSelect.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

#include <algorithm>

namespace {

const char *const kUnloadingSQL =
    " INSERT INTO TBBuo_Buoni ( iBBuoID, IDwgFacAnfID, iBBuoNUMERO, dBBuoDATA, IBENID, sBBuoDESC, iBBuoTIPO, "
    "IDELID, dBBuoPROTDATA, sBBuoPROTNUM, iBBuoIMPORTO, ILOCKED,iBBuoRicogniz,iItbId) VALUES ( :VOGENID, "
    ":IDwgFacAnfID, :iBBuoNUMERO, :dBBuoDATA, :IBENID, :sBBuoDESC, 1, :IDELID, :dBBuoPROTDATA, "
    ":sBBuoPROTNUM, :iBBuoIMPORTO, 0,:iBBuoRicogniz,:iItbId);";
const char *const kLoadingSQL =
    " INSERT INTO TBBuo_Buoni  (iBBuoID,IDwgFacAnfID,iBBuoNUMERO,dBBuoDATA,IBENID,sBBuoDESC,iBBuoTIPO,  "
    "IDELID,dBBuoPROTDATA,sBBuoPROTNUM,iBBuoIMPORTO,ILOCKED,iBBuoRicogniz,iItbId) VALUES "
    "(:VOGENID,:IDwgFacAnfID,:iBBuoNUMERO,:dBBuoDATA,:IBENID,  :sBBuoDESC,0,:IDELID,:dBBuoPROTDATA,  "
    ":sBBuoPROTNUM,:iBBuoIMPORTO,0,:iBBuoRicogniz,:iItbId)";
// Each voucher's amount: the total of the goods it discharges or loads.
const char *const kUnloadingAmountSQL =
    "UPDATE TBBuo_Buoni SET iBBuoImporto=(SELECT SUM(INB.IBINBIMPORTO) FROM TBINB_BENI INB WHERE "
    "INB.IBBUOIDSCARICO=:iBBuoId) WHERE iBBuoId=:iBBuoId;";
const char *const kLoadingAmountSQL =
    "UPDATE TBBuo_Buoni SET iBBuoImporto=(SELECT SUM(INB.IBINBIMPORTO) FROM TBINB_BENI INB WHERE "
    "INB.IBBUOID=:iBBuoId) WHERE iBBuoId=:iBBuoId;";

const char *const kNoUnloading =
    "Errore durante la creazione del buono di scarico. Controllare l'anno di lavoro.";
const char *const kNoLoading =
    "Errore durante la creazione del buono di carico. Controllare l'anno di lavoro.";

const QString kCategory = QStringLiteral("iCamId");
const QString kRegister = QStringLiteral("iFacId");
const QString kSite = QStringLiteral("iSedInfId");
const QString kGoodsNumber = QStringLiteral("iBInbNumero");
// The unloading voucher of the run, so that a copy is made only of what this run discharged.
const QString kUnloadingVoucher = QStringLiteral("iBBuoIdScarico");

void SetAmount(const char *sql, int voucherId) {
    VoExecSQL(QString::fromLatin1(sql), {{QStringLiteral("iBBuoId"), voucherId}});
}

} // namespace

TfmKvbDataReplace::TfmKvbDataReplace(QWidget *parent)
    : TfmAbcDataReplace({QStringLiteral("KVBREPLACE"), kvbXmlList,
                         QStringLiteral("Rimpiazzato il dato %s a %d bene/i"), false},
                        parent),
      frKvbDblLstInbSelect1(new TfrKvbDblLstInbSelect(tsBeni)) {
    setObjectName(QStringLiteral("fmKvbDataReplace"));
    SetPicker(frKvbDblLstInbSelect1);
}

QString TfmKvbDataReplace::FieldName() const {
    return FieldAttribute(QStringLiteral("Name"));
}

bool TfmKvbDataReplace::Asks(const char *flag) const {
    return FieldAttribute(QString::fromLatin1(flag)) == QLatin1String("1");
}

int TfmKvbDataReplace::NewRegister() const {
    return EditorValue(NewValueEditor()).toInt();
}

bool TfmKvbDataReplace::ShowsOldValue() const {
    // The goods are the current register's: a register change has no old value to choose.
    return FieldName() != kRegister;
}

QStringList TfmKvbDataReplace::InsertParamNames() const {
    QStringList names;
    if (Asks("InsertScarico") && Asks("InsertCarico"))
        names << kUnloadingVoucher;
    if (FieldName() == kRegister)
        names << kGoodsNumber;
    return names;
}

QString TfmKvbDataReplace::BeforeUpdates() {
    m_unloadingId = 0;
    m_loadingId = 0;
    m_vouchersWritten.clear();
    if (!Asks("InsertScarico") && !Asks("InsertCarico") && FieldName() != kRegister)
        return {};
    // The vouchers' and goods' numbers are taken once the registers they are taken in are locked, in
    // the order of their keys, so that two copies moving goods both ways wait rather than deadlock.
    QList<int> registers{CurrentRegisterId};
    if (FieldName() == kRegister && NewRegister() > 0 && NewRegister() != CurrentRegisterId)
        registers << NewRegister();
    std::sort(registers.begin(), registers.end());
    for (int id : registers)
        VoLockRow(QStringLiteral("TFAC_VELISTO"), QStringLiteral("IFACID"), id);
    if (Asks("InsertScarico")) {
        m_unloadingId = CreateVoucher(kvbUnloading, CurrentRegisterId);
        if (m_unloadingId == 0)
            return QString::fromUtf8(kNoUnloading);
    }
    return {};
}

int TfmKvbDataReplace::InitialCount(const QList<int> &rows) const {
    return FieldName() == kSite ? int(rows.size()) : 0;
}

QString TfmKvbDataReplace::AfterUpdates() {
    if (m_unloadingId)
        SetAmount(kUnloadingAmountSQL, m_unloadingId);
    if (Asks("InsertCarico")) {
        const int registerId = FieldName() == kCategory   ? CurrentRegisterId
                               : FieldName() == kRegister ? NewRegister()
                                                          : 0;
        m_loadingId = registerId > 0 ? CreateVoucher(kvbLoading, registerId) : 0;
        if (m_loadingId == 0)
            return QString::fromUtf8(kNoLoading);
    }
    return {};
}

void TfmKvbDataReplace::BeforeInsert(TVoQuery &insert) {
    if (m_unloadingId)
        insert.SetParam(kUnloadingVoucher, m_unloadingId);
    if (FieldName() == kRegister)
        insert.SetParam(kGoodsNumber, NextGoodsNumber(NewRegister()));
}

void TfmKvbDataReplace::AfterInserts() {
    if (m_loadingId)
        SetAmount(kLoadingAmountSQL, m_loadingId);
}

int TfmKvbDataReplace::CreateVoucher(int kind, int registerId) {
    const int number = NextVoucherNumber(kind, registerId);
    DateWindow window;
    kvb::GetVoucherDateLimits(number, kind, window);
    // A day, not a moment: a voucher made on a register-year's last day stays in that year.
    const double date = std::max(TodayDays(), window.low);
    const int registerYear = FindRegisterYearByDate(registerId, date);
    if (registerYear <= 0)
        return 0;
    const int id = NewId(QStringLiteral("TBBUO_BUONI"));
    const QString name = FieldName();
    TVoQuery q(QString::fromLatin1(kind == kvbUnloading ? kUnloadingSQL : kLoadingSQL));
    q.SetParam(QStringLiteral("VOGENID"), id)
        .SetParam(QStringLiteral("IDwgFacAnfID"), registerYear)
        .SetParam(QStringLiteral("iBBuoNUMERO"), number)
        .SetParamDate(QStringLiteral("dBBuoDATA"), date)
        .SetParam(QStringLiteral("sBBuoDESC"),
                  QStringLiteral("Cambio ") + FieldAttribute(QStringLiteral("Caption")))
        .SetParam(QStringLiteral("iBBuoIMPORTO"), qint64(0));
    if (name == kCategory || name == kRegister)
        q.SetParam(QStringLiteral("iItbId"), name == kCategory ? 1 : 2);
    else
        SetParamNull(q, QStringLiteral("iItbId"), QMetaType::Int);
    for (const char *column : {"IBENID", "IDELID", "iBBuoRicogniz"})
        SetParamNull(q, QString::fromLatin1(column), QMetaType::Int);
    SetParamNull(q, QStringLiteral("dBBuoPROTDATA"), QMetaType::QDate);
    SetParamNull(q, QStringLiteral("sBBuoPROTNUM"), QMetaType::QString);
    q.Exec();
    m_vouchersWritten << QStringLiteral("Creato il buono di %1 numero %2 del %3.")
                             .arg(kind == kvbUnloading ? QStringLiteral("scarico") : QStringLiteral("carico"))
                             .arg(number)
                             .arg(FormatDays(date));
    return id;
}

QStringList TfmKvbDataReplace::WrittenBesides() const {
    return m_vouchersWritten;
}
