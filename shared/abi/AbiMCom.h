#pragma once
// The data module of the foreign municipalities and cities: the places of the foreign states with
// their municipality, added, corrected and removed by the user. The places of the home country are
// only read by the registry.
//
// A foreign place is two rows: its municipality (TCOM_COMUNI) and the place (TSRPC) that joins it to
// its state under the province of the foreign places. A new one is written municipality first, then
// the place with the municipality's new key; one removed goes place first, then its municipality.
// A place that persons, localities, banks, branches or legal data still name is kept, with a message.
#include <QObject>
#include <QString>

class TVoQueryCollection;

// The home country: its places are not foreign ones.
inline constexpr int kHomeStateId = 1;
// The province of every foreign place.
inline constexpr int kForeignProvinceId = 20000;

extern const char *const kComuniEsteriSQL;
// The refusal of a place still in use.
inline const QString PlaceInUseMessage = QStringLiteral(
    "Impossibile cancellare: ci sono delle anagrafiche, località, banche o dati legali collegati.");

class TdmComuni : public QObject {
    Q_OBJECT
public:
    explicit TdmComuni(QObject *parent = nullptr);

    TVoQueryCollection *xqcComuniEsteri;
    // The municipality of the place being written, from one statement of a post or delete to the
    // next.
    int CurrentComId = -1;

private:
    void DataModuleCreate();
};

extern TdmComuni *dmComuni;

// Makes the foreign municipalities' module (dmComuni) when there is none, bound to the global
// connection. False, with no module, when there is no connection to bind it to; nothing is shown.
bool EnsureComuniModule();
