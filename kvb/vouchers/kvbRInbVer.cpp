#include "kvbRInbVer.h"

#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoRegistry.h"

namespace {

const char *const kVerbaleListSQL =
    "SELECT IVERID, sVerNumero, dVerData, SVERDESC, STVRDESC FROM TVER_VERBALI ver LEFT JOIN TTVR_TIPOVER "
    "tvr "
    "ON (ver.iTvrId = tvr.iTvrId) WHERE (dVerData BETWEEN :dVerDataDa AND :dVerDataA) AND ##WHERE##";
const char *const kNumeroListSQL = "SELECT IVERID, sVerNumero FROM TVER_VERBALI WHERE ##WHERE##";
const char *const kDataListSQL = "SELECT IVERID, dVerData FROM TVER_VERBALI WHERE ##WHERE##";
const char *const kTipoVerListSQL = "SELECT ver.IVERID, tvr.STVRDESC FROM TVER_VERBALI ver INNER JOIN "
                                    "TTVR_TIPOVER tvr ON (ver.iTvrId = tvr.iTvrId) WHERE ##WHERE##";

TVoDBLookupEdit *AddShown(TfrVoDBRWGrid *frame, const QString &caption, const char *keyField,
                          const char *listField) {
    auto *lookup = VoAddDetailControl<TVoDBLookupEdit>(frame, caption, QStringLiteral("iVerId"));
    lookup->SetKeyField(QString::fromLatin1(keyField));
    lookup->SetListField(QString::fromLatin1(listField));
    lookup->SetReadOnly(true);
    lookup->setFocusPolicy(Qt::NoFocus);
    return lookup;
}

} // namespace

TfrkvbInbVer::TfrkvbInbVer(QWidget *parent)
    : TfrVoDBRWGrid(parent), xelVerbale(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Verbale"),
                                                                            QStringLiteral("iVerId"))),
      xelNumero(AddShown(this, QStringLiteral("Numero"), "IVERID", "SVERNUMERO")),
      xelData(AddShown(this, QStringLiteral("Data"), "IVERID", "DVERDATA")),
      xelTipoVer(AddShown(this, QStringLiteral("Tipo verbale"), "ver.IVERID", "STVRDESC")) {
    grFrame->AddColumn(QStringLiteral("sVerNumero"), QStringLiteral("Numero"));
    grFrame->AddColumn(QStringLiteral("dVerData"), QStringLiteral("Data"));
    grFrame->AddColumn(QStringLiteral("sVerDesc"), QStringLiteral("Descrizione"), 240);
    grFrame->AddColumn(QStringLiteral("sTvrDesc"), QStringLiteral("Tipo"), 160);
    xelVerbale->SetKeyField(QStringLiteral("IVERID"));
    xelVerbale->SetListField(QStringLiteral("SVERDESC"));
    xelVerbale->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchForm(form, {QStringLiteral("Numero"), QStringLiteral("Data"), QStringLiteral("Descrizione"),
                             QStringLiteral("Tipo verbale")});
    });
    xelVerbale->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelVerbaleChangeFKValue(); });
    xelVerbale->OnValidate.Add([this](QWidget *, bool &Ok, QString &Msg) {
        if (xelVerbale->text().isEmpty()) {
            Ok = false;
            Msg = QStringLiteral("verbale");
        }
    });
}

void TfrkvbInbVer::SetLists(double from, double to) {
    const std::pair<TVoDBLookupEdit *, const char *> lists[] = {{xelVerbale, kVerbaleListSQL},
                                                                {xelNumero, kNumeroListSQL},
                                                                {xelData, kDataListSQL},
                                                                {xelTipoVer, kTipoVerListSQL}};
    for (const auto &[lookup, sql] : lists) {
        lookup->SetConnection(qqoVoGlobConn);
        lookup->SetListSQL(QString::fromLatin1(sql));
    }
    xelVerbale->ListDataSet()->SetParam(QStringLiteral("dVerDataDa"), DaysToDateParam(from));
    xelVerbale->ListDataSet()->SetParam(QStringLiteral("dVerDataA"), DaysToDateParam(to));
}

void TfrkvbInbVer::xelVerbaleChangeFKValue() {
    for (TVoDBLookupEdit *shown : {xelNumero, xelData, xelTipoVer}) {
        shown->SetReadOnly(false);
        shown->SetKeyValue(xelVerbale->KeyValue());
        shown->SetReadOnly(true);
    }
}
